#include "uninstall/uninstall_procedure.h"

#include "foundation/file_path.h"
#include "foundation/resources.h"

namespace Uninstall {

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// A failure text: what went wrong, the file concerned, and what that means.
std::string failureText(int whatId, const std::string& path, int consequenceId) {
    return Resources::loadString(whatId) + "\n\n" + path + "\n\n" +
           Resources::loadString(consequenceId);
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
    temporaryCopy = joinPath(system.tempDirectory(), kTemporaryCopy);
    if (!system.copyFile(saverPath, temporaryCopy)) return KillerStart::CopyFailed;
    if (!system.startProcess(killerCommandLine(temporaryCopy, saverPath, quiet))) {
        system.deleteFile(temporaryCopy);
        return KillerStart::StartFailed;
    }
    // The running killer keeps its file until it ends; the system removes it at the next start.
    system.removeAtRestart(temporaryCopy);
    return KillerStart::Started;
}

void runUninstall(System& system, bool quiet) {
    if (!system.hasMachineWriteAccess()) {
        if (!quiet) system.show(Box::Warning, Resources::loadString(7));
        return;
    }
    if (!quiet && !system.confirm()) return;
    const std::string saverPath = system.modulePath();
    system.holdVictimMutex();
    std::string temporaryCopy;
    switch (startKiller(system, saverPath, quiet, temporaryCopy)) {
        case KillerStart::Started:
            system.deleteUninstallEntry();
            return;
        case KillerStart::CopyFailed:
            if (!quiet) system.show(Box::Error, failureText(1020, temporaryCopy, 1022));
            return;
        case KillerStart::StartFailed:
            if (!quiet) system.show(Box::Error, failureText(1021, temporaryCopy, 1022));
            return;
    }
}

void runKiller(System& system, const std::string& victimPath, bool quiet) {
    system.waitForVictim();
    const bool deleted = system.deleteFile(victimPath);
    if (!quiet) {
        if (deleted) {
            system.show(Box::Success, Resources::loadString(3));
        } else {
            system.show(Box::Error, failureText(1023, victimPath, 1024));
        }
    }
    system.signalUninstalled();
}

}  // namespace Uninstall
