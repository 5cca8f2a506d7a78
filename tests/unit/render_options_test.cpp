#include "tools/render/render_options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

#include "app/misto_options.h"
#include "foundation/pi.h"
#include "settings/settings_format.h"

namespace {

using Args = std::vector<std::string>;

// Configuration files served from memory; a name not in the map cannot be opened.
struct FakeFiles {
    std::map<std::string, std::vector<std::uint8_t>> files;
    FileReader reader() {
        return [this](const std::string& path) {
            auto it = files.find(path);
            if (it == files.end()) throw RenderOptionsError("cannot open " + path);
            return it->second;
        };
    }
};

std::string errorOf(const Args& args, const FileReader& reader = readWholeFile) {
    try {
        parseRenderOptions(args, reader);
    } catch (const RenderOptionsError& e) {
        return e.what();
    }
    return "";
}

SaverSettings storedSettings() {
    SaverSettings s;
    s.setDensity(7);
    s.setWindForce(12);
    s.setWindDirection(1.0f);
    s.setMinDropRadius(2);
    s.setDropRadiusSpread(3);
    s.setRestartEnabled(true);
    s.setRestartMinutes(1);
    s.setRestartSeconds(5);
    return s;
}

std::vector<std::uint8_t> bytesOf(const SaverSettings& s) {
    std::vector<std::uint8_t> out;
    writeConfiguration(s, out);
    return out;
}

TEST(RenderOptions, DefaultsAndEveryFlag) {
    // The defaults given as numbers are checked against the table (TablesTellTheDefaults).
    const RenderOptions d = parseRenderOptions({});
    EXPECT_TRUE(d.image.empty());
    EXPECT_EQ(d.restartSeconds, -1);
    EXPECT_EQ(d.out, "out/render");
    EXPECT_FALSE(d.bench);
    EXPECT_EQ(bytesOf(d.settings), bytesOf(SaverSettings()));

    const RenderOptions o = parseRenderOptions({"--image",
                                                "a.jpg",
                                                "--size",
                                                "320x200",
                                                "--bpp",
                                                "16",
                                                "--frames",
                                                "60",
                                                "--every",
                                                "30",
                                                "--seed",
                                                "4294967295",
                                                "--density",
                                                "50",
                                                "--wind-force",
                                                "0",
                                                "--min-radius",
                                                "3",
                                                "--max-radius",
                                                "10",
                                                "--restart",
                                                "1",
                                                "--out",
                                                "dir",
                                                "--bench",
                                                "--pace",
                                                "20"});
    EXPECT_EQ(o.image, "a.jpg");
    EXPECT_EQ(o.width, 320);
    EXPECT_EQ(o.height, 200);
    EXPECT_EQ(o.bpp, 16);
    EXPECT_EQ(o.frames, 60);
    EXPECT_EQ(o.every, 30);
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_EQ(o.settings.density(), 50);
    EXPECT_EQ(o.settings.windForce(), 0);
    EXPECT_EQ(o.settings.minDropRadius(), 3);
    EXPECT_EQ(o.settings.dropRadiusSpread(), 7);
    EXPECT_EQ(o.restartSeconds, 1);
    EXPECT_EQ(o.out, "dir");
    EXPECT_TRUE(o.bench);
    EXPECT_EQ(o.paceMs, 20);

    const RenderOptions eq = parseRenderOptions({"--size=64x48", "--bpp=24"});
    EXPECT_EQ(eq.width, 64);
    EXPECT_EQ(eq.height, 48);
    EXPECT_EQ(eq.bpp, 24);
}

// Every field of a run, so that two runs can be compared whole.
std::string described(const RenderOptions& o) {
    std::string text = o.image + "|" + o.out;
    for (std::int64_t v : {std::int64_t{o.width}, std::int64_t{o.height}, std::int64_t{o.bpp},
                           std::int64_t{o.frames}, std::int64_t{o.every}, std::int64_t{o.seed},
                           std::int64_t{o.restartSeconds}, std::int64_t{o.paceMs},
                           std::int64_t{o.bench}, std::int64_t{o.help}}) {
        text += "|" + std::to_string(v);
    }
    for (std::uint8_t b : bytesOf(o.settings)) text += "," + std::to_string(b);
    return text;
}

bool numericDefault(const Switch& row) {
    return row.byDefault[0] >= '0' && row.byDefault[0] <= '9';
}

// What --help calls a switch's default is what the program does without the switch, and the
// settings' ranges are the record's own.
TEST(RenderOptions, TablesTellTheDefaults) {
    int checked = 0;
    for (const Switch& row : kRenderSwitches) {
        if (!numericDefault(row)) continue;
        EXPECT_EQ(described(parseRenderOptions({row.name, row.byDefault})),
                  described(parseRenderOptions({})))
            << row.name;
        ++checked;
    }
    for (const Switch& row : SettingsSwitches::kRows) {
        if (!numericDefault(row)) continue;
        EXPECT_EQ(described(parseRenderOptions({row.name, row.byDefault})),
                  described(parseRenderOptions({})))
            << row.name;
        EXPECT_EQ(bytesOf(parseMistoOptions({row.name, row.byDefault}, nullptr).choice.settings),
                  bytesOf(SaverSettings()))
            << row.name;
        ++checked;
    }
    const MistoOptions none = parseMistoOptions({}, nullptr);
    for (const Switch& row : kMistoSwitches) {
        if (!numericDefault(row)) continue;
        const MistoOptions given = parseMistoOptions({row.name, row.byDefault}, nullptr);
        EXPECT_EQ(given.delayMicroseconds, none.delayMicroseconds) << row.name;
        EXPECT_EQ(given.frames, none.frames) << row.name;
        ++checked;
    }
    EXPECT_GT(checked, 0);

    const SaverSettings s;
    auto range = [](const char* name) {
        const Switch& row = findSwitch(SettingsSwitches::kRows, name);
        EXPECT_EQ(row.name, std::string(name));
        return std::make_pair(row.lo, row.hi);
    };
    using Range = std::pair<std::int64_t, std::int64_t>;
    EXPECT_EQ(range("--density"), Range(s.densityMin(), s.densityMax()));
    EXPECT_EQ(range("--wind-force"), Range(s.windForceMin(), s.windForceMax()));
    EXPECT_EQ(range("--min-radius"), Range(s.dropRadiusMin(), s.dropRadiusMax()));
    EXPECT_EQ(range("--max-radius"), Range(s.dropRadiusMin(), s.dropRadiusMax()));

    // misto-render takes each range's ends and refuses a step past them (the radii start from
    // the widest pair, so that either end may move to either limit).
    for (const Switch& row : SettingsSwitches::kRows) {
        if (!hasRange(row)) continue;
        for (std::int64_t v : {row.lo, row.hi}) {
            EXPECT_EQ(
                errorOf({"--min-radius", "1", "--max-radius", "10", row.name, std::to_string(v)}),
                "")
                << row.name << " " << v;
        }
        for (std::int64_t v : {row.lo - 1, row.hi + 1}) {
            EXPECT_NE(errorOf({row.name, std::to_string(v)}).find(row.name), std::string::npos)
                << row.name << " " << v;
        }
    }
}

TEST(RenderOptions, WindDirectionInDegrees) {
    auto radians = [](const char* text) {
        return parseRenderOptions({"--wind-direction", text}).settings.windDirection();
    };
    EXPECT_EQ(radians("90"), static_cast<float>(kPi / 2));
    EXPECT_EQ(radians("135"), SaverSettings().windDirection());
    EXPECT_FLOAT_EQ(radians("112.5"), static_cast<float>(112.5 * kPi / 180));
    EXPECT_FLOAT_EQ(radians("-45"), static_cast<float>(-kPi / 4));
    // Straight down blows no wind sideways; 0 degrees blows to the left.
    EXPECT_EQ(parseRenderOptions({"--wind-direction", "90"}).settings.windX(), 0);
    EXPECT_EQ(parseRenderOptions({"--wind-direction", "0"}).settings.windX(), -40);
}

TEST(RenderOptions, BadFlagsNameTheirFault) {
    EXPECT_NE(errorOf({"--size", "0x5"}).find("--size"), std::string::npos);
    EXPECT_NE(errorOf({"--size", "12x"}), "");
    EXPECT_NE(errorOf({"--size", "9000x10"}), "");
    EXPECT_NE(errorOf({"--size", " 12x10"}), "");
    EXPECT_NE(errorOf({"--bpp", "8"}).find("16, 24 or 32"), std::string::npos);
    EXPECT_NE(errorOf({"--frames", "0"}), "");
    EXPECT_NE(errorOf({"--frames", "12a"}), "");
    EXPECT_NE(errorOf({"--frames", "99999999999999999999"}), "");
    EXPECT_NE(errorOf({"--seed", "-1"}), "");
    EXPECT_NE(errorOf({"--seed", "4294967296"}), "");
    EXPECT_NE(errorOf({"--density", "51"}), "");
    EXPECT_NE(errorOf({"--wind-force", "-1"}), "");
    EXPECT_NE(errorOf({"--wind-direction", "abc"}), "");
    EXPECT_NE(errorOf({"--wind-direction", "400"}), "");
    EXPECT_NE(errorOf({"--wind-direction", "1.2.3"}), "");
    EXPECT_NE(errorOf({"--min-radius", "0"}), "");
    EXPECT_NE(errorOf({"--max-radius", "11"}), "");
    EXPECT_NE(errorOf({"--restart", "-5"}), "");
    // No restart on every frame: the least period is a second.
    EXPECT_NE(errorOf({"--restart", "0"}).find("at least 1 second"), std::string::npos);
    EXPECT_NE(errorOf({"--image", ""}), "");
    EXPECT_NE(errorOf({"--pace", "-1"}).find("--pace"), std::string::npos);
    EXPECT_NE(errorOf({"--bench=1"}).find("no value"), std::string::npos);
    EXPECT_NE(errorOf({"--frames"}).find("needs a value"), std::string::npos);
    EXPECT_NE(errorOf({"--colour", "red"}).find("--colour"), std::string::npos);
    EXPECT_NE(errorOf({"image.png"}).find("image.png"), std::string::npos);
    EXPECT_NE(errorOf({"--frames", "10", "--every", "11"}).find("no frame"), std::string::npos);
    EXPECT_NE(errorOf({"--min-radius", "9", "--max-radius", "5"}).find("larger"),
              std::string::npos);
}

TEST(RenderOptions, RadiiKeepTheOtherEnd) {
    // The defaults are 4 ... 9; moving one end keeps the other.
    const RenderOptions lower = parseRenderOptions({"--min-radius", "6"});
    EXPECT_EQ(lower.settings.minDropRadius(), 6);
    EXPECT_EQ(lower.settings.dropRadiusSpread(), 3);
    const RenderOptions upper = parseRenderOptions({"--max-radius", "4"});
    EXPECT_EQ(upper.settings.minDropRadius(), 4);
    EXPECT_EQ(upper.settings.dropRadiusSpread(), 0);
}

TEST(RenderOptions, ConfigurationFileReadLeftToRight) {
    FakeFiles fs;
    fs.files["saved.cfg"] = bytesOf(storedSettings());

    const RenderOptions plain = parseRenderOptions({"--config", "saved.cfg"}, fs.reader());
    EXPECT_EQ(bytesOf(plain.settings), bytesOf(storedSettings()));
    EXPECT_EQ(plain.restartSeconds, 65);

    // A flag after the file overrides one field, one before it is overridden by the file.
    const RenderOptions mixed =
        parseRenderOptions({"--density", "40", "--min-radius", "8", "--config", "saved.cfg",
                            "--wind-force", "33", "--max-radius", "9", "--restart", "7"},
                           fs.reader());
    EXPECT_EQ(mixed.settings.density(), 7);
    EXPECT_EQ(mixed.settings.windForce(), 33);
    EXPECT_EQ(mixed.settings.windDirection(), 1.0f);
    EXPECT_EQ(mixed.settings.minDropRadius(), 2);
    EXPECT_EQ(mixed.settings.dropRadiusSpread(), 7);
    EXPECT_EQ(mixed.restartSeconds, 7);

    SaverSettings off = storedSettings();
    off.setRestartEnabled(false);
    fs.files["off.cfg"] = bytesOf(off);
    EXPECT_EQ(parseRenderOptions({"--config", "off.cfg"}, fs.reader()).restartSeconds, -1);

    // Only the format version: every field keeps its default.
    fs.files["version.cfg"] = {0x00, 0x02, 0x00, 0x00};
    EXPECT_EQ(bytesOf(parseRenderOptions({"--config", "version.cfg"}, fs.reader()).settings),
              bytesOf(SaverSettings()));
}

TEST(RenderOptions, DamagedOrMissingConfiguration) {
    FakeFiles fs;
    fs.files["short.cfg"] = {0x00, 0x02, 0x00};
    fs.files["empty.cfg"] = {};
    const std::string shortText = errorOf({"--config", "short.cfg"}, fs.reader());
    EXPECT_NE(shortText.find("short.cfg is damaged"), std::string::npos);
    EXPECT_NE(shortText.find("3 bytes"), std::string::npos);
    EXPECT_NE(errorOf({"--config", "empty.cfg"}, fs.reader()).find("0 bytes"), std::string::npos);
    EXPECT_NE(errorOf({"--config", "gone.cfg"}, fs.reader()).find("gone.cfg"), std::string::npos);

    // The real reader names a missing file too.
    const std::string missing = errorOf({"--config", "no/such/dir/misto.cfg"});
    EXPECT_NE(missing.find("cannot open"), std::string::npos);
    EXPECT_NE(missing.find("no/such/dir/misto.cfg"), std::string::npos);
}

TEST(RenderOptions, StoredRecordIsBoundedBeforeUse) {
    SaverSettings s;
    s.setRestartEnabled(true);
    s.setRestartMinutes(2);
    s.setRestartSeconds(30);
    EXPECT_EQ(configuredRestartSeconds(s), 150);
    // Restarting on at 0:00 (or less) would wipe the glass on every frame: a second at least.
    s.setRestartMinutes(-5);
    s.setRestartSeconds(0);
    EXPECT_EQ(configuredRestartSeconds(s), 1);
    s.setRestartMinutes(0);
    EXPECT_EQ(configuredRestartSeconds(s), 1);
    s.setRestartMinutes(2147483647);
    s.setRestartSeconds(2147483647);
    EXPECT_EQ(configuredRestartSeconds(s), 24 * 60 * 60);

    // Radii at the ends of their fields: no sum may overflow (the sanitizer build stops on one),
    // and a radius switch after the record works from the bounded values.
    FakeFiles fs;
    SaverSettings wild = storedSettings();
    wild.setMinDropRadius(0x7fffffff);
    wild.setDropRadiusSpread(0x7fffffff);
    fs.files["wild.cfg"] = bytesOf(wild);
    const RenderOptions kept = parseRenderOptions({"--config", "wild.cfg"}, fs.reader());
    EXPECT_EQ(bytesOf(kept.settings), bytesOf(wild));
    const RenderOptions moved =
        parseRenderOptions({"--config", "wild.cfg", "--min-radius", "3"}, fs.reader());
    EXPECT_EQ(moved.settings.minDropRadius(), 3);
    EXPECT_EQ(moved.settings.dropRadiusSpread(), 7);
    wild.setMinDropRadius(-2147483647 - 1);
    wild.setDropRadiusSpread(-2147483647 - 1);
    fs.files["low.cfg"] = bytesOf(wild);
    const RenderOptions low =
        parseRenderOptions({"--config", "low.cfg", "--max-radius", "5"}, fs.reader());
    EXPECT_EQ(low.settings.minDropRadius(), 1);
    EXPECT_EQ(low.settings.dropRadiusSpread(), 4);
    const MistoOptions saver =
        parseMistoOptions({"--config", "wild.cfg", "--max-radius", "6"}, nullptr, fs.reader());
    // The saver bounds a maximum below the bounded minimum as sliders moved past each other.
    EXPECT_EQ(saver.choice.settings.minDropRadius(), 10);
    EXPECT_EQ(saver.choice.settings.dropRadiusSpread(), 0);
}

}  // namespace
