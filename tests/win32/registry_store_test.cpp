#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "foundation/resources.h"
#include "settings/configuration.h"
#include "settings/settings_format.h"
#include "settings/win32/registry_store_win32.h"

namespace {

constexpr const char* kKey = "Software\\Tarnwick Labs\\Misto Screen Saver";

class ProductName : public Resources::StringLoader {
  public:
    int load(int id, char* buffer, int capacity) override {
        const char* text = id == 1002 ? "Misto Screen Saver" : nullptr;
        if (!text || capacity <= 0) return 0;
        int n = static_cast<int>(std::strlen(text));
        if (n > capacity - 1) n = capacity - 1;
        std::memcpy(buffer, text, n);
        buffer[n] = 0;
        return n;
    }
};

// Runs reg.exe with its output in a file and answers the hex of the value's data.
std::string queryWithRegExe() {
    char dir[MAX_PATH], file[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, "reg", 0, file);
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(out, INVALID_HANDLE_VALUE);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = out;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::string command = std::string("reg.exe query \"HKCU\\") + kKey + "\" /v Configuration";
    std::string text;
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                       &pi)) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    } else {
        ADD_FAILURE() << "reg.exe did not start: " << GetLastError();
    }
    CloseHandle(out);
    std::ifstream in(file);
    std::stringstream all;
    all << in.rdbuf();
    in.close();
    DeleteFileA(file);
    std::string line;
    while (std::getline(all, line)) {
        size_t at = line.find("REG_BINARY");
        if (at == std::string::npos) continue;
        for (char c : line.substr(at + 10)) {
            if (std::isxdigit(static_cast<unsigned char>(c)))
                text += static_cast<char>(std::toupper(c));
        }
    }
    return text;
}

class RegistryStoreTest : public testing::Test {
  protected:
    void SetUp() override {
        Resources::setStringLoader(&strings);
        Configuration::resetForTests();
        Configuration::useStore(&win32RegistryStore());
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
    }
    void TearDown() override {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            RegDeleteKeyA(root, kKey);
            RegDeleteKeyA(root, "Software\\Tarnwick Labs");
        }
        Configuration::useStore(nullptr);
        Configuration::resetForTests();
        Resources::setStringLoader(nullptr);
    }
    ProductName strings;
};

TEST_F(RegistryStoreTest, SavedPerUserValueIsTheRecordBytes) {
    EXPECT_FALSE(Configuration::exists(ConfigurationRoot::PerUser));
    Configuration::settings().setRestartMinutes(99);
    Configuration::save(ConfigurationRoot::PerUser);
    EXPECT_TRUE(Configuration::exists(ConfigurationRoot::PerUser));

    std::vector<uint8_t> expected;
    writeConfiguration(Configuration::settings(), expected);
    std::string hex;
    char two[3];
    for (uint8_t b : expected) {
        std::snprintf(two, sizeof two, "%02X", b);
        hex += two;
    }
    EXPECT_EQ(queryWithRegExe(), hex);
}

TEST_F(RegistryStoreTest, MachineOnlyConfigurationIsRead) {
    SaverSettings stored;
    stored.setDensity(3);
    std::vector<uint8_t> bytes;
    writeConfiguration(stored, bytes);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Configuration", 0, REG_BINARY, bytes.data(),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);

    Configuration::load();
    EXPECT_EQ(Configuration::settings().density(), 3);
    EXPECT_FALSE(Configuration::exists(ConfigurationRoot::PerUser));
}

}  // namespace
