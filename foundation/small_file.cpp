#include "foundation/small_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
// Opening a file never waits for a writer there; the text mode would turn line ends round.
constexpr int kOpenFlags = O_RDONLY | O_BINARY;
#else
// Without O_NONBLOCK, opening a FIFO waits for a writer, with every signal that could end the
// program held.
constexpr int kOpenFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
#endif

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

std::string lastError() {
    const char* text = std::strerror(errno);
    std::string phrase = text != nullptr ? text : "unknown error";
    if (!phrase.empty())
        phrase[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(phrase[0])));
    return phrase;
}

}  // namespace

SmallFile readSmallFile(const std::string& path, std::size_t limit) {
    SmallFile result;
    const Descriptor file(open(path.c_str(), kOpenFlags));
    if (file.fd() < 0) {
        result.missing = errno == ENOENT;
        result.error = lastError();
        return result;
    }
    struct stat status {};
    if (fstat(file.fd(), &status) != 0) {
        result.error = lastError();
        return result;
    }
    if (!S_ISREG(status.st_mode)) {
        result.error = "not a regular file";
        return result;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[4096];
    while (bytes.size() < limit) {
        const std::size_t want = std::min(sizeof buffer, limit - bytes.size());
        const auto n = read(file.fd(), buffer, static_cast<unsigned>(want));
        if (n < 0) {
            if (errno == EINTR) continue;
            result.error = lastError();
            return result;
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    result.bytes = std::move(bytes);
    return result;
}
