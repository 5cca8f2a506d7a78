#include "uninstall/uninstall_procedure.h"

#include "foundation/file_path.h"
#include "foundation/resources.h"
#include "foundation/uninstall_key.h"

namespace Uninstall {

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// A failure text: what went wrong, the file or key concerned, and what that means.
std::string failureText(int whatId, const std::string& path, int consequenceId) {
    return Resources::loadString(whatId) + "\n\n" + path + "\n\n" +
           Resources::loadString(consequenceId);
}

// The victim's thread ends, and its mutex with it, before the system lets go of its file: the
// first delete may be refused for a file that can be deleted a moment later.
bool deleteWithinPatience(System& system, const std::string& path, std::uint32_t since) {
    for (;;) {
        if (system.deleteFile(path)) return true;
        if (system.milliseconds() - since >= kKillerPatienceMs) return false;
        system.sleep(kDeleteRetryMs);
    }
}

}  // namespace

std::string killerCommandLine(const std::string& temporaryCopy, const std::string& saverPath,
                              bool quiet) {
    std::string line = quoted(temporaryCopy) + " /no-tests /kill " + quoted(saverPath);
    if (quiet) line += std::string(" /") + "quiet";
    return line;
}

KillerStart startKiller(System& system, const std::string& saverPath, bool quiet,
                        std::string& temporaryCopy) {
    const std::string directory = system.tempDirectory();
    temporaryCopy = joinPath(directory, kTemporaryCopy);
    // Without a whole temporary directory the name alone would copy into the working
    // directory and start whatever lies there.
    if (directory.empty()) return KillerStart::CopyFailed;
    if (!system.copyFile(saverPath, temporaryCopy)) return KillerStart::CopyFailed;
    if (!system.startProcess(killerCommandLine(temporaryCopy, saverPath, quiet))) {
        system.deleteFile(temporaryCopy);
        return KillerStart::StartFailed;
    }
    // The running killer keeps its file until it ends; the system removes it at the next start.
    system.removeAtRestart(temporaryCopy);
    return KillerStart::Started;
}

bool runUninstall(System& system, bool quiet) {
    if (!system.hasMachineWriteAccess()) {
        if (!quiet) system.show(Box::Warning, Resources::loadString(7));
        return false;
    }
    if (!quiet && !system.confirm()) return false;
    const std::string saverPath = system.modulePath();
    system.holdVictimMutex();
    std::string temporaryCopy;
    switch (startKiller(system, saverPath, quiet, temporaryCopy)) {
        case KillerStart::Started:
            // The entry is the killer's to remove, once the file is gone: removed here, it would
            // be lost whenever the file stays (a saver still running from it).
            return true;
        case KillerStart::CopyFailed:
            if (!quiet) system.show(Box::Error, failureText(1020, temporaryCopy, 1022));
            return false;
        case KillerStart::StartFailed:
            if (!quiet) system.show(Box::Error, failureText(1021, temporaryCopy, 1022));
            return false;
    }
    return false;
}

bool runKiller(System& system, const std::string& victimPath, bool quiet) {
    bool finished = false;
    if (victimPath.empty()) {
        // A command line without a quoted path names no file: saying one is still there would
        // send the user looking for it. Nothing is deleted, so the entry stays as well.
        if (!quiet) {
            system.show(Box::Error,
                        Resources::loadString(1027) + "\n\n" + Resources::loadString(1022));
        }
        system.signalUninstalled();
        return false;
    }
    const std::uint32_t started = system.milliseconds();
    system.waitForVictim(kKillerPatienceMs);
    if (!deleteWithinPatience(system, victimPath, started)) {
        if (!quiet) system.show(Box::Error, failureText(1023, victimPath, 1024));
    } else if (!system.deleteUninstallEntry()) {
        // The entry goes only after the file: while the file stays, the entry is the user's way
        // to try again.
        if (!quiet) {
            system.show(Box::Error,
                        failureText(1025, "HKEY_LOCAL_MACHINE\\" + uninstallKeyPath(), 1026));
        }
    } else {
        if (!quiet) system.show(Box::Success, Resources::loadString(3));
        finished = true;
    }
    system.signalUninstalled();
    return finished;
}

}  // namespace Uninstall
