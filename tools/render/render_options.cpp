#include "tools/render/render_options.h"

#include <string>

const char* const kRenderUsage =
    "usage: misto-render [--image FILE] [--size WxH] [--bpp 16|24|32] [--frames N] [--every K]\n"
    "                    [--seed S] [--density D] [--wind-force F] [--wind-direction DEGREES]\n"
    "                    [--min-radius R] [--max-radius R] [--restart SECONDS] [--config FILE]\n"
    "                    [--out DIR] [--bench] [--pace MS]\n"
    "Renders the rain over a picture into DIR/frame-NNNNN.png for frames K, 2K, ... N.\n"
    "--pace draws a frame every MS milliseconds, as a saver does, instead of at once.\n"
    "Flags are read left to right: a flag after --config overrides that field of the file.\n";

namespace {

constexpr std::int32_t kMaxSide = 8192;
constexpr std::int32_t kMaxFrames = 100000000;

[[noreturn]] void fail(const std::string& text) { throw RenderOptionsError(text); }

void parseSize(const std::string& flag, const std::string& text, RenderOptions& options) {
    const size_t x = text.find_first_of("xX");
    const bool shaped = x != std::string::npos && x > 0 && x + 1 < text.size();
    try {
        if (!shaped) throw SwitchError("");
        options.width = integerSwitch(flag, text.substr(0, x), 1, kMaxSide);
        options.height = integerSwitch(flag, text.substr(x + 1), 1, kMaxSide);
    } catch (const SwitchError&) {
        fail(flag + " wants WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxSide) +
             " (like 1280x720), not \"" + text + "\"");
    }
}

}  // namespace

RenderOptions parseRenderOptions(const std::vector<std::string>& args, const FileReader& readFile) {
    RenderOptions options;
    SettingsChoice choice;
    SettingsSwitches settingsSwitches(choice, OutOfRange::Refuse, readFile);
    SwitchCursor cursor(args);
    while (cursor.next()) {
        const std::string& flag = cursor.name();
        if (settingsSwitches.take(cursor)) continue;
        if (flag == "--help" || flag == "-h") {
            cursor.noValue();
            options.help = true;
        } else if (flag == "--bench") {
            cursor.noValue();
            options.bench = true;
        } else if (flag == "--image") {
            options.image = cursor.value();
            if (options.image.empty()) fail("--image wants a file name");
        } else if (flag == "--out") {
            options.out = cursor.value();
            if (options.out.empty()) fail("--out wants a folder name");
        } else if (flag == "--size") {
            parseSize(flag, cursor.value(), options);
        } else if (flag == "--bpp") {
            const std::string& text = cursor.value();
            if (text != "16" && text != "24" && text != "32") {
                fail("--bpp wants 16, 24 or 32, not \"" + text + "\"");
            }
            options.bpp = std::stoi(text);
        } else if (flag == "--frames") {
            options.frames = integerSwitch(flag, cursor.value(), 1, kMaxFrames);
        } else if (flag == "--every") {
            options.every = integerSwitch(flag, cursor.value(), 1, kMaxFrames);
        } else if (flag == "--pace") {
            options.paceMs = integerSwitch(flag, cursor.value(), 0, 1000);
        } else {
            fail("unknown flag \"" + cursor.given() + "\" (try --help)");
        }
    }
    settingsSwitches.finish();
    options.settings = choice.settings;
    options.seed = choice.seed;
    options.restartSeconds = choice.restartSeconds;
    if (options.every > options.frames) {
        fail("--every " + std::to_string(options.every) + " is more than --frames " +
             std::to_string(options.frames) + ": no frame would be written");
    }
    return options;
}
