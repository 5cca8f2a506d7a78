#pragma once

#include <string>

// Windows paths as the programs build them, without the platform. Paths are UTF-8: no byte of
// a character outside ASCII is a backslash, so a split never falls inside a character (as it
// would in a double-byte code page, whose second bytes may be one).

// `directory` and `name` joined by one backslash; none is added when the directory already ends
// with one (a drive root or a module directory), and an empty directory gives the name alone.
std::string joinPath(const std::string& directory, const std::string& name);

// The drive and directory of a file path, ending with its backslash; empty when there is none.
std::string directoryOf(const std::string& filePath);
