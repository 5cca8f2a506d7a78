#include "uninstall/win32/uninstall_system_win32.h"

#include <windows.h>

#include "foundation/resources.h"
#include "foundation/uninstall_key.h"
#include "foundation/win32/kernel_handle.h"
#include "foundation/win32/machine_write_access.h"
#include "foundation/win32/module_path.h"
#include "foundation/win32/wide_text.h"
#include "uninstall/win32/uninstall_question.h"

namespace {

constexpr const char* kVictimMutex = "MSS_UNINSTALLER_VICTIM_RUNNING";
constexpr const char* kUninstalledEvent = "MSS_UNINSTALLED";

bool alreadyGone(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

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
        // Wide: a failure names a path, which may hold any character.
        const std::wstring caption = toWide(Resources::loadString(captionId));
        MessageBoxW(nullptr, toWide(text).c_str(), caption.c_str(), style);
    }
    std::string modulePath() override { return ::modulePath(); }
    void holdVictimMutex() override {
        // Never closed: the killer's wait ends when this process does.
        CreateMutexA(nullptr, TRUE, kVictimMutex);
    }
    std::string tempDirectory() override {
        wchar_t path[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathW(MAX_PATH + 1, path);
        // A longer directory is not reported at all (the answer is the size it needs).
        if (length == 0 || length > MAX_PATH) return std::string();
        return toUtf8(std::wstring(path, length));
    }
    bool copyFile(const std::string& from, const std::string& to) override {
        return CopyFileW(toWide(from).c_str(), toWide(to).c_str(), FALSE) != 0;
    }
    bool startProcess(const std::string& commandLine) override {
        std::wstring line = toWide(commandLine);  // CreateProcessW may write into it
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
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
        MoveFileExW(toWide(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    bool deleteFile(const std::string& path) override {
        // A file that is already gone is removed: a killer started twice, or by hand for a
        // file deleted meanwhile, must not report it as still there.
        // An empty path (a kill switch without its quoted path) names no file at all.
        if (path.empty()) return false;
        return DeleteFileW(toWide(path).c_str()) != 0 || alreadyGone(GetLastError());
    }
    bool deleteUninstallEntry() override {
        const LONG result = RegDeleteKeyA(HKEY_LOCAL_MACHINE, uninstallKeyPath().c_str());
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    void waitForVictim(std::uint32_t milliseconds) override {
        KernelHandle victim(OpenMutexA(0x1F0001, FALSE, kVictimMutex));
        if (victim) WaitForSingleObject(victim.get(), milliseconds);
    }
    std::uint32_t milliseconds() override { return GetTickCount(); }
    void sleep(std::uint32_t milliseconds) override { Sleep(milliseconds); }
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
