#include "tools/render/render_options.h"

#include <string>

namespace {

constexpr std::int64_t kMaxFrames = 100000000;

void setSize(RenderOptions& options, const Switch& row, const std::string& text) {
    const size_t x = text.find_first_of("xX");
    const bool shaped = x != std::string::npos && x > 0 && x + 1 < text.size();
    try {
        if (!shaped) throw SwitchError("");
        options.width = static_cast<std::int32_t>(integerSwitch(row, text.substr(0, x)));
        options.height = static_cast<std::int32_t>(integerSwitch(row, text.substr(x + 1)));
    } catch (const SwitchError&) {
        failSwitch(std::string(row.name) + " wants WIDTHxHEIGHT, each from " +
                   std::to_string(row.lo) + " to " + std::to_string(row.hi) +
                   " (like 1280x720), not \"" + text + "\"");
    }
}

}  // namespace

const SwitchRow<RenderOptions> kRenderSwitches[9] = {
    {{"--image", "FILE", kNoLow, kNoHigh, "the bundled picture", "the picture behind the rain"},
     [](RenderOptions& options, const Switch& row, const std::string& text) {
         if (text.empty()) failSwitch(std::string(row.name) + " wants a file name");
         options.image = text;
     }},
    {{"--size", "WxH", 1, 8192, "1280x720", "the frames' width and height, each"}, &setSize},
    {{"--bpp", "BITS", kNoLow, kNoHigh, "32", "bits a pixel: 16, 24 or 32"},
     [](RenderOptions& options, const Switch& row, const std::string& text) {
         if (text != "16" && text != "24" && text != "32") {
             failSwitch(std::string(row.name) + " wants 16, 24 or 32, not \"" + text + "\"");
         }
         options.bpp = std::stoi(text);
     }},
    {{"--frames", "N", 1, kMaxFrames, "300", "how many frames to draw"},
     [](RenderOptions& options, const Switch& row, const std::string& text) {
         options.frames = static_cast<std::int32_t>(integerSwitch(row, text));
     }},
    {{"--every", "K", 1, kMaxFrames, "300", "write frames K, 2K, ... N"},
     [](RenderOptions& options, const Switch& row, const std::string& text) {
         options.every = static_cast<std::int32_t>(integerSwitch(row, text));
     }},
    {{"--out", "DIR", kNoLow, kNoHigh, "out/render", "the folder of DIR/frame-NNNNN.png"},
     [](RenderOptions& options, const Switch& row, const std::string& text) {
         if (text.empty()) failSwitch(std::string(row.name) + " wants a folder name");
         options.out = text;
     }},
    {{"--bench", "", kNoLow, kNoHigh, "", "print the frames' times and the rain's figures"},
     [](RenderOptions& options, const Switch&, const std::string&) { options.bench = true; }},
    {{"--pace", "MS", 0, 1000, "0",
      "draw a frame every MS milliseconds, as a saver does, instead of at once"},
     [](RenderOptions& options, const Switch& row, const std::string& text) {
         options.paceMs = static_cast<std::int32_t>(integerSwitch(row, text));
     }},
    {{"--help", "", kNoLow, kNoHigh, "", "this text"},
     [](RenderOptions& options, const Switch&, const std::string&) { options.help = true; }},
};

std::string renderUsage() {
    return "usage: misto-render [OPTIONS]\n"
           "Renders the rain over a picture into DIR/frame-NNNNN.png.\n"
           "\n" +
           usageOf(kRenderSwitches) + "\n" + usageOf(SettingsSwitches::kRows) +
           "Flags are read left to right: a flag after --config overrides that field of the "
           "file.\n";
}

RenderOptions parseRenderOptions(const std::vector<std::string>& args, const FileReader& readFile) {
    RenderOptions options;
    SettingsChoice choice;
    SettingsSwitches settingsSwitches(choice, OutOfRange::Refuse, readFile);
    SwitchCursor cursor(args);
    while (cursor.next()) {
        if (settingsSwitches.take(cursor) || takeSwitch(kRenderSwitches, options, cursor)) continue;
        failSwitch("unknown flag \"" + cursor.given() + "\" (try --help)");
    }
    settingsSwitches.finish();
    options.settings = choice.settings;
    options.seed = choice.seed;
    options.restartSeconds = choice.restartSeconds;
    if (options.every > options.frames) {
        failSwitch("--every " + std::to_string(options.every) + " is more than --frames " +
                   std::to_string(options.frames) + ": no frame would be written");
    }
    return options;
}
