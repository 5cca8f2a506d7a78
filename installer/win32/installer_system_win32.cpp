#include "installer/win32/installer_system_win32.h"

#include <windows.h>

#include "foundation/file_path.h"
#include "foundation/win32/machine_write_access.h"
#include "foundation/win32/module_path.h"
#include "installer/win32/wizard_pages.h"

namespace {

HKEY toHandle(Installer::System::Key key) { return reinterpret_cast<HKEY>(key); }

class Win32InstallerSystem : public Installer::System {
  public:
    int showPage(Installer::Page page, bool& copyFlag) override {
        return showWizardPage(page, copyFlag);
    }
    bool hasMachineWriteAccess() override { return ::hasMachineWriteAccess(); }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) ==
               IDYES;
    }
    void inform(const std::string& text, const std::string& caption) override {
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
    }
    std::string moduleDirectory() override { return directoryOf(modulePath()); }
    // On 64-bit Windows the 32-bit installer's copy into the system directory lands in the
    // 32-bit system directory (SysWOW64); the uninstall entry must name that real place, or a
    // 64-bit program starting it looks for the saver in the 64-bit directory and finds none.
    std::string systemDirectory() override {
        char path[MAX_PATH] = {};
        BOOL wow64 = FALSE;
        if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) {
            const UINT length = GetSystemWow64DirectoryA(path, MAX_PATH);
            if (length > 0 && length < MAX_PATH) return std::string(path, length);
        }
        const UINT length = GetSystemDirectoryA(path, MAX_PATH);
        return std::string(path, length < MAX_PATH ? length : 0);
    }
    bool copyFile(const std::string& from, const std::string& to) override {
        return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
    }
    long createMachineKey(const std::string& path, Key& key) override {
        HKEY handle = nullptr;
        const LONG result =
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_WRITE, nullptr, &handle, nullptr);
        if (result == ERROR_SUCCESS) key = reinterpret_cast<Key>(handle);
        return result;
    }
    long setStringValue(Key key, const std::string& name, const std::string& value) override {
        // The size counts the terminating NUL.
        return RegSetValueExA(toHandle(key), name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1));
    }
    void closeKey(Key key) override { RegCloseKey(toHandle(key)); }
};

}  // namespace

Installer::System& win32InstallerSystem() {
    static Win32InstallerSystem system;
    return system;
}
