#include "app/settings_switches.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "foundation/small_file.h"
#include "settings/settings_format.h"

const char* const SettingsSwitches::kUsage =
    "  --density D            how much rain, 0 to 50 (default 25)\n"
    "  --wind-force F         0 to 50 (default 40)\n"
    "  --wind-direction DEG   where the wind blows, -360 to 360 degrees (default 135;\n"
    "                         90 is straight down, 0 to the left)\n"
    "  --min-radius R         smallest drop, 1 to 10 (default 4)\n"
    "  --max-radius R         largest drop, 1 to 10 (default 9)\n"
    "  --restart SECONDS      wipe the glass every SECONDS, 1 to 86400 (default: never)\n"
    "  --seed S               the rain's random seed, 0 to 4294967295 (default 1)\n"
    "  --config FILE          the settings from a saved 54-byte configuration record; later\n"
    "                         switches override single fields of it\n";

namespace {

constexpr std::int32_t kMaxRestartSeconds = 24 * 60 * 60;
// A wipe on every frame would show no rain at all: a second is the least, as on the Display page.
constexpr std::int32_t kMinRestartSeconds = 1;
constexpr double kPi = 3.14159265359;

[[noreturn]] void fail(const std::string& text) { throw SwitchError(text); }

// Strict decimal: digits only (after an optional sign when allowed), no spaces, no overflow.
bool parseInteger(const std::string& text, bool allowSign, std::int64_t limit,
                  std::int64_t& value) {
    size_t i = 0;
    bool negative = false;
    if (allowSign && i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return false;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        if (v > limit) return false;
    }
    value = negative ? -v : v;
    return true;
}

std::unique_ptr<SaverSettings> loadConfiguration(const std::string& path,
                                                 const FileReader& readFile) {
    const std::vector<std::uint8_t> bytes = readFile(path);
    std::unique_ptr<SaverSettings> settings = readConfiguration(bytes.data(), bytes.size());
    if (!settings) {
        fail("the configuration file " + path + " is damaged: it holds " +
             std::to_string(bytes.size()) + " bytes, fewer than the 4 of its format version");
    }
    return settings;
}

}  // namespace

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    // A real configuration is 54 bytes; a larger file is not one, and reading on is useless.
    SmallFile file = readSmallFile(path, 1u << 20);
    if (!file.bytes) fail("cannot open the configuration file " + path + ": " + file.error);
    return std::move(*file.bytes);
}

bool SwitchCursor::next() {
    if (started_) {
        ++at_;
    } else {
        started_ = true;
    }
    if (at_ >= args_.size()) return false;
    name_ = args_[at_];
    value_.clear();
    inlineValue_ = false;
    // xscreensaver's programs take one dash; a lone letter (-h) stays as it is.
    if (name_.size() > 2 && name_[0] == '-' && name_[1] != '-') name_ = "-" + name_;
    const size_t eq = name_.find('=');
    if (name_.rfind("--", 0) == 0 && eq != std::string::npos) {
        value_ = name_.substr(eq + 1);
        name_ = name_.substr(0, eq);
        inlineValue_ = true;
    }
    return true;
}

const std::string& SwitchCursor::value() {
    if (!inlineValue_) {
        if (at_ + 1 >= args_.size()) fail(name_ + " needs a value");
        value_ = args_[++at_];
    }
    return value_;
}

void SwitchCursor::noValue() const {
    if (inlineValue_) fail(name_ + " takes no value");
}

std::int32_t integerSwitch(const std::string& flag, const std::string& text, std::int32_t lo,
                           std::int32_t hi) {
    std::int64_t v = 0;
    if (!parseInteger(text, lo < 0, static_cast<std::int64_t>(hi) + 1, v) || v < lo || v > hi) {
        fail(flag + " wants a whole number from " + std::to_string(lo) + " to " +
             std::to_string(hi) + ", not \"" + text + "\"");
    }
    return static_cast<std::int32_t>(v);
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

std::int32_t SettingsSwitches::integer(const std::string& flag, const std::string& text,
                                       std::int32_t lo, std::int32_t hi) const {
    if (outOfRange_ == OutOfRange::Refuse) return integerSwitch(flag, text, lo, hi);
    std::int64_t v = 0;
    if (!parseInteger(text, true, std::numeric_limits<std::int32_t>::max(), v)) {
        fail(flag + " wants a whole number from " + std::to_string(lo) + " to " +
             std::to_string(hi) + ", not \"" + text + "\"");
    }
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, lo, hi));
}

// Refused below a second in either mode: bounding 0 or a negative count would wipe the glass on
// every frame, and the screen would show no rain at all.
std::int32_t SettingsSwitches::restartSeconds(const std::string& text) const {
    std::int64_t v = 0;
    if (parseInteger(text, true, std::numeric_limits<std::int32_t>::max(), v) &&
        v < kMinRestartSeconds) {
        fail("--restart wants at least 1 second, not \"" + text +
             "\": the glass would be wiped on every frame");
    }
    return integer("--restart", text, kMinRestartSeconds, kMaxRestartSeconds);
}

// Degrees as a decimal fraction, turned into radians without the C library's number parsing
// so that every build arrives at the same float bits.
float SettingsSwitches::degrees(const std::string& flag, const std::string& text) const {
    auto bad = [&]() {
        fail(flag + " wants degrees from -360 to 360 (like 135 or 112.5), not \"" + text + "\"");
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
    if (static_cast<double>(digits) / scale > 360.0) {
        if (outOfRange_ == OutOfRange::Refuse) bad();
        digits = 360;
        scale = 1.0;
    }
    const double signedDigits = static_cast<double>(negative ? -digits : digits);
    return static_cast<float>(signedDigits * kPi / (180.0 * scale));
}

bool SettingsSwitches::take(SwitchCursor& cursor) {
    const std::string& flag = cursor.name();
    SaverSettings& s = choice_.settings;
    if (flag == "--seed") {
        std::int64_t v = 0;
        const std::string& text = cursor.value();
        if (!parseInteger(text, false, std::numeric_limits<std::uint32_t>::max(), v)) {
            fail("--seed wants a whole number from 0 to 4294967295, not \"" + text + "\"");
        }
        choice_.seed = static_cast<std::uint32_t>(v);
    } else if (flag == "--density") {
        s.setDensity(integer(flag, cursor.value(), s.densityMin(), s.densityMax()));
    } else if (flag == "--wind-force") {
        s.setWindForce(integer(flag, cursor.value(), s.windForceMin(), s.windForceMax()));
    } else if (flag == "--wind-direction") {
        s.setWindDirection(degrees(flag, cursor.value()));
    } else if (flag == "--min-radius") {
        minRadius_ = integer(flag, cursor.value(), s.dropRadiusMin(), s.dropRadiusMax());
        radiusGiven_ = true;
    } else if (flag == "--max-radius") {
        maxRadius_ = integer(flag, cursor.value(), s.dropRadiusMin(), s.dropRadiusMax());
        radiusGiven_ = true;
    } else if (flag == "--restart") {
        choice_.restartSeconds = restartSeconds(cursor.value());
    } else if (flag == "--config") {
        s = *loadConfiguration(cursor.value(), readFile_);
        choice_.restartSeconds = configuredRestartSeconds(s);
        // The record's radii are bounded before any sum: a stored record may hold any numbers.
        minRadius_ = boundedMinDropRadius(s);
        maxRadius_ = boundedMaxDropRadius(s);
        radiusGiven_ = false;
    } else {
        return false;
    }
    return true;
}

void SettingsSwitches::finish() {
    if (!radiusGiven_) return;
    if (minRadius_ > maxRadius_) {
        if (outOfRange_ == OutOfRange::Refuse) {
            fail("--min-radius " + std::to_string(minRadius_) + " is larger than the maximum " +
                 std::to_string(maxRadius_));
        }
        // A pair of sliders moved past each other: the drops take the one size.
        maxRadius_ = minRadius_;
    }
    choice_.settings.setMinDropRadius(minRadius_);
    choice_.settings.setDropRadiusSpread(maxRadius_ - minRadius_);
}
