#include "app/misto_options.h"

const char* const kMistoUsage =
    "usage: misto [--window | --root | --window-id ID | --fullscreen] [OPTIONS]\n"
    "Rain on a window pane over the desktop, for X11.\n"
    "\n"
    "Where it draws (the first that applies):\n"
    "  --fullscreen           every monitor, until a key, a button or a move of the mouse;\n"
    "                         a second one while one runs ends at once\n"
    "  --window-id ID         the window ID, in hex (0x...) or decimal\n"
    "  $XSCREENSAVER_WINDOW   the window a screen-saver host hands over (hex or decimal)\n"
    "  --root                 the root window\n"
    "  --window               a window of its own (the default); Escape or q closes it\n"
    "\n"
    "Drawing:\n"
    "  --delay MICROSECONDS   between frames, 0 to 10000000 (default 20000)\n"
    "  --frames N             stop after N frames, leaving the last picture (default: run on)\n"
    "  --no-shm               send pixels without shared memory\n"
    "  --image FILE           the PNG, JPEG or BMP picture behind the rain in place of the\n"
    "                         desktop; on a handed window, only when no screenshot of the\n"
    "                         desktop comes with it (else the bundled picture)\n"
    "\n"
    "Rain:\n"
    "%s"
    "\n"
    "  --help                 this text\n"
    "  --version              the version\n"
    "Switches take one dash or two (-root, --root) and a value as --density=20 too.\n"
    "SIGTERM ends it; SIGUSR1 starts the rain again on a dry pane.\n";

namespace {

constexpr std::int32_t kMaxDelay = 10000000;
constexpr std::int32_t kMaxFrames = 100000000;

[[noreturn]] void fail(const std::string& text) { throw SwitchError(text); }

}  // namespace

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
        fail(what + " wants a window id in hex (0x...) or decimal, not \"" + text + "\"");
    }
    return id;
}

MistoOptions parseMistoOptions(const std::vector<std::string>& args, const char* hostWindow,
                               const FileReader& readFile) {
    MistoOptions options;
    SettingsSwitches settingsSwitches(options.choice, OutOfRange::Bound, readFile);
    bool root = false;
    bool fullScreen = false;
    bool windowIdGiven = false;
    SwitchCursor cursor(args);
    while (cursor.next()) {
        const std::string& flag = cursor.name();
        if (settingsSwitches.take(cursor)) continue;
        if (flag == "--help" || flag == "-h") {
            cursor.noValue();
            options.help = true;
        } else if (flag == "--version") {
            cursor.noValue();
            options.version = true;
        } else if (flag == "--window") {
            cursor.noValue();
            root = false;
            fullScreen = false;
        } else if (flag == "--root") {
            cursor.noValue();
            root = true;
        } else if (flag == "--fullscreen") {
            cursor.noValue();
            fullScreen = true;
        } else if (flag == "--no-shm") {
            cursor.noValue();
            options.noShm = true;
        } else if (flag == "--window-id") {
            options.windowId = parseWindowId(cursor.value(), "--window-id");
            windowIdGiven = true;
        } else if (flag == "--delay") {
            options.delayMicroseconds = integerSwitch(flag, cursor.value(), 0, kMaxDelay);
        } else if (flag == "--frames") {
            options.frames = integerSwitch(flag, cursor.value(), 1, kMaxFrames);
        } else if (flag == "--image") {
            options.image = cursor.value();
            if (options.image.empty()) fail("--image wants a file name");
        } else {
            fail("unknown switch \"" + cursor.given() + "\" (try --help)");
        }
    }
    settingsSwitches.finish();

    if (fullScreen) {
        options.target = DrawTarget::FullScreen;
    } else if (windowIdGiven) {
        options.target = DrawTarget::GivenWindow;
    } else if (hostWindow != nullptr) {
        options.windowId = parseWindowId(hostWindow, "XSCREENSAVER_WINDOW");
        options.target = DrawTarget::GivenWindow;
    } else if (root) {
        options.target = DrawTarget::Root;
    }
    return options;
}
