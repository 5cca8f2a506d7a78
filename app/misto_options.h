#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings_switches.h"

// Where the X11 saver draws.
enum class DrawTarget {
    OwnWindow,    // a normal window of its own (started by hand)
    Root,         // the root window
    GivenWindow,  // a window its host made (--window-id or $XSCREENSAVER_WINDOW)
    FullScreen,   // windows of its own over every monitor, ended by the user's input
};

// What one run of misto does, as given on its command line.
struct MistoOptions {
    DrawTarget target = DrawTarget::OwnWindow;
    std::uint64_t windowId = 0;  // with DrawTarget::GivenWindow
    std::int32_t delayMicroseconds = 20000;
    bool noShm = false;
    bool wayland = false;     // --wayland: full screen through the Wayland host, whatever is set
    std::int32_t frames = 0;  // 0: until ended; else stop after this many, leaving the picture
    std::string image;        // empty: the desktop, else the bundled picture
    SettingsChoice choice;
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name. `hostWindow` is $XSCREENSAVER_WINDOW or null;
// it is used only when no --window-id is given and must then name a window id.
MistoOptions parseMistoOptions(const std::vector<std::string>& args, const char* hostWindow,
                               const FileReader& readFile = readWholeFile);

// A window id in hex (0x...) or decimal, as xscreensaver and xsecurelock pass them; throws
// SwitchError naming `what` for anything else.
std::uint64_t parseWindowId(const std::string& text, const std::string& what);

// What misto's own switches set while its command line is read.
struct MistoLine;
// misto's own switches, beside the settings' (SettingsSwitches::kRows).
extern const SwitchRow<MistoLine> kMistoSwitches[11];

// Whether the run goes to the Wayland host: --wayland asks for it, and --fullscreen in a
// Wayland session (`waylandDisplay`, $WAYLAND_DISPLAY, set and not empty) takes it, since a
// Wayland compositor shows X11 windows only below its own layers and keeps the keyboard.
bool runsOnWayland(const MistoOptions& options, const char* waylandDisplay);

// The text of --help; `waylandHost`: whether misto-wayland was built beside this misto.
std::string mistoUsage(bool waylandHost);
