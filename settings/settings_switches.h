#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/saver_settings.h"
#include "settings/switch_table.h"

// The command-line switches of the settings record, shared by every program that rains on
// Linux (misto-render, misto): the same names, ranges and defaults in each.

// Reads a configuration file; throws SwitchError naming the file when it cannot be read.
using FileReader = std::function<std::vector<std::uint8_t>(const std::string& path)>;
// The real reader: regular files only (a FIFO or a device is refused, never waited on), at most
// their first MiB.
std::vector<std::uint8_t> readWholeFile(const std::string& path);

// What the settings switches set.
struct SettingsChoice {
    SaverSettings settings;
    // Seconds between restarts of the rain; negative: never.
    std::int32_t restartSeconds = -1;
    std::uint32_t seed = 1;
};

// The settings with the restart given in seconds (negative: never) in place of the stored one.
SaverSettings settingsWithRestart(const SaverSettings& settings, std::int32_t restartSeconds);

// What a well-formed number outside a setting's range does: misto-render refuses it; the saver
// bounds it to the range as it bounds a stored record, since its hosts' sliders may disagree.
enum class OutOfRange { Refuse, Bound };

class SettingsSwitches {
  public:
    SettingsSwitches(SettingsChoice& choice, OutOfRange outOfRange,
                     const FileReader& readFile = readWholeFile);

    // Takes the cursor's switch when it is one of the settings; false when it is not.
    bool take(SwitchCursor& cursor);
    // After the last switch: the radii given are applied, keeping the end not given.
    void finish();

    // The settings' switches, in the order --help lists them.
    static const SwitchRow<SettingsSwitches> kRows[8];

  private:
    std::int32_t integer(const Switch& row, const std::string& text) const;

    static void setDensity(SettingsSwitches& to, const Switch& row, const std::string& text);
    static void setWindForce(SettingsSwitches& to, const Switch& row, const std::string& text);
    static void setWindDirection(SettingsSwitches& to, const Switch& row, const std::string& text);
    static void setMinRadius(SettingsSwitches& to, const Switch& row, const std::string& text);
    static void setMaxRadius(SettingsSwitches& to, const Switch& row, const std::string& text);
    static void setRestart(SettingsSwitches& to, const Switch& row, const std::string& text);
    static void setSeed(SettingsSwitches& to, const Switch& row, const std::string& text);
    static void setConfig(SettingsSwitches& to, const Switch& row, const std::string& text);

    SettingsChoice& choice_;
    OutOfRange outOfRange_;
    FileReader readFile_;
    std::int32_t minRadius_;
    std::int32_t maxRadius_;
    bool radiusGiven_ = false;
};

// The restart period of a stored configuration in whole seconds, or -1 when it is switched off;
// wild stored values are bounded to a second at least and a day at most.
std::int32_t configuredRestartSeconds(const SaverSettings& settings);
