#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/basic_error.h"
#include "settings/saver_settings.h"

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
    bool help = false;
};

// A flag the program cannot take, or a configuration file it cannot use. The text is finished
// and names the flag or the file.
class RenderOptionsError : public BasicError {
  public:
    using BasicError::BasicError;
};

// Reads a whole file; throws RenderOptionsError naming the file when it cannot be read.
using FileReader = std::function<std::vector<std::uint8_t>(const std::string& path)>;

std::vector<std::uint8_t> readWholeFile(const std::string& path);

// Parses the arguments after the program name, left to right, so a flag given after --config
// overrides that one field of the file's settings.
RenderOptions parseRenderOptions(const std::vector<std::string>& args,
                                 const FileReader& readFile = readWholeFile);

// The restart period of a stored configuration in whole seconds, or -1 when it is switched off;
// wild stored values are bounded to a day.
std::int32_t configuredRestartSeconds(const SaverSettings& settings);

extern const char* const kRenderUsage;
