#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/saver_settings.h"
#include "settings/settings_switches.h"

// What one run of misto-render does, as given on its command line.
struct RenderOptions {
    std::string image;  // empty: the bundled sample picture
    std::int32_t width = 1280;
    std::int32_t height = 720;
    std::int32_t bpp = 32;
    std::int32_t frames = 300;
    std::int32_t every = 300;
    std::uint32_t seed = 1;
    SaverSettings settings;
    // Seconds between restarts of the rain; negative: never.
    std::int32_t restartSeconds = -1;
    std::string out = "out/render";
    bool bench = false;
    // Milliseconds from one frame's start to the next; 0: no waiting. A frame drawn after a wait
    // starts with colder caches than one drawn straight after another, as in a saver.
    std::int32_t paceMs = 0;
    bool help = false;
};

// A flag the program cannot take, or a configuration file it cannot use.
using RenderOptionsError = SwitchError;

// Parses the arguments after the program name, left to right, so a flag given after --config
// overrides that one field of the file's settings.
RenderOptions parseRenderOptions(const std::vector<std::string>& args,
                                 const FileReader& readFile = readWholeFile);

// misto-render's own switches, beside the settings' (SettingsSwitches::kRows).
extern const SwitchRow<RenderOptions> kRenderSwitches[9];

// The text of --help.
std::string renderUsage();
