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

bool isFalse(const std::string& value) {
    const std::string v = lower(value);
    return v == "false" || v == "off" || v == "no";
}

}  // namespace

ImagePreferences imagePreferences(const std::string& preferences, const std::string& home) {
    std::istringstream lines(preferences);
    std::string line;
    ImagePreferences found;
    // xscreensaver's own default lets its programs choose pictures from the folder.
    bool randomImages = true;
    std::string folder;
    while (std::getline(lines, line)) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string name = lower(trimmed(line.substr(0, colon)));
        const std::string value = trimmed(line.substr(colon + 1));
        if (name == "grabdesktopimages") {
            found.desktopImages = !isFalse(value);
        } else if (name == "chooserandomimages") {
            randomImages = !isFalse(value);
        } else if (name == "imagedirectory") {
            folder = value;
        }
    }
    if (folder.size() >= 2 && folder[0] == '"' && folder.back() == '"') {
        folder = folder.substr(1, folder.size() - 2);
    }
    if (!folder.empty() && folder[0] == '~' && (folder.size() == 1 || folder[1] == '/')) {
        folder = home + folder.substr(1);
    }
    if (randomImages) found.imageFolder = folder;
    return found;
}
