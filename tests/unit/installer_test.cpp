#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "foundation/file_path.h"
#include "installer/installer_error.h"
#include "installer/installer_paths.h"
#include "installer/installer_wizard.h"
#include "installer/program_image.h"
#include "settings/configuration.h"
#include "tests/unit/configuration_fakes.h"

namespace {

using Installer::Page;

const std::string kEntryKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Misto Screen Saver";

// The start of a program file as the linker writes it: "MZ", the offset of the "PE" header at
// 0x3C, and that header after the DOS stub.
std::vector<uint8_t> programHead() {
    std::vector<uint8_t> head(512, 0);
    head[0] = 'M';
    head[1] = 'Z';
    head[0x3C] = 0x80;
    head[0x80] = 'P';
    head[0x81] = 'E';
    return head;
}

// The machine as the installer sees it; every change it makes is recorded.
class FakeSystem : public Installer::System {
  public:
    std::map<Page, int> pageEnds = {{Page::Welcome, 1}, {Page::Licence, 1}, {Page::Finish, 1}};
    bool finishSetsCopy = true;  // the check box as the user leaves it
    bool access = true, answerYes = true, copyWorks = true;
    long createResult = 0;
    std::map<std::string, long> setResults;
    std::string moduleDir = "C:\\Setup\\", systemDir = "C:\\WINDOWS\\SYSTEM";

    std::vector<Page> pagesShown;
    bool copyShown = false;
    std::vector<std::string> questions, boxes, copies;
    std::map<std::string, std::string> values;
    std::string createdKey;
    int openKeys = 0;

    int showPage(Page page, bool& copyFlag) override {
        pagesShown.push_back(page);
        if (page == Page::Finish) {
            copyShown = copyFlag;
            copyFlag = finishSetsCopy;
        }
        return pageEnds[page];
    }
    bool hasMachineWriteAccess() override { return access; }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back(caption + "|" + text);
        return answerYes;
    }
    void inform(const std::string& text, const std::string& caption) override {
        boxes.push_back(caption + "|" + text);
    }
    std::string moduleDirectory() override { return moduleDir; }
    std::string systemDirectory() override { return systemDir; }
    // The saver beside the installer: a program's start unless a test puts something else.
    std::vector<uint8_t> sourceHead = programHead();
    std::vector<uint8_t> readFileStart(const std::string& path, std::size_t count) override {
        EXPECT_EQ(path, Installer::sourcePath(moduleDir));
        EXPECT_EQ(count, Installer::kProgramHeadBytes);
        return sourceHead;
    }
    bool copyFile(const std::string& from, const std::string& to) override {
        if (copyWorks) copies.push_back(from + ">" + to);
        return copyWorks;
    }
    long createMachineKey(const std::string& path, Key& key) override {
        if (createResult != 0) return createResult;
        createdKey = path;
        key = 7;
        ++openKeys;
        return 0;
    }
    long setStringValue(Key key, const std::string& name, const std::string& value) override {
        EXPECT_EQ(key, 7u);
        if (setResults[name] != 0) return setResults[name];
        values[name] = value;
        return 0;
    }
    void closeKey(Key) override { --openKeys; }
};

class InstallerTest : public testing::Test {
  protected:
    void SetUp() override {
        Resources::setStringLoader(&strings);
        Configuration::resetForTests();
        Configuration::useStore(&store);
    }
    void TearDown() override {
        EXPECT_EQ(system.openKeys, 0);
        EXPECT_EQ(store.openKeys, 0);
        Configuration::useStore(nullptr);
        Configuration::resetForTests();
        Resources::setStringLoader(nullptr);
    }
    // What the machine holds apart from the pages shown: nothing when nothing was changed.
    bool untouched() const {
        return system.copies.empty() && system.values.empty() && system.createdKey.empty() &&
               store.keys.empty() && system.boxes.empty();
    }
    std::string failureOf(InstallerWizard& wizard) {
        try {
            wizard.run();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    }
    static std::vector<uint8_t> defaults() {
        std::vector<uint8_t> bytes;
        writeConfiguration(SaverSettings(), bytes);
        return bytes;
    }

    FakeStrings strings{{{1, "Misto Screen Saver"},
                         {2, "Success"},
                         {3, "Installation of Misto Screen Saver completed successfully."},
                         {4, "No access.\n\nDo you want to continue?"},
                         {1002, "Misto Screen Saver"},
                         {1005, "Cannot create registry key"},
                         {1006, "Cannot write to registry key"},
                         {1007, "Access denied"},
                         {1008, "Warning"}}};
    FakeStore store;
    FakeSystem system;
};

TEST(InstallerPaths, DirectoriesWithAndWithoutTheirBackslash) {
    EXPECT_EQ(Installer::sourcePath("C:\\Setup\\"), "C:\\Setup\\misto.scr");
    EXPECT_EQ(Installer::sourcePath("C:\\Setup"), "C:\\Setup\\misto.scr");
    EXPECT_EQ(Installer::sourcePath("D:\\"), "D:\\misto.scr");
    EXPECT_EQ(Installer::destinationPath("C:\\WINDOWS\\SYSTEM"), "C:\\WINDOWS\\SYSTEM\\misto.scr");
    EXPECT_EQ(Installer::uninstallCommand("C:\\Program Files\\Sys"),
              "C:\\Program Files\\Sys\\misto.scr /uninstall");
    EXPECT_EQ(directoryOf("C:\\My Setup\\installer.exe"), "C:\\My Setup\\");
    EXPECT_EQ(directoryOf("C:installer.exe"), "C:");
    EXPECT_EQ(directoryOf("installer.exe"), "");
    // UTF-8 paths: no byte of another script is taken for a backslash.
    EXPECT_EQ(directoryOf("C:\\Программы 日本\\表\\installer.exe"), "C:\\Программы 日本\\表\\");
    EXPECT_EQ(Installer::sourcePath("C:\\Программы 日本"), "C:\\Программы 日本\\misto.scr");
}

TEST_F(InstallerTest, AFullRunCopiesRegistersConfiguresAndReportsSuccess) {
    InstallerWizard wizard(system);
    EXPECT_EQ(failureOf(wizard), "");
    EXPECT_EQ(system.pagesShown, (std::vector<Page>{Page::Welcome, Page::Licence, Page::Finish}));
    EXPECT_TRUE(system.copyShown);
    EXPECT_TRUE(system.questions.empty());
    EXPECT_EQ(system.copies,
              std::vector<std::string>{"C:\\Setup\\misto.scr>C:\\WINDOWS\\SYSTEM\\misto.scr"});
    EXPECT_EQ(system.createdKey, kEntryKey);
    EXPECT_EQ(system.values["UninstallString"], "C:\\WINDOWS\\SYSTEM\\misto.scr /uninstall");
    EXPECT_EQ(system.values["DisplayName"], "Misto Screen Saver");
    EXPECT_EQ(store.keys[ConfigurationRoot::Machine].value, defaults());
    EXPECT_EQ(store.keys[ConfigurationRoot::PerUser].value, defaults());
    EXPECT_EQ(system.boxes,
              std::vector<std::string>{
                  "Success|Installation of Misto Screen Saver completed successfully."});
}

TEST_F(InstallerTest, EveryPageEndedOtherwiseChangesNothing) {
    for (Page page : {Page::Welcome, Page::Licence, Page::Finish}) {
        for (int end : {2, 0, -1}) {
            system = FakeSystem();
            system.pageEnds[page] = end;
            system.finishSetsCopy = false;
            InstallerWizard wizard(system);
            EXPECT_EQ(failureOf(wizard), "");
            EXPECT_EQ(system.pagesShown.back(), page);
            EXPECT_TRUE(untouched()) << static_cast<int>(page) << " ended with " << end;
            // "Exit" on the finish page keeps the check box too.
            EXPECT_EQ(wizard.copyFlag(), page != Page::Finish);
        }
    }
}

TEST_F(InstallerTest, WithoutAccessTheUserDecides) {
    system.access = false;
    system.answerYes = false;
    InstallerWizard refused(system);
    EXPECT_EQ(failureOf(refused), "");
    EXPECT_EQ(system.questions,
              std::vector<std::string>{"Warning|No access.\n\nDo you want to continue?"});
    EXPECT_TRUE(untouched());

    system.answerYes = true;
    InstallerWizard accepted(system);
    EXPECT_EQ(failureOf(accepted), "");
    EXPECT_EQ(system.copies.size(), 1u);
    EXPECT_EQ(system.boxes.size(), 1u);
}

TEST_F(InstallerTest, AClearedCopyBoxStillRegistersTheSystemPath) {
    system.finishSetsCopy = false;
    InstallerWizard wizard(system);
    EXPECT_EQ(failureOf(wizard), "");
    EXPECT_TRUE(system.copies.empty());
    EXPECT_EQ(system.values["UninstallString"], "C:\\WINDOWS\\SYSTEM\\misto.scr /uninstall");
    EXPECT_EQ(system.boxes.size(), 1u);
}

TEST_F(InstallerTest, AFailedCopyStopsBeforeTheRegistry) {
    system.copyWorks = false;
    InstallerWizard wizard(system);
    EXPECT_EQ(failureOf(wizard), "Cannot copy screen saver file to system directory!");
    EXPECT_TRUE(untouched());
}

TEST_F(InstallerTest, ASourceThatIsNoProgramIsNotCopied) {
    std::vector<uint8_t> pointsOutside = programHead();
    pointsOutside[0x3D] = 0x02;  // the PE header at 0x280, past the bytes read
    std::vector<uint8_t> noSignature = programHead();
    noSignature[0x81] = 'X';
    const std::vector<std::vector<uint8_t>> heads = {
        {}, {'M', 'Z'}, std::vector<uint8_t>(512, 'M'), pointsOutside, noSignature};
    for (const std::vector<uint8_t>& head : heads) {
        system = FakeSystem();
        system.sourceHead = head;
        InstallerWizard wizard(system);
        EXPECT_EQ(failureOf(wizard), "Cannot copy screen saver file to system directory!")
            << head.size();
        EXPECT_TRUE(untouched()) << head.size();
    }
    EXPECT_TRUE(Installer::isProgramImage(programHead()));
}

TEST_F(InstallerTest, RefusedRegistryWritesAreErrorsNotSuccess) {
    const std::string text = "Cannot write uninstall data to system registry!";
    system.createResult = 5;
    InstallerWizard noKey(system);
    EXPECT_EQ(failureOf(noKey), text);
    EXPECT_TRUE(system.values.empty());

    for (const char* name : {"UninstallString", "DisplayName"}) {
        system = FakeSystem();
        system.setResults[name] = 5;
        InstallerWizard wizard(system);
        EXPECT_EQ(failureOf(wizard), text) << name;
        EXPECT_TRUE(system.boxes.empty()) << name;
        EXPECT_TRUE(store.keys.empty()) << name;
    }
}

TEST_F(InstallerTest, AnExistingConfigurationIsLeftAlone) {
    store.put(ConfigurationRoot::PerUser, 7);
    const std::vector<uint8_t> edited = store.keys[ConfigurationRoot::PerUser].value;
    InstallerWizard perUser(system);
    EXPECT_EQ(failureOf(perUser), "");
    EXPECT_EQ(store.keys.count(ConfigurationRoot::Machine), 0u);
    EXPECT_EQ(store.keys[ConfigurationRoot::PerUser].value, edited);

    store.keys.clear();
    store.put(ConfigurationRoot::Machine, 9);
    InstallerWizard machine(system);
    EXPECT_EQ(failureOf(machine), "");
    EXPECT_EQ(store.keys.count(ConfigurationRoot::PerUser), 0u);
}

TEST_F(InstallerTest, ARefusedConfigurationWriteIsReported) {
    store.setFailure = 5;
    InstallerWizard wizard(system);
    EXPECT_EQ(failureOf(wizard), "Cannot write to registry key: Access denied.");
    EXPECT_EQ(system.values.size(), 2u);
    EXPECT_TRUE(system.boxes.empty());
}

}  // namespace
