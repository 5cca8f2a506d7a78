#include "installer/win32/installer_system_win32.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "foundation/file_path.h"
#include "foundation/win32/kernel_handle.h"
#include "foundation/win32/machine_write_access.h"
#include "foundation/win32/module_path.h"
#include "foundation/win32/wide_text.h"
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
        wchar_t path[MAX_PATH] = {};
        BOOL wow64 = FALSE;
        if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) {
            const UINT length = GetSystemWow64DirectoryW(path, MAX_PATH);
            if (length > 0 && length < MAX_PATH) return toUtf8(std::wstring(path, length));
        }
        const UINT length = GetSystemDirectoryW(path, MAX_PATH);
        return toUtf8(std::wstring(path, length < MAX_PATH ? length : 0));
    }
    std::vector<std::uint8_t> readFileStart(const std::string& path, std::size_t count) override {
        std::vector<std::uint8_t> bytes(count);
        HANDLE file = CreateFileW(toWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return {};
        KernelHandle open(file);
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(count), &read, nullptr)) return {};
        bytes.resize(read);
        return bytes;
    }
    bool copyFile(const std::string& from, const std::string& to) override {
        return CopyFileW(toWide(from).c_str(), toWide(to).c_str(), FALSE) != 0;
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
        // Wide: the uninstall command names the system directory, whatever its language. The
        // size counts the terminating NUL.
        const std::wstring text = toWide(value);
        return RegSetValueExW(toHandle(key), toWide(name).c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void closeKey(Key key) override { RegCloseKey(toHandle(key)); }
};

}  // namespace

Installer::System& win32InstallerSystem() {
    static Win32InstallerSystem system;
    return system;
}
