#include "app/posix/single_run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

SingleRunLock::SingleRunLock(const char* runtimeFolder, const std::string& key) {
    if (runtimeFolder == nullptr || runtimeFolder[0] != '/') return;
    std::string name = key;
    std::replace(name.begin(), name.end(), '/', '_');
    const std::string path = std::string(runtimeFolder) + "/misto-" + name + ".lock";
    descriptor_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor_ < 0) return;
    if (flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
        heldElsewhere_ = errno == EWOULDBLOCK;
        close(descriptor_);
        descriptor_ = -1;
    }
}

SingleRunLock::~SingleRunLock() {
    // The file stays: removing it would let a third run lock a new file while a second still
    // waits on the old one.
    if (descriptor_ >= 0) close(descriptor_);
}
