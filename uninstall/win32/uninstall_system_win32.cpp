#include "uninstall/win32/uninstall_system_win32.h"

#include <windows.h>

#include <vector>

#include "foundation/resources.h"
#include "foundation/uninstall_key.h"
#include "foundation/win32/kernel_handle.h"
#include "foundation/win32/machine_write_access.h"
#include "foundation/win32/module_path.h"
#include "uninstall/win32/uninstall_question.h"

namespace {

constexpr const char* kVictimMutex = "MSS_UNINSTALLER_VICTIM_RUNNING";
constexpr const char* kUninstalledEvent = "MSS_UNINSTALLED";
constexpr DWORD kVictimWaitMs = 10000;

class Win32UninstallSystem : public Uninstall::System {
  public:
    bool hasMachineWriteAccess() override { return ::hasMachineWriteAccess(); }
    bool confirm() override { return askUninstall(); }
    void show(Uninstall::Box box, const std::string& text) override {
        int captionId = 1000;
        UINT style = MB_ICONERROR;
        if (box == Uninstall::Box::Warning) {
            captionId = 1008;
            style = MB_ICONWARNING;
        } else if (box == Uninstall::Box::Success) {
            captionId = 2;
            style = MB_OK;
        }
        const std::string caption = Resources::loadString(captionId);
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), style);
    }
    std::string modulePath() override { return ::modulePath(); }
    void holdVictimMutex() override {
        // Never closed: the killer's wait ends when this process does.
        CreateMutexA(nullptr, TRUE, kVictimMutex);
    }
    std::string tempDirectory() override {
        char path[MAX_PATH] = {};
        const DWORD length = GetTempPathA(MAX_PATH, path);
        return std::string(path, length < MAX_PATH ? length : 0);
    }
    bool copyFile(const std::string& from, const std::string& to) override {
        return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
    }
    bool startProcess(const std::string& commandLine) override {
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                            nullptr, nullptr, &startup, &started)) {
            return false;
        }
        // Not waited on: the killer outlives this process.
        KernelHandle process(started.hProcess);
        KernelHandle thread(started.hThread);
        return true;
    }
    void removeAtRestart(const std::string& path) override {
        // Refused without administrator rights; the next uninstall then overwrites the copy.
        MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    bool deleteFile(const std::string& path) override { return DeleteFileA(path.c_str()) != 0; }
    void deleteUninstallEntry() override {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, uninstallKeyPath().c_str());
    }
    void waitForVictim() override {
        KernelHandle victim(OpenMutexA(0x1F0001, FALSE, kVictimMutex));
        if (victim) WaitForSingleObject(victim.get(), kVictimWaitMs);
    }
    void signalUninstalled() override {
        KernelHandle uninstalled(OpenEventA(EVENT_MODIFY_STATE, FALSE, kUninstalledEvent));
        if (uninstalled) SetEvent(uninstalled.get());
    }
};

}  // namespace

Uninstall::System& win32UninstallSystem() {
    static Win32UninstallSystem system;
    return system;
}
