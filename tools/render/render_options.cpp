#include "tools/render/render_options.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "settings/settings_format.h"

const char* const kRenderUsage =
    "usage: misto-render [--image FILE] [--size WxH] [--bpp 16|24|32] [--frames N] [--every K]\n"
    "                    [--seed S] [--density D] [--wind-force F] [--wind-direction DEGREES]\n"
    "                    [--min-radius R] [--max-radius R] [--restart SECONDS] [--config FILE]\n"
    "                    [--out DIR] [--bench]\n"
    "Renders the rain over a picture into DIR/frame-NNNNN.png for frames K, 2K, ... N.\n"
    "Flags are read left to right: a flag after --config overrides that field of the file.\n";

namespace {

constexpr std::int32_t kMaxSide = 8192;
constexpr std::int32_t kMaxFrames = 100000000;
constexpr std::int32_t kMaxRestartSeconds = 24 * 60 * 60;
constexpr double kPi = 3.14159265359;

[[noreturn]] void fail(const std::string& text) { throw RenderOptionsError(text); }

// Strict decimal: digits only (after an optional '-' when allowed), no spaces, no overflow.
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

std::int32_t integerIn(const std::string& flag, const std::string& text, std::int32_t lo,
                       std::int32_t hi) {
    std::int64_t v = 0;
    if (!parseInteger(text, lo < 0, static_cast<std::int64_t>(hi) + 1, v) || v < lo || v > hi) {
        fail(flag + " wants a whole number from " + std::to_string(lo) + " to " +
             std::to_string(hi) + ", not \"" + text + "\"");
    }
    return static_cast<std::int32_t>(v);
}

// Degrees as a decimal fraction, turned into radians without the C library's number parsing
// so that both builds arrive at the same float bits.
float degreesToRadians(const std::string& flag, const std::string& text) {
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
    const double degrees = static_cast<double>(digits) / scale;
    if (degrees > 360.0) bad();
    const double signedDigits = static_cast<double>(negative ? -digits : digits);
    return static_cast<float>(signedDigits * kPi / (180.0 * scale));
}

void parseSize(const std::string& flag, const std::string& text, RenderOptions& options) {
    const size_t x = text.find_first_of("xX");
    std::int64_t w = 0;
    std::int64_t h = 0;
    if (x == std::string::npos || !parseInteger(text.substr(0, x), false, kMaxSide + 1, w) ||
        !parseInteger(text.substr(x + 1), false, kMaxSide + 1, h) || w < 1 || h < 1 ||
        w > kMaxSide || h > kMaxSide) {
        fail(flag + " wants WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxSide) +
             " (like 1280x720), not \"" + text + "\"");
    }
    options.width = static_cast<std::int32_t>(w);
    options.height = static_cast<std::int32_t>(h);
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
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        fail("cannot open the configuration file " + path + ": " + std::strerror(errno));
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
        // A real configuration is 54 bytes; a huge file is not one, and reading on is useless.
        if (bytes.size() > (1u << 20)) break;
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) fail("cannot read the configuration file " + path);
    return bytes;
}

std::int32_t configuredRestartSeconds(const SaverSettings& settings) {
    if (!settings.restartEnabled()) return -1;
    const std::int64_t total =
        static_cast<std::int64_t>(settings.restartMinutes()) * 60 + settings.restartSeconds();
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(total, 0, kMaxRestartSeconds));
}

RenderOptions parseRenderOptions(const std::vector<std::string>& args, const FileReader& readFile) {
    RenderOptions options;
    std::int32_t minRadius = options.settings.minDropRadius();
    std::int32_t maxRadius = minRadius + options.settings.dropRadiusSpread();
    bool radiusGiven = false;
    const std::int32_t radiusLimit = options.settings.dropRadiusMax();

    for (size_t i = 0; i < args.size(); ++i) {
        std::string flag = args[i];
        std::string value;
        bool inlineValue = false;
        const size_t eq = flag.find('=');
        if (flag.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = flag.substr(eq + 1);
            flag = flag.substr(0, eq);
            inlineValue = true;
        }
        auto takeValue = [&]() -> const std::string& {
            if (!inlineValue) {
                if (i + 1 >= args.size()) fail(flag + " needs a value");
                value = args[++i];
            }
            return value;
        };
        auto noValue = [&]() {
            if (inlineValue) fail(flag + " takes no value");
        };

        if (flag == "--help" || flag == "-h") {
            noValue();
            options.help = true;
        } else if (flag == "--bench") {
            noValue();
            options.bench = true;
        } else if (flag == "--image") {
            options.image = takeValue();
            if (options.image.empty()) fail("--image wants a file name");
        } else if (flag == "--out") {
            options.out = takeValue();
            if (options.out.empty()) fail("--out wants a folder name");
        } else if (flag == "--size") {
            parseSize(flag, takeValue(), options);
        } else if (flag == "--bpp") {
            const std::string& text = takeValue();
            if (text != "16" && text != "24" && text != "32") {
                fail("--bpp wants 16, 24 or 32, not \"" + text + "\"");
            }
            options.bpp = std::stoi(text);
        } else if (flag == "--frames") {
            options.frames = integerIn(flag, takeValue(), 1, kMaxFrames);
        } else if (flag == "--every") {
            options.every = integerIn(flag, takeValue(), 1, kMaxFrames);
        } else if (flag == "--seed") {
            std::int64_t v = 0;
            const std::string& text = takeValue();
            if (!parseInteger(text, false, std::numeric_limits<std::uint32_t>::max(), v)) {
                fail("--seed wants a whole number from 0 to 4294967295, not \"" + text + "\"");
            }
            options.seed = static_cast<std::uint32_t>(v);
        } else if (flag == "--density") {
            options.settings.setDensity(integerIn(flag, takeValue(), options.settings.densityMin(),
                                                  options.settings.densityMax()));
        } else if (flag == "--wind-force") {
            options.settings.setWindForce(integerIn(flag, takeValue(),
                                                    options.settings.windForceMin(),
                                                    options.settings.windForceMax()));
        } else if (flag == "--wind-direction") {
            options.settings.setWindDirection(degreesToRadians(flag, takeValue()));
        } else if (flag == "--min-radius") {
            minRadius = integerIn(flag, takeValue(), options.settings.dropRadiusMin(), radiusLimit);
            radiusGiven = true;
        } else if (flag == "--max-radius") {
            maxRadius = integerIn(flag, takeValue(), options.settings.dropRadiusMin(), radiusLimit);
            radiusGiven = true;
        } else if (flag == "--restart") {
            options.restartSeconds = integerIn(flag, takeValue(), 0, kMaxRestartSeconds);
        } else if (flag == "--config") {
            const std::string& path = takeValue();
            options.settings = *loadConfiguration(path, readFile);
            options.restartSeconds = configuredRestartSeconds(options.settings);
            minRadius = options.settings.minDropRadius();
            maxRadius = minRadius + options.settings.dropRadiusSpread();
            radiusGiven = false;
        } else {
            fail("unknown flag \"" + args[i] + "\" (try --help)");
        }
    }

    if (radiusGiven) {
        if (minRadius > maxRadius) {
            fail("--min-radius " + std::to_string(minRadius) + " is larger than the maximum " +
                 std::to_string(maxRadius));
        }
        options.settings.setMinDropRadius(minRadius);
        options.settings.setDropRadiusSpread(maxRadius - minRadius);
    }
    if (options.every > options.frames) {
        fail("--every " + std::to_string(options.every) + " is more than --frames " +
             std::to_string(options.frames) + ": no frame would be written");
    }
    return options;
}
