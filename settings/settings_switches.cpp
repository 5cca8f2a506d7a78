#include "settings/settings_switches.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "foundation/pi.h"
#include "foundation/small_file.h"
#include "settings/settings_format.h"

namespace {

constexpr std::int32_t kMaxRestartSeconds = 24 * 60 * 60;
// A wipe on every frame would show no rain at all: a second is the least, as on the Display page.
constexpr std::int32_t kMinRestartSeconds = 1;

std::unique_ptr<SaverSettings> loadConfiguration(const std::string& path,
                                                 const FileReader& readFile) {
    const std::vector<std::uint8_t> bytes = readFile(path);
    std::unique_ptr<SaverSettings> settings = readConfiguration(bytes.data(), bytes.size());
    if (!settings) {
        failSwitch("the configuration file " + path + " is damaged: it holds " +
                   std::to_string(bytes.size()) + " bytes, fewer than the 4 of its format version");
    }
    return settings;
}

}  // namespace

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    // A real configuration is 54 bytes; a larger file is not one, and reading on is useless.
    SmallFile file = readSmallFile(path, 1u << 20);
    if (!file.bytes) failSwitch("cannot open the configuration file " + path + ": " + file.error);
    return std::move(*file.bytes);
}

std::int32_t configuredRestartSeconds(const SaverSettings& settings) {
    if (!settings.restartEnabled()) return -1;
    const std::int64_t total =
        static_cast<std::int64_t>(settings.restartMinutes()) * 60 + settings.restartSeconds();
    // A record written elsewhere may hold 0:00, which would wipe the glass on every frame: it runs
    // at the least period the Display page accepts.
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(total, kMinRestartSeconds, kMaxRestartSeconds));
}

SaverSettings settingsWithRestart(const SaverSettings& settings, std::int32_t restartSeconds) {
    SaverSettings s = settings;
    s.setRestartEnabled(restartSeconds >= 0);
    s.setRestartMinutes(0);
    s.setRestartSeconds(restartSeconds < 0 ? 0 : restartSeconds);
    return s;
}

SettingsSwitches::SettingsSwitches(SettingsChoice& choice, OutOfRange outOfRange,
                                   const FileReader& readFile)
    : choice_(choice),
      outOfRange_(outOfRange),
      readFile_(readFile),
      minRadius_(boundedMinDropRadius(choice.settings)),
      maxRadius_(boundedMaxDropRadius(choice.settings)) {}

const SwitchRow<SettingsSwitches> SettingsSwitches::kRows[8] = {
    {{"--density", "D", 0, 50, "25", "how much rain"}, &setDensity},
    {{"--wind-force", "F", 0, 50, "40", "the wind's force"}, &setWindForce},
    {{"--wind-direction", "DEG", -360, 360, "135",
      "where the wind blows in degrees (90 is straight down, 0 to the left)"},
     &setWindDirection},
    {{"--min-radius", "R", 1, 10, "4", "smallest drop"}, &setMinRadius},
    {{"--max-radius", "R", 1, 10, "9", "largest drop"}, &setMaxRadius},
    {{"--restart", "SECONDS", kMinRestartSeconds, kMaxRestartSeconds, "never",
      "wipe the glass every SECONDS"},
     &setRestart},
    {{"--seed", "S", 0, 4294967295, "1", "the rain's random seed"}, &setSeed},
    {{"--config", "FILE", kNoLow, kNoHigh, "",
      "the settings from a saved 54-byte configuration record; later switches override single "
      "fields of it"},
     &setConfig},
};

std::int32_t SettingsSwitches::integer(const Switch& row, const std::string& text) const {
    if (outOfRange_ == OutOfRange::Refuse)
        return static_cast<std::int32_t>(integerSwitch(row, text));
    std::int64_t v = 0;
    if (!parseInteger(text, true, std::numeric_limits<std::int32_t>::max(), v)) {
        failRange(row, text);
    }
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, row.lo, row.hi));
}

void SettingsSwitches::setDensity(SettingsSwitches& to, const Switch& row,
                                  const std::string& text) {
    to.choice_.settings.setDensity(to.integer(row, text));
}

void SettingsSwitches::setWindForce(SettingsSwitches& to, const Switch& row,
                                    const std::string& text) {
    to.choice_.settings.setWindForce(to.integer(row, text));
}

void SettingsSwitches::setMinRadius(SettingsSwitches& to, const Switch& row,
                                    const std::string& text) {
    to.minRadius_ = to.integer(row, text);
    to.radiusGiven_ = true;
}

void SettingsSwitches::setMaxRadius(SettingsSwitches& to, const Switch& row,
                                    const std::string& text) {
    to.maxRadius_ = to.integer(row, text);
    to.radiusGiven_ = true;
}

// Refused below a second in either mode: bounding 0 or a negative count would wipe the glass on
// every frame, and the screen would show no rain at all.
void SettingsSwitches::setRestart(SettingsSwitches& to, const Switch& row,
                                  const std::string& text) {
    std::int64_t v = 0;
    if (parseInteger(text, true, std::numeric_limits<std::int32_t>::max(), v) && v < row.lo) {
        failSwitch(std::string(row.name) + " wants at least " + std::to_string(row.lo) +
                   " second, not \"" + text + "\": the glass would be wiped on every frame");
    }
    to.choice_.restartSeconds = to.integer(row, text);
}

void SettingsSwitches::setSeed(SettingsSwitches& to, const Switch& row, const std::string& text) {
    std::int64_t v = 0;
    if (!parseInteger(text, false, row.hi, v)) failRange(row, text);
    to.choice_.seed = static_cast<std::uint32_t>(v);
}

void SettingsSwitches::setConfig(SettingsSwitches& to, const Switch&, const std::string& text) {
    SaverSettings& s = to.choice_.settings;
    s = *loadConfiguration(text, to.readFile_);
    to.choice_.restartSeconds = configuredRestartSeconds(s);
    // The record's radii are bounded before any sum: a stored record may hold any numbers.
    to.minRadius_ = boundedMinDropRadius(s);
    to.maxRadius_ = boundedMaxDropRadius(s);
    to.radiusGiven_ = false;
}

// Degrees as a decimal fraction, turned into radians without the C library's number parsing
// so that every build arrives at the same float bits.
void SettingsSwitches::setWindDirection(SettingsSwitches& to, const Switch& row,
                                        const std::string& text) {
    auto bad = [&]() {
        failSwitch(std::string(row.name) + " wants degrees from " + std::to_string(row.lo) +
                   " to " + std::to_string(row.hi) + " (like 135 or 112.5), not \"" + text + "\"");
    };
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::int64_t digits = 0;
    int decimals = 0;
    int count = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') bad();
        if (++count > 12) bad();
        digits = digits * 10 + (c - '0');
        if (point) ++decimals;
    }
    if (count == 0) bad();
    double scale = 1.0;
    for (int d = 0; d < decimals; ++d) scale *= 10.0;
    const std::int64_t limit = negative ? -row.lo : row.hi;
    if (static_cast<double>(digits) / scale > static_cast<double>(limit)) {
        if (to.outOfRange_ == OutOfRange::Refuse) bad();
        digits = limit;
        scale = 1.0;
    }
    const double signedDigits = static_cast<double>(negative ? -digits : digits);
    to.choice_.settings.setWindDirection(static_cast<float>(signedDigits * kPi / (180.0 * scale)));
}

bool SettingsSwitches::take(SwitchCursor& cursor) { return takeSwitch(kRows, *this, cursor); }

void SettingsSwitches::finish() {
    if (!radiusGiven_) return;
    if (minRadius_ > maxRadius_) {
        if (outOfRange_ == OutOfRange::Refuse) {
            failSwitch("--min-radius " + std::to_string(minRadius_) +
                       " is larger than the maximum " + std::to_string(maxRadius_));
        }
        // A pair of sliders moved past each other: the drops take the one size.
        maxRadius_ = minRadius_;
    }
    choice_.settings.setMinDropRadius(minRadius_);
    choice_.settings.setDropRadiusSpread(maxRadius_ - minRadius_);
}
