#include "app/misto_options.h"

#include <gtest/gtest.h>

#include "app/xscreensaver_preferences.h"
#include "tools/render/render_options.h"

namespace {

using Args = std::vector<std::string>;

std::string errorOf(const Args& args, const char* hostWindow = nullptr) {
    try {
        parseMistoOptions(args, hostWindow);
    } catch (const SwitchError& e) {
        return e.what();
    }
    return "";
}

TEST(MistoOptions, WhereItDrawsAndHowIdsAreRead) {
    const MistoOptions d = parseMistoOptions({}, nullptr);
    EXPECT_EQ(d.target, DrawTarget::OwnWindow);
    EXPECT_EQ(d.delayMicroseconds, 20000);
    EXPECT_EQ(d.frames, 0);
    EXPECT_FALSE(d.noShm);

    // xscreensaver passes hex, xsecurelock decimal with -root: the id wins over the root.
    EXPECT_EQ(parseMistoOptions({}, "0x2A00007").windowId, 0x2A00007u);
    const MistoOptions secure = parseMistoOptions({"-root"}, "44040199");
    EXPECT_EQ(secure.target, DrawTarget::GivenWindow);
    EXPECT_EQ(secure.windowId, 44040199u);
    // --window-id wins over the environment, which is then not even read.
    const MistoOptions given = parseMistoOptions({"--window-id", "0x1f"}, "garbage");
    EXPECT_EQ(given.target, DrawTarget::GivenWindow);
    EXPECT_EQ(given.windowId, 0x1Fu);
    EXPECT_EQ(parseMistoOptions({"-window-id=31"}, nullptr).windowId, 31u);
    EXPECT_EQ(parseMistoOptions({"--root"}, nullptr).target, DrawTarget::Root);
    EXPECT_EQ(parseMistoOptions({"--root", "--window"}, nullptr).target, DrawTarget::OwnWindow);
    EXPECT_EQ(parseMistoOptions({"-fullscreen"}, "0x10").target, DrawTarget::FullScreen);

    for (const char* bad :
         {"", "screen", "0x", "0", "12abc", "0x1g", "-5", "0x123456789", "99999999999", " 12"}) {
        EXPECT_NE(errorOf({}, bad).find("XSCREENSAVER_WINDOW"), std::string::npos) << bad;
        EXPECT_NE(errorOf({"--window-id", bad}).find("--window-id"), std::string::npos) << bad;
    }

    const MistoOptions drawing = parseMistoOptions(
        {"--delay", "40000", "--frames=12", "--no-shm", "--image", "a.png", "--seed", "9"},
        nullptr);
    EXPECT_EQ(drawing.delayMicroseconds, 40000);
    EXPECT_EQ(drawing.frames, 12);
    EXPECT_TRUE(drawing.noShm);
    EXPECT_EQ(drawing.image, "a.png");
    EXPECT_EQ(drawing.choice.seed, 9u);
    EXPECT_TRUE(parseMistoOptions({"-help"}, nullptr).help);
    EXPECT_TRUE(parseMistoOptions({"--version"}, nullptr).version);
}

TEST(MistoOptions, SettingsAsMistoRenderTakesThemButBounded) {
    // The same switches and defaults as misto-render's.
    const Args rain = {"--density",    "12", "--wind-force", "7", "--wind-direction", "112.5",
                       "--min-radius", "2",  "--max-radius", "6", "--restart",        "30"};
    const MistoOptions mine = parseMistoOptions(rain, nullptr);
    const RenderOptions render = parseRenderOptions(rain);
    EXPECT_EQ(mine.choice.settings.density(), render.settings.density());
    EXPECT_EQ(mine.choice.settings.windForce(), render.settings.windForce());
    EXPECT_EQ(mine.choice.settings.windDirection(), render.settings.windDirection());
    EXPECT_EQ(mine.choice.settings.minDropRadius(), 2);
    EXPECT_EQ(mine.choice.settings.dropRadiusSpread(), 4);
    EXPECT_EQ(mine.choice.restartSeconds, 30);
    EXPECT_EQ(parseMistoOptions({}, nullptr).choice.restartSeconds,
              parseRenderOptions({}).restartSeconds);
    EXPECT_EQ(parseMistoOptions({}, nullptr).choice.settings.density(),
              parseRenderOptions({}).settings.density());

    // Out of range: bounded as a stored record is, where misto-render refuses.
    const MistoOptions wild =
        parseMistoOptions({"--density", "99", "--wind-force", "-3", "--max-radius", "40",
                           "--min-radius", "0", "--restart", "999999", "--wind-direction", "400"},
                          nullptr);
    EXPECT_EQ(wild.choice.settings.density(), 50);
    EXPECT_EQ(wild.choice.settings.windForce(), 0);
    EXPECT_EQ(wild.choice.settings.minDropRadius(), 1);
    EXPECT_EQ(wild.choice.settings.dropRadiusSpread(), 9);
    EXPECT_EQ(wild.choice.restartSeconds, 86400);
    EXPECT_EQ(
        wild.choice.settings.windDirection(),
        parseMistoOptions({"--wind-direction", "360"}, nullptr).choice.settings.windDirection());
    // Sliders moved past each other: one size of drop.
    const MistoOptions crossed =
        parseMistoOptions({"--min-radius", "8", "--max-radius", "3"}, nullptr);
    EXPECT_EQ(crossed.choice.settings.minDropRadius(), 8);
    EXPECT_EQ(crossed.choice.settings.dropRadiusSpread(), 0);
    EXPECT_EQ(errorOf({"--density", "99"}), "");
    // A restart below a second is refused, not bounded: the glass would be wiped every frame.
    for (const char* none : {"0", "-5", "--restart=0"}) {
        const Args args =
            std::string(none).rfind("--", 0) == 0 ? Args{none} : Args{"--restart", none};
        EXPECT_NE(errorOf(args).find("at least 1 second"), std::string::npos) << none;
    }
    EXPECT_THROW(parseRenderOptions({"--density", "99"}), RenderOptionsError);

    // Malformed: named, never bounded.
    EXPECT_NE(errorOf({"--density", "2x"}).find("--density"), std::string::npos);
    EXPECT_NE(errorOf({"--density", "99999999999"}).find("--density"), std::string::npos);
    EXPECT_NE(errorOf({"--delay", "-1"}).find("--delay"), std::string::npos);
    EXPECT_NE(errorOf({"--frames", "0"}).find("--frames"), std::string::npos);
    EXPECT_NE(errorOf({"--wind-direction", "1.2.3"}).find("--wind-direction"), std::string::npos);
    EXPECT_NE(errorOf({"--image", ""}).find("--image"), std::string::npos);
    EXPECT_NE(errorOf({"--no-shm=yes"}).find("no value"), std::string::npos);
    EXPECT_NE(errorOf({"--delay"}).find("needs a value"), std::string::npos);
    EXPECT_NE(errorOf({"picture.png"}).find("picture.png"), std::string::npos);
    EXPECT_NE(errorOf({"--size", "10x10"}).find("--size"), std::string::npos);
}

TEST(XscreensaverPreferences, OnlyFalseKeepsTheDesktopHidden) {
    EXPECT_TRUE(desktopImagesAllowed(""));
    EXPECT_TRUE(desktopImagesAllowed("grabDesktopImages:\tTrue\nlock: False\n"));
    EXPECT_FALSE(desktopImagesAllowed("lock: True\ngrabDesktopImages:   False  \nfade: False\n"));
    EXPECT_FALSE(desktopImagesAllowed("GrabDesktopImages: false"));
    // The last setting wins; a longer name is another setting.
    EXPECT_TRUE(desktopImagesAllowed("grabDesktopImages: False\ngrabDesktopImages: True\n"));
    EXPECT_TRUE(desktopImagesAllowed("grabDesktopImagesToo: False\n"));
}

}  // namespace
