#include "app/misto_options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

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
    // The Wayland host takes --fullscreen in a Wayland session and --wayland anywhere; nothing
    // else, and --window takes --wayland back.
    const MistoOptions full = parseMistoOptions({"--fullscreen"}, nullptr);
    EXPECT_TRUE(runsOnWayland(full, "wayland-1"));
    EXPECT_FALSE(runsOnWayland(full, ""));
    EXPECT_FALSE(runsOnWayland(full, nullptr));
    EXPECT_FALSE(runsOnWayland(parseMistoOptions({"--root"}, nullptr), "wayland-1"));
    EXPECT_FALSE(runsOnWayland(parseMistoOptions({}, "0x10"), "wayland-1"));
    const MistoOptions forced = parseMistoOptions({"-wayland"}, nullptr);
    EXPECT_EQ(forced.target, DrawTarget::FullScreen);
    EXPECT_TRUE(runsOnWayland(forced, nullptr));
    EXPECT_FALSE(runsOnWayland(parseMistoOptions({"--wayland", "--window"}, nullptr), "w"));

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

#ifdef MISTO_X11_RESOURCES
std::string resource(const char* name) {
    std::ifstream in(std::string(MISTO_X11_RESOURCES) + "/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of attribute `name` in an XML element's text; empty when it has none.
std::string attribute(const std::string& element, const char* name) {
    const std::string key = std::string(" ") + name + "=\"";
    std::size_t at = element.find(key);
    if (at == std::string::npos) return "";
    at += key.size();
    return element.substr(at, element.find('"', at) - at);
}

const Switch* mistoSwitch(const std::string& name) {
    for (const Switch& row : SettingsSwitches::kRows) {
        if (name == row.name) return &row;
    }
    for (const Switch& row : kMistoSwitches) {
        if (name == row.name) return &row;
    }
    return nullptr;
}

// The man page tells every switch of misto with the table's range and default; each control of
// the settings dialog's file passes a switch misto takes, each slider stays inside its switch's
// range and starts at its default.
TEST(MistoOptions, ManPageAndSettingsDialogFollowTheTables) {
    std::string man = resource("misto.6");
    ASSERT_NE(man.find(".TH MISTO"), std::string::npos);
    // roff writes a minus as "\-".
    for (std::size_t at = man.find("\\-"); at != std::string::npos; at = man.find("\\-", at)) {
        man.erase(at, 1);
    }
    const std::size_t options = man.find("\n.SH OPTIONS\n");
    ASSERT_NE(options, std::string::npos) << "the man page has no OPTIONS section";
    const std::size_t afterOptions = man.find("\n.SH ", options + 1);
    std::vector<const Switch*> rows;
    for (const Switch& row : SettingsSwitches::kRows) rows.push_back(&row);
    for (const Switch& row : kMistoSwitches) rows.push_back(&row);
    for (const Switch* row : rows) {
        const std::string name = row->name;
        std::size_t at = man.find("\n.BI " + name + " \"");
        if (at == std::string::npos) at = man.find("\n.B " + name + "\n");
        ASSERT_NE(at, std::string::npos) << name << " is not in the man page";
        EXPECT_TRUE(at > options && at < afterOptions) << name << " is not under OPTIONS";
        const std::size_t end = std::min(man.find("\n.TP", at + 1), man.find("\n.SH", at + 1));
        const std::string entry = man.substr(at, end - at);
        if (hasRange(*row)) {
            const std::string range = std::to_string(row->lo) + " to " + std::to_string(row->hi);
            EXPECT_NE(entry.find(range), std::string::npos) << name << ": " << entry;
        }
        const std::string byDefault = row->byDefault;
        if (!byDefault.empty()) {
            const bool number = byDefault[0] >= '0' && byDefault[0] <= '9';
            const std::string told =
                number ? "(default " + byDefault : "(default: " + byDefault + ")";
            EXPECT_NE(entry.find(told), std::string::npos) << name << ": " << entry;
        }
    }

    const std::string xml = resource("misto.xml");
    ASSERT_NE(xml.find("<screensaver"), std::string::npos);
    int sliders = 0;
    for (std::size_t at = xml.find("<number"); at != std::string::npos;
         at = xml.find("<number", at + 1)) {
        const std::string element = xml.substr(at, xml.find("/>", at) - at);
        const std::string arg = attribute(element, "arg");
        const Switch* row = mistoSwitch(arg.substr(0, arg.find(' ')));
        ASSERT_NE(row, nullptr) << element;
        EXPECT_EQ(arg, std::string(row->name) + " %") << element;
        EXPECT_GE(std::stoll(attribute(element, "low")), row->lo) << element;
        EXPECT_LE(std::stoll(attribute(element, "high")), row->hi) << element;
        EXPECT_EQ(attribute(element, "default"), row->byDefault) << element;
        ++sliders;
    }
    EXPECT_GT(sliders, 0);
    // Every switch a control passes is misto's, and every value a choice passes is in range.
    int passed = 0;
    for (const char* kind : {" arg=\"", " arg-set=\"", " arg-unset=\""}) {
        for (std::size_t at = xml.find(kind); at != std::string::npos;
             at = xml.find(kind, at + 1)) {
            const std::size_t start = at + std::strlen(kind);
            const std::string given = xml.substr(start, xml.find('"', start) - start);
            const std::size_t space = given.find(' ');
            const Switch* row = mistoSwitch(given.substr(0, space));
            ASSERT_NE(row, nullptr) << given << " is no switch of misto";
            const std::string value = space == std::string::npos ? "" : given.substr(space + 1);
            if (!value.empty() && value != "%") {
                EXPECT_NO_THROW(integerSwitch(*row, value)) << given;
            }
            ++passed;
        }
    }
    EXPECT_GT(passed, sliders);
}
#endif

TEST(XscreensaverPreferences, DesktopAndImageFolderFollowTheLastSetting) {
    const auto desktop = [](const std::string& text) {
        return imagePreferences(text, "/home/u").desktopImages;
    };
    const auto folder = [](const std::string& text) {
        return imagePreferences(text, "/home/u").imageFolder;
    };
    EXPECT_TRUE(desktop(""));
    EXPECT_TRUE(desktop("grabDesktopImages:\tTrue\nlock: False\n"));
    EXPECT_FALSE(desktop("lock: True\ngrabDesktopImages:   False  \nfade: False\n"));
    EXPECT_FALSE(desktop("GrabDesktopImages: false"));
    // The last setting wins; a longer name is another setting.
    EXPECT_TRUE(desktop("grabDesktopImages: False\ngrabDesktopImages: True\n"));
    EXPECT_TRUE(desktop("grabDesktopImagesToo: False\n"));

    EXPECT_EQ(folder(""), "");
    EXPECT_EQ(folder("imageDirectory:\t/srv/pictures\n"), "/srv/pictures");
    EXPECT_EQ(folder("imageDirectory: ~/Pictures\nchooseRandomImages: True\n"), "/home/u/Pictures");
    EXPECT_EQ(folder("imageDirectory: \"~\"\n"), "/home/u");
    // Only "~" or "~/" is the home folder; another user's "~name" is left as written.
    EXPECT_EQ(folder("imageDirectory: ~other/p\n"), "~other/p");
    EXPECT_EQ(folder("chooseRandomImages: False\nimageDirectory: /srv/pictures\n"), "");
    EXPECT_EQ(folder("chooseRandomImages: off\nimageDirectory: /a\nchooseRandomImages: True\n"),
              "/a");
}

}  // namespace
