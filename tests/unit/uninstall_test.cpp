#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/unit/configuration_fakes.h"
#include "uninstall/uninstall_procedure.h"

namespace {

using Uninstall::Box;

const std::string kSaver = "C:\\Program Files\\Misto\\misto.scr";
const std::string kCopy = "C:\\Temp\\mss_uninst.tmp";

// Records every call in order, so the tests see what happened and when. Its clock moves only
// when the killer sleeps or waits.
class FakeSystem : public Uninstall::System {
  public:
    bool access = true, answerYes = true, copyWorks = true, startWorks = true, entryGoes = true;
    std::string temp = "C:\\Temp\\";
    int refusedDeletes = 0;           // deletes refused before they work; -1: never
    std::uint32_t now = 0xFFFFF000u;  // near the wrap of the system's tick count
    std::uint32_t victimEndsAfter = 0;
    std::vector<std::string> calls;

    bool hasMachineWriteAccess() override { return log("access"), access; }
    bool confirm() override { return log("confirm"), answerYes; }
    void show(Box box, const std::string& text) override {
        const char* kinds[] = {"warning", "success", "error"};
        log(std::string("box ") + kinds[static_cast<int>(box)] + ": " + text);
    }
    std::string modulePath() override { return kSaver; }
    void holdVictimMutex() override { log("mutex"); }
    std::string tempDirectory() override { return temp; }
    bool copyFile(const std::string& from, const std::string& to) override {
        return log("copy " + from + " > " + to), copyWorks;
    }
    bool startProcess(const std::string& line) override { return log("start " + line), startWorks; }
    void removeAtRestart(const std::string& path) override { log("at restart " + path); }
    bool deleteFile(const std::string& path) override {
        log("delete " + path);
        if (refusedDeletes == 0) return true;
        if (refusedDeletes > 0) --refusedDeletes;
        return false;
    }
    bool deleteUninstallEntry() override { return log("delete entry"), entryGoes; }
    void waitForVictim(std::uint32_t milliseconds) override {
        log("wait " + std::to_string(milliseconds));
        now += std::min(milliseconds, victimEndsAfter);
    }
    std::uint32_t milliseconds() override { return now; }
    void sleep(std::uint32_t milliseconds) override {
        log("sleep " + std::to_string(milliseconds));
        now += milliseconds;
    }
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
                         {1024, "Uninstall again."},
                         {1025, "Entry stays:"},
                         {1026, "Ask an administrator."},
                         {1027, "No file named."},
                         {1002, "Misto Screen Saver"}}};
    FakeSystem system;
};

TEST(KillerCommandLine, QuotesBothPathsAndPassesQuietOn) {
    EXPECT_EQ(Uninstall::killerCommandLine("C:\\T\\mss_uninst.tmp", "C:\\W\\misto.scr", false),
              "\"C:\\T\\mss_uninst.tmp\" /no-tests /kill \"C:\\W\\misto.scr\"");
    EXPECT_EQ(Uninstall::killerCommandLine("C:\\My Temp\\t", kSaver, true),
              "\"C:\\My Temp\\t\" /no-tests /kill \"C:\\Program Files\\Misto\\misto.scr\" /quiet");
}

TEST_F(UninstallTest, TheVictimStartsTheKillerAndLeavesTheEntryToIt) {
    EXPECT_TRUE(Uninstall::runUninstall(system, false));
    const std::vector<std::string> expected = {
        "access",
        "confirm",
        "mutex",
        "copy " + kSaver + " > " + kCopy,
        "start " + Uninstall::killerCommandLine(kCopy, kSaver, false),
        "at restart " + kCopy};
    EXPECT_EQ(system.calls, expected);
}

TEST_F(UninstallTest, QuietAsksNothingAndPassesQuietOn) {
    EXPECT_TRUE(Uninstall::runUninstall(system, true));
    const std::vector<std::string> expected = {
        "access", "mutex", "copy " + kSaver + " > " + kCopy,
        "start " + Uninstall::killerCommandLine(kCopy, kSaver, true), "at restart " + kCopy};
    EXPECT_EQ(system.calls, expected);
}

TEST_F(UninstallTest, NoAccessOrNoChangesNothing) {
    system.access = false;
    EXPECT_FALSE(Uninstall::runUninstall(system, false));
    EXPECT_EQ(system.calls, (std::vector<std::string>{"access", "box warning: No access."}));
    system.calls.clear();
    EXPECT_FALSE(Uninstall::runUninstall(system, true));
    EXPECT_EQ(system.calls, std::vector<std::string>{"access"});

    system = FakeSystem();
    system.answerYes = false;
    EXPECT_FALSE(Uninstall::runUninstall(system, false));
    EXPECT_EQ(system.calls, (std::vector<std::string>{"access", "confirm"}));
}

TEST_F(UninstallTest, WithoutARunningKillerNothingIsRemoved) {
    system.copyWorks = false;
    EXPECT_FALSE(Uninstall::runUninstall(system, false));
    EXPECT_EQ(system.calls.back(), "box error: Cannot copy:\n\n" + kCopy + "\n\nNothing removed.");
    for (const std::string& call : system.calls) EXPECT_NE(call.rfind("start", 0), 0u) << call;

    // No whole temporary directory (one longer than the system's paths): refused before any
    // copy, which would land in the working directory under the bare name.
    system = FakeSystem();
    system.temp = "";
    EXPECT_FALSE(Uninstall::runUninstall(system, false));
    EXPECT_EQ(system.calls, (std::vector<std::string>{
                                "access", "confirm", "mutex",
                                "box error: Cannot copy:\n\nmss_uninst.tmp\n\nNothing removed."}));

    system = FakeSystem();
    system.startWorks = false;
    EXPECT_FALSE(Uninstall::runUninstall(system, false));
    const size_t n = system.calls.size();
    ASSERT_GE(n, 2u);
    // The copy that never ran goes again at once.
    EXPECT_EQ(system.calls[n - 2], "delete " + kCopy);
    EXPECT_EQ(system.calls[n - 1], "box error: Cannot start:\n\n" + kCopy + "\n\nNothing removed.");

    for (bool copyWorks : {true, false}) {
        system = FakeSystem();
        system.copyWorks = copyWorks;
        system.startWorks = false;
        EXPECT_FALSE(Uninstall::runUninstall(system, true));
        EXPECT_EQ(system.calls.back(),
                  copyWorks ? "delete " + kCopy : "copy " + kSaver + " > " + kCopy);
    }
}

TEST_F(UninstallTest, TheKillerClaimsSuccessOnlyWhenTheFileAndThenTheEntryAreGone) {
    EXPECT_TRUE(Uninstall::runKiller(system, kSaver, false));
    EXPECT_EQ(system.calls,
              (std::vector<std::string>{"wait 10000", "delete " + kSaver, "delete entry",
                                        "box success: Uninstalled.", "signal"}));

    // The victim's file is let go a moment after its mutex: tried again every 100 ms.
    system = FakeSystem();
    system.refusedDeletes = 2;
    EXPECT_TRUE(Uninstall::runKiller(system, kSaver, false));
    EXPECT_EQ(system.calls,
              (std::vector<std::string>{"wait 10000", "delete " + kSaver, "sleep 100",
                                        "delete " + kSaver, "sleep 100", "delete " + kSaver,
                                        "delete entry", "box success: Uninstalled.", "signal"}));

    // A file that stays: tried until 10 s after the start, the wait included; the entry stays.
    const std::string stays = "box error: Cannot delete:\n\n" + kSaver + "\n\nUninstall again.";
    for (std::uint32_t victimEndsAfter : {300u, 60000u}) {
        system = FakeSystem();
        system.refusedDeletes = -1;
        system.victimEndsAfter = victimEndsAfter;
        const std::uint32_t start = system.now;
        EXPECT_FALSE(Uninstall::runKiller(system, kSaver, false));
        const auto deletes =
            std::count(system.calls.begin(), system.calls.end(), "delete " + kSaver);
        EXPECT_EQ(deletes, victimEndsAfter == 300u ? 98 : 1);
        EXPECT_EQ(system.now - start, 10000u);
        EXPECT_EQ(system.calls[system.calls.size() - 2], stays);
        EXPECT_EQ(std::count(system.calls.begin(), system.calls.end(), "delete entry"), 0);
    }

    // The file went, its entry did not: no success either.
    system = FakeSystem();
    system.entryGoes = false;
    EXPECT_FALSE(Uninstall::runKiller(system, kSaver, false));
    EXPECT_EQ(system.calls,
              (std::vector<std::string>{
                  "wait 10000", "delete " + kSaver, "delete entry",
                  "box error: Entry stays:\n\nHKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\"
                  "CurrentVersion\\Uninstall\\Misto Screen Saver\n\nAsk an administrator.",
                  "signal"}));

    // No path on the command line: nothing is looked for or deleted, the box says no file was
    // named, and a waiting victim still hears the end.
    system = FakeSystem();
    EXPECT_FALSE(Uninstall::runKiller(system, "", false));
    EXPECT_EQ(system.calls, (std::vector<std::string>{
                                "box error: No file named.\n\nNothing removed.", "signal"}));

    for (int outcome = 0; outcome < 4; ++outcome) {
        system = FakeSystem();
        system.refusedDeletes = outcome == 1 ? -1 : 0;
        system.entryGoes = outcome != 2;
        EXPECT_EQ(Uninstall::runKiller(system, outcome == 3 ? "" : kSaver, true), outcome == 0);
        for (const std::string& call : system.calls) EXPECT_NE(call.rfind("box", 0), 0u) << call;
        EXPECT_EQ(system.calls.back(), "signal");
    }
}

}  // namespace
