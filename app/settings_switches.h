#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/basic_error.h"
#include "settings/saver_settings.h"

// The command-line switches of the settings record, shared by every program that rains on
// Linux (misto-render, misto): the same names, ranges and defaults in each.

// A switch the program cannot take, or a configuration file it cannot use. The text is finished
// and names the switch or the file.
class SwitchError : public BasicError {
  public:
    using BasicError::BasicError;
};

// Reads a configuration file; throws SwitchError naming the file when it cannot be read.
using FileReader = std::function<std::vector<std::uint8_t>(const std::string& path)>;
// The real reader: regular files only (a FIFO or a device is refused, never waited on), at most
// their first MiB.
std::vector<std::uint8_t> readWholeFile(const std::string& path);

// Walks a command line's switches left to right. A switch may be written with one dash or two
// (-root, --root) and may carry its value after '=' (--density=20).
class SwitchCursor {
  public:
    explicit SwitchCursor(const std::vector<std::string>& args) : args_(args) {}

    // Moves to the next switch; false after the last one.
    bool next();
    // The switch, always with two dashes ("--root"), or the argument as given when it is no
    // switch at all.
    const std::string& name() const { return name_; }
    const std::string& given() const { return args_[at_]; }
    // The switch's value: after '=' or the next argument; throws when there is none.
    const std::string& value();
    // Throws when the switch was given a value after '='.
    void noValue() const;

  private:
    const std::vector<std::string>& args_;
    std::size_t at_ = 0;
    bool started_ = false;
    std::string name_;
    std::string value_;
    bool inlineValue_ = false;
};

// A whole number in [lo, hi] for `flag`, or a SwitchError naming the flag and the range.
std::int32_t integerSwitch(const std::string& flag, const std::string& text, std::int32_t lo,
                           std::int32_t hi);

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

    // The usage lines of these switches, for --help.
    static const char* const kUsage;

  private:
    std::int32_t integer(const std::string& flag, const std::string& text, std::int32_t lo,
                         std::int32_t hi) const;
    float degrees(const std::string& flag, const std::string& text) const;
    std::int32_t restartSeconds(const std::string& text) const;

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
