#include "app/misto_options.h"

namespace {

constexpr std::int64_t kMaxFrames = 100000000;

}  // namespace

struct MistoLine {
    MistoOptions& options;
    bool root = false;
    bool fullScreen = false;
    bool windowIdGiven = false;
};

const SwitchRow<MistoLine> kMistoSwitches[11] = {
    {{"--fullscreen", "", kNoLow, kNoHigh, "",
      "every monitor, until a key, a button or a move of the mouse; a second one while one runs "
      "ends at once"},
     [](MistoLine& line, const Switch&, const std::string&) { line.fullScreen = true; }},
    {{"--wayland", "", kNoLow, kNoHigh, "",
      "--fullscreen on the Wayland display $WAYLAND_DISPLAY names, on a compositor with the "
      "layer shell (sway, Hyprland, KDE Plasma and others)"},
     [](MistoLine& line, const Switch&, const std::string&) {
         line.fullScreen = true;
         line.options.wayland = true;
     }},
    {{"--window-id", "ID", kNoLow, kNoHigh, "", "the window ID, in hex (0x...) or decimal"},
     [](MistoLine& line, const Switch& row, const std::string& text) {
         line.options.windowId = parseWindowId(text, row.name);
         line.windowIdGiven = true;
     }},
    {{"--root", "", kNoLow, kNoHigh, "", "the root window"},
     [](MistoLine& line, const Switch&, const std::string&) { line.root = true; }},
    {{"--window", "", kNoLow, kNoHigh, "",
      "a window of its own (the default); Escape or q closes it"},
     [](MistoLine& line, const Switch&, const std::string&) {
         line.root = false;
         line.fullScreen = false;
         line.options.wayland = false;
     }},
    {{"--delay", "MICROSECONDS", 0, 10000000, "20000", "between frames"},
     [](MistoLine& line, const Switch& row, const std::string& text) {
         line.options.delayMicroseconds = static_cast<std::int32_t>(integerSwitch(row, text));
     }},
    {{"--frames", "N", 1, kMaxFrames, "run on",
      "stop after N frames, leaving the last picture (on Wayland, on show until the run ends)"},
     [](MistoLine& line, const Switch& row, const std::string& text) {
         line.options.frames = static_cast<std::int32_t>(integerSwitch(row, text));
     }},
    {{"--no-shm", "", kNoLow, kNoHigh, "", "send pixels without shared memory"},
     [](MistoLine& line, const Switch&, const std::string&) { line.options.noShm = true; }},
    {{"--image", "FILE", kNoLow, kNoHigh, "",
      "the PNG, JPEG or BMP picture behind the rain in place of the desktop; on a handed window, "
      "only when no screenshot of the desktop comes with it (else the bundled picture)"},
     [](MistoLine& line, const Switch& row, const std::string& text) {
         if (text.empty()) failSwitch(std::string(row.name) + " wants a file name");
         line.options.image = text;
     }},
    {{"--help", "", kNoLow, kNoHigh, "", "this text"},
     [](MistoLine& line, const Switch&, const std::string&) { line.options.help = true; }},
    {{"--version", "", kNoLow, kNoHigh, "", "the version"},
     [](MistoLine& line, const Switch&, const std::string&) { line.options.version = true; }},
};

std::string mistoUsage(bool waylandHost) {
    auto of = [](const char* name) { return usageLines(findSwitch(kMistoSwitches, name)); };
    const std::string wayland =
        waylandHost
            ? "In a Wayland session ($WAYLAND_DISPLAY set, $DISPLAY too or not) --fullscreen\n"
              "rains on the Wayland display; the other places are X11's.\n"
            : "This misto was built without its Wayland host: --fullscreen rains on X11\n"
              "alone, through Xwayland in a Wayland session, and --wayland fails.\n";
    return "usage: misto [--window | --root | --window-id ID | --fullscreen] [OPTIONS]\n"
           "Rain on a window pane over the desktop, for X11 and Wayland.\n"
           "\n"
           "Where it draws (the first that applies):\n" +
           of("--fullscreen") + of("--wayland") + of("--window-id") +
           "  $XSCREENSAVER_WINDOW   the window a screen-saver host hands over (hex or decimal)\n" +
           of("--root") + of("--window") + wayland +
           "\n"
           "Drawing:\n" +
           of("--delay") + of("--frames") + of("--no-shm") + of("--image") +
           "\n"
           "Rain:\n" +
           usageOf(SettingsSwitches::kRows) + "\n" + of("--help") + of("--version") +
           "Switches take one dash or two (-root, --root) and a value as --density=20 too.\n"
           "SIGTERM ends it; SIGUSR1 starts the rain again on a dry pane.\n";
}

bool runsOnWayland(const MistoOptions& options, const char* waylandDisplay) {
    if (options.wayland) return true;
    return options.target == DrawTarget::FullScreen && waylandDisplay != nullptr &&
           waylandDisplay[0] != '\0';
}

std::uint64_t parseWindowId(const std::string& text, const std::string& what) {
    std::uint64_t id = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::size_t first = hex ? 2 : 0;
    bool good = text.size() > first && text.size() - first <= (hex ? 8 : 10);
    for (std::size_t i = first; good && i < text.size(); ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) good = false;
        id = id * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit < 0 ? 0 : digit);
    }
    // X resource ids have 29 bits; zero is no window.
    if (!good || id == 0 || id > 0x1FFFFFFFu) {
        failSwitch(what + " wants a window id in hex (0x...) or decimal, not \"" + text + "\"");
    }
    return id;
}

MistoOptions parseMistoOptions(const std::vector<std::string>& args, const char* hostWindow,
                               const FileReader& readFile) {
    MistoOptions options;
    MistoLine line{options};
    SettingsSwitches settingsSwitches(options.choice, OutOfRange::Bound, readFile);
    SwitchCursor cursor(args);
    while (cursor.next()) {
        if (settingsSwitches.take(cursor) || takeSwitch(kMistoSwitches, line, cursor)) continue;
        failSwitch("unknown switch \"" + cursor.given() + "\" (try --help)");
    }
    settingsSwitches.finish();

    if (line.fullScreen) {
        options.target = DrawTarget::FullScreen;
    } else if (line.windowIdGiven) {
        options.target = DrawTarget::GivenWindow;
    } else if (hostWindow != nullptr) {
        options.windowId = parseWindowId(hostWindow, "XSCREENSAVER_WINDOW");
        options.target = DrawTarget::GivenWindow;
    } else if (line.root) {
        options.target = DrawTarget::Root;
    }
    return options;
}
