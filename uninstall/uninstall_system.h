#pragma once

#include <cstdint>
#include <string>

namespace Uninstall {

// The kinds of box the two processes show: "Warning" with its icon, "Success" plain, "Error"
// with its icon.
enum class Box { Warning, Success, Error };

// What the uninstall needs from the system, so that its decisions build and are tested without
// it. Paths are UTF-8.
class System {
  public:
    virtual ~System() = default;
    // True when the machine's "Software" key can be opened for writing.
    virtual bool hasMachineWriteAccess() = 0;
    // The question "Uninstall"; true for Yes.
    virtual bool confirm() = 0;
    virtual void show(Box box, const std::string& text) = 0;
    // The running saver file's full path.
    virtual std::string modulePath() = 0;
    // Creates the victim's mutex, owned until this process ends.
    virtual void holdVictimMutex() = 0;
    // The temporary directory; empty when the system cannot give a whole one.
    virtual std::string tempDirectory() = 0;
    // Copies over an existing file; false when the copy failed.
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;
    // Starts a process and lets it run; false when it could not be started.
    virtual bool startProcess(const std::string& commandLine) = 0;
    // Has the file removed when the machine next starts, where the system permits it.
    virtual void removeAtRestart(const std::string& path) = 0;
    // True when the file is gone afterwards, also when it was gone before.
    virtual bool deleteFile(const std::string& path) = 0;
    // True when the uninstall entry is gone afterwards, also when it was gone before.
    virtual bool deleteUninstallEntry() = 0;
    // Waits, at most `milliseconds`, for the victim to end; at once when it does not run.
    virtual void waitForVictim(std::uint32_t milliseconds) = 0;
    // A millisecond clock that may wrap, and a pause, for the killer's retries.
    virtual std::uint32_t milliseconds() = 0;
    virtual void sleep(std::uint32_t milliseconds) = 0;
    // Sets the event "MSS_UNINSTALLED" when some other process made it.
    virtual void signalUninstalled() = 0;
};

}  // namespace Uninstall
