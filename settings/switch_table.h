#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/basic_error.h"

// The tables of command-line switches: each row names a switch, its range, its default and its
// help, and sets what it is for. Parsing, --help and the checks of the man page and the settings
// dialog's file all read the same rows.

// A switch the program cannot take, or a file it cannot use. The text is finished and names the
// switch or the file.
class SwitchError : public BasicError {
  public:
    using BasicError::BasicError;
};

// Throws the SwitchError every refused switch ends in.
[[noreturn]] void failSwitch(const std::string& text);

// What a switch is, as the help, the man page and the settings dialog show it.
struct Switch {
    const char* name;   // with two dashes: "--density"
    const char* value;  // what follows it in --help ("D"); empty: it takes no value
    std::int64_t lo;    // the whole numbers it takes, lo to hi; lo > hi: no such range
    std::int64_t hi;
    const char* byDefault;  // a value it takes ("25") or words ("never"); empty: none to tell
    const char* help;       // one line, without the range or the default: --help adds those
};

constexpr std::int64_t kNoLow = 1;
constexpr std::int64_t kNoHigh = 0;

inline bool hasRange(const Switch& s) { return s.lo <= s.hi; }

// A switch and what it sets in a `Target` from its value ("" for a switch without one).
template <typename Target>
struct SwitchRow : Switch {
    void (*set)(Target& target, const Switch& row, const std::string& value);
};

// Walks a command line's switches left to right. A switch may be written with one dash or two
// (-root, --root) and may carry its value after '=' (--density=20).
class SwitchCursor {
  public:
    explicit SwitchCursor(const std::vector<std::string>& args) : args_(args) {}

    // Moves to the next switch; false after the last one.
    bool next();
    // The switch, always with two dashes ("--root"; -h is --help), or the argument as given when
    // it is no switch at all.
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

// The cursor's switch set by its row in `rows`; false when no row names it.
template <typename Target, std::size_t N>
bool takeSwitch(const SwitchRow<Target> (&rows)[N], Target& target, SwitchCursor& cursor) {
    for (const SwitchRow<Target>& row : rows) {
        if (cursor.name() != row.name) continue;
        if (row.value[0] == '\0') {
            cursor.noValue();
            row.set(target, row, "");
        } else {
            row.set(target, row, cursor.value());
        }
        return true;
    }
    return false;
}

// Strict decimal: digits only (after an optional sign when allowed), no spaces, no overflow past
// `limit`.
bool parseInteger(const std::string& text, bool allowSign, std::int64_t limit, std::int64_t& value);

// A whole number in the switch's range, or a SwitchError naming the switch and the range.
std::int64_t integerSwitch(const Switch& s, const std::string& text);
// The refusal of a malformed or out-of-range number, naming the switch and its range.
[[noreturn]] void failRange(const Switch& s, const std::string& text);

// The switch's lines in --help: the name and value, the help, the range and the default.
std::string usageLines(const Switch& s);

template <typename Target, std::size_t N>
std::string usageOf(const SwitchRow<Target> (&rows)[N]) {
    std::string text;
    for (const SwitchRow<Target>& row : rows) text += usageLines(row);
    return text;
}

// The row of `rows` named `name`; the first row when none is (a caller's typo shows in --help).
template <typename Target, std::size_t N>
const SwitchRow<Target>& findSwitch(const SwitchRow<Target> (&rows)[N], const std::string& name) {
    for (const SwitchRow<Target>& row : rows) {
        if (name == row.name) return row;
    }
    return rows[0];
}
