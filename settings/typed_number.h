#pragma once

#include <optional>
#include <string>

// A count typed into an edit field: decimal digits, blanks allowed around them. Anything else,
// an empty field, or a number too large for the signed 32-bit field it is stored in gives none,
// so a huge number is refused like a word instead of turning negative in the settings.
std::optional<int> typedCount(const std::string& text);
