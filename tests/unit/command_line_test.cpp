#include <gtest/gtest.h>

#include <string>

#include "app/saver_command_line.h"

namespace {

SaverCommandLine parsed(const std::string& text) {
    SaverCommandLine line;
    line.parse(text);
    return line;
}

}  // namespace

TEST(CommandLine, EmptyLineOpensSettingsWithoutOwner) {
    const SaverCommandLine line = parsed("");
    EXPECT_EQ(line.mode(), SaverMode::Configure);
    EXPECT_EQ(line.windowHandle(), 0);
    EXPECT_FALSE(line.isQuiet());
    EXPECT_EQ(line.victimPath(), "");
    EXPECT_EQ(parsed("   \t ").mode(), SaverMode::Configure);
}

TEST(CommandLine, SaverSwitchInEitherCaseAndPrefix) {
    for (const char* text : {"/s", "-s", "/S", "-S", "  /s  "}) {
        EXPECT_EQ(parsed(text).mode(), SaverMode::Saver) << text;
    }
    EXPECT_EQ(parsed("/sx").mode(), SaverMode::Configure);
}

TEST(CommandLine, PreviewTakesTheNextTokenAsHostWindow) {
    SaverCommandLine line = parsed("/p 4660");
    EXPECT_EQ(line.mode(), SaverMode::Preview);
    EXPECT_EQ(line.windowHandle(), 4660);
    EXPECT_EQ(parsed("-P -12").windowHandle(), -12);
    EXPECT_EQ(parsed("/p 12abc").windowHandle(), 12);
    // No number at all: handle 0.
    line = parsed("/p");
    EXPECT_EQ(line.mode(), SaverMode::Preview);
    EXPECT_EQ(line.windowHandle(), 0);
    // Joined to the switch it is an unknown word, and the mode stays.
    line = parsed("/p:4660");
    EXPECT_EQ(line.mode(), SaverMode::Configure);
    EXPECT_EQ(line.windowHandle(), 0);
}

TEST(CommandLine, ConfigureReadsTheOwnerFromTheThirdCharacterOn) {
    EXPECT_EQ(parsed("/c:4660").windowHandle(), 4660);
    EXPECT_EQ(parsed("/cX4660").windowHandle(), 4660);
    EXPECT_EQ(parsed("-C:77").mode(), SaverMode::Configure);
    EXPECT_EQ(parsed("/c").windowHandle(), 0);
    // A separate number is a plain argument and is ignored.
    EXPECT_EQ(parsed("/c 4660").windowHandle(), 0);
    const SaverCommandLine config = parsed("/s /config");
    EXPECT_EQ(config.mode(), SaverMode::Configure);
    EXPECT_EQ(config.windowHandle(), 0);
}

TEST(CommandLine, LaterSwitchesOverrideEarlierModes) {
    EXPECT_EQ(parsed("/s /c").mode(), SaverMode::Configure);
    EXPECT_EQ(parsed("/c /s").mode(), SaverMode::Saver);
    EXPECT_EQ(parsed("/p 5 /s").mode(), SaverMode::Saver);
    EXPECT_EQ(parsed("/s /uninstall").mode(), SaverMode::Uninstall);
}

TEST(CommandLine, UninstallIsCaseSensitiveAndUnknownWordsAreIgnored) {
    EXPECT_EQ(parsed("/uninstall").mode(), SaverMode::Uninstall);
    EXPECT_EQ(parsed("/Uninstall").mode(), SaverMode::Configure);
    EXPECT_EQ(parsed("/s /no-tests").mode(), SaverMode::Saver);
    EXPECT_EQ(parsed("/a").mode(), SaverMode::Configure);
    EXPECT_EQ(parsed("s p 44").mode(), SaverMode::Configure);
}

TEST(CommandLine, KillReadsAQuotedPathWithBlanks) {
    SaverCommandLine line = parsed("/kill \"C:\\Program Files\\misto.scr\" /quiet");
    EXPECT_EQ(line.mode(), SaverMode::Kill);
    EXPECT_EQ(line.victimPath(), "C:\\Program Files\\misto.scr");
    EXPECT_TRUE(line.isQuiet());
    // Unquoted: the first character is consumed, the rest is a plain argument.
    line = parsed("/kill C:\\misto.scr /quiet");
    EXPECT_EQ(line.mode(), SaverMode::Kill);
    EXPECT_EQ(line.victimPath(), "");
    EXPECT_TRUE(line.isQuiet());
    // An unterminated quote runs to the end of the line.
    EXPECT_EQ(parsed("/kill \"C:\\a b").victimPath(), "C:\\a b");
    EXPECT_EQ(parsed("/kill").victimPath(), "");
}

TEST(CommandLine, QuietLeavesTheModeAlone) {
    const SaverCommandLine line = parsed("/quiet /uninstall");
    EXPECT_EQ(line.mode(), SaverMode::Uninstall);
    EXPECT_TRUE(line.isQuiet());
    EXPECT_EQ(parsed("/quiet").mode(), SaverMode::Configure);
}
