#pragma once

#include <string>

// One run at a time for a key (a display): an advisory lock on a file in the user's runtime
// folder, held until this goes or the process ends, however it ends.
class SingleRunLock {
  public:
    // Tries to take the lock on `runtimeFolder`/misto-`key`.lock; `key` may hold slashes.
    // Without a runtime folder, or where the file cannot be made, every run counts as the
    // only one: a lock that cannot be had stops no rain.
    SingleRunLock(const char* runtimeFolder, const std::string& key);
    ~SingleRunLock();
    SingleRunLock(const SingleRunLock&) = delete;
    SingleRunLock& operator=(const SingleRunLock&) = delete;

    // Whether another run holds the lock.
    bool heldElsewhere() const { return heldElsewhere_; }

  private:
    int descriptor_ = -1;
    bool heldElsewhere_ = false;
};
