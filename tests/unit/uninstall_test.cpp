#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/configuration_fakes.h"
#include "uninstall/uninstall_procedure.h"

namespace {

using Uninstall::Box;

const std::string kSaver = "C:\\Program Files\\Misto\\misto.scr";
const std::string kCopy = "C:\\Temp\\mss_uninst.tmp";

// Records every call in order, so the tests see what happened and when.
class FakeSystem : public Uninstall::System {
  public:
    bool access = true, answerYes = true, copyWorks = true, startWorks = true, deleteWorks = true;
    std::vector<std::string> calls;

    bool hasMachineWriteAccess() override { return log("access"), access; }
    bool confirm() override { return log("confirm"), answerYes; }
    void show(Box box, const std::string& text) override {
        const char* kinds[] = {"warning", "success", "error"};
        log(std::string("box ") + kinds[static_cast<int>(box)] + ": " + text);
    }
    std::string modulePath() override { return kSaver; }
    void holdVictimMutex() override { log("mutex"); }
    std::string tempDirectory() override { return "C:\\Temp\\"; }
    bool copyFile(const std::string& from, const std::string& to) override {
        return log("copy " + from + " > " + to), copyWorks;
    }
    bool startProcess(const std::string& line) override { return log("start " + line), startWorks; }
    void removeAtRestart(const std::string& path) override { log("at restart " + path); }
    bool deleteFile(const std::string& path) override { return log("delete " + path), deleteWorks; }
    void deleteUninstallEntry() override { log("delete entry"); }
    void waitForVictim() override { log("wait"); }
    void signalUninstalled() override { log("signal"); }

  private:
    void log(const std::string& call) { calls.push_back(call); }
};

class UninstallTest : public testing::Test {
  protected:
    void SetUp() override { Resources::setStringLoader(&strings); }
    void TearDown() override { Resources::setStringLoader(nullptr); }
    FakeStrings strings{{{3, "Uninstalled."},
                         {7, "No access."},
                         {1020, "Cannot copy:"},
                         {1021, "Cannot start:"},
                         {1022, "Nothing removed."},
                         {1023, "Cannot delete:"},
                         {1024, "Delete it by hand."}}};
    FakeSystem system;
};

TEST(KillerCommandLine, QuotesBothPathsAndPassesQuietOn) {
    EXPECT_EQ(Uninstall::killerCommandLine("C:\\T\\mss_uninst.tmp", "C:\\W\\misto.scr", false),
              "\"C:\\T\\mss_uninst.tmp\" /no-tests /kill \"C:\\W\\misto.scr\"");
    EXPECT_EQ(Uninstall::killerCommandLine("C:\\My Temp\\t", kSaver, true),
              "\"C:\\My Temp\\t\" /no-tests /kill \"C:\\Program Files\\Misto\\misto.scr\" /quiet");
}

TEST_F(UninstallTest, TheVictimStartsTheKillerBeforeItDeletesTheEntry) {
    Uninstall::runUninstall(system, false);
    const std::vector<std::string> expected = {
        "access",
        "confirm",
        "mutex",
        "copy " + kSaver + " > " + kCopy,
        "start " + Uninstall::killerCommandLine(kCopy, kSaver, false),
        "at restart " + kCopy,
        "delete entry"};
    EXPECT_EQ(system.calls, expected);
}

TEST_F(UninstallTest, QuietAsksNothingAndPassesQuietOn) {
    Uninstall::runUninstall(system, true);
    const std::vector<std::string> expected = {
        "access",
        "mutex",
        "copy " + kSaver + " > " + kCopy,
        "start " + Uninstall::killerCommandLine(kCopy, kSaver, true),
        "at restart " + kCopy,
        "delete entry"};
    EXPECT_EQ(system.calls, expected);
}

TEST_F(UninstallTest, NoAccessOrNoChangesNothing) {
    system.access = false;
    Uninstall::runUninstall(system, false);
    EXPECT_EQ(system.calls, (std::vector<std::string>{"access", "box warning: No access."}));
    system.calls.clear();
    Uninstall::runUninstall(system, true);
    EXPECT_EQ(system.calls, std::vector<std::string>{"access"});

    system = FakeSystem();
    system.answerYes = false;
    Uninstall::runUninstall(system, false);
    EXPECT_EQ(system.calls, (std::vector<std::string>{"access", "confirm"}));
}

TEST_F(UninstallTest, WithoutARunningKillerTheEntryStays) {
    system.copyWorks = false;
    Uninstall::runUninstall(system, false);
    EXPECT_EQ(system.calls.back(), "box error: Cannot copy:\n\n" + kCopy + "\n\nNothing removed.");
    for (const std::string& call : system.calls) EXPECT_NE(call.rfind("start", 0), 0u) << call;

    system = FakeSystem();
    system.startWorks = false;
    Uninstall::runUninstall(system, false);
    const size_t n = system.calls.size();
    ASSERT_GE(n, 2u);
    // The copy that never ran goes again at once.
    EXPECT_EQ(system.calls[n - 2], "delete " + kCopy);
    EXPECT_EQ(system.calls[n - 1], "box error: Cannot start:\n\n" + kCopy + "\n\nNothing removed.");

    for (const std::string& call : system.calls) EXPECT_NE(call, "delete entry");
    system = FakeSystem();
    system.startWorks = false;
    Uninstall::runUninstall(system, true);
    EXPECT_EQ(system.calls.back(), "delete " + kCopy);
}

TEST_F(UninstallTest, TheKillerClaimsSuccessOnlyWhenTheFileIsGone) {
    Uninstall::runKiller(system, kSaver, false);
    EXPECT_EQ(system.calls, (std::vector<std::string>{"wait", "delete " + kSaver,
                                                      "box success: Uninstalled.", "signal"}));

    system = FakeSystem();
    system.deleteWorks = false;
    Uninstall::runKiller(system, kSaver, false);
    EXPECT_EQ(system.calls,
              (std::vector<std::string>{
                  "wait", "delete " + kSaver,
                  "box error: Cannot delete:\n\n" + kSaver + "\n\nDelete it by hand.", "signal"}));

    for (bool works : {true, false}) {
        system = FakeSystem();
        system.deleteWorks = works;
        Uninstall::runKiller(system, kSaver, true);
        EXPECT_EQ(system.calls, (std::vector<std::string>{"wait", "delete " + kSaver, "signal"}));
    }
}

}  // namespace
