#include "app/xscreensaver_preferences.h"

#include <cctype>
#include <sstream>

namespace {

std::string trimmed(const std::string& text) {
    std::size_t a = 0;
    std::size_t b = text.size();
    while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
    return text.substr(a, b - a);
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

bool desktopImagesAllowed(const std::string& preferences) {
    std::istringstream lines(preferences);
    std::string line;
    bool allowed = true;
    while (std::getline(lines, line)) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        if (lower(trimmed(line.substr(0, colon))) != "grabdesktopimages") continue;
        // The last setting wins, as in any resource file.
        const std::string value = lower(trimmed(line.substr(colon + 1)));
        allowed = !(value == "false" || value == "off" || value == "no");
    }
    return allowed;
}
