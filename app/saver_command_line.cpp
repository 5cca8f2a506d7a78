#include "app/saver_command_line.h"

#include <cstdlib>
#include <sstream>

namespace {

// A path in double quotes, blanks included; anything else gives an empty path (its first
// character is consumed).
std::string readQuotedPath(std::istream& rest) {
    char c = 0;
    if (!(rest >> c) || c != '"') return std::string();
    std::string path;
    while (rest.get(c) && c != '"') path += c;
    return path;
}

}  // namespace

void SaverCommandLine::onSwitch(const std::string& word, std::istream& rest) {
    if (word == "s" || word == "S") {
        mode_ = SaverMode::Saver;
        return;
    }
    if (word == "p" || word == "P") {
        mode_ = SaverMode::Preview;
        std::string number;
        if (!(rest >> number)) number.clear();
        windowHandle_ = std::atoi(number.c_str());
        return;
    }
    if (!word.empty() && (word[0] == 'c' || word[0] == 'C')) {
        mode_ = SaverMode::Configure;
        windowHandle_ = std::atoi(word.size() > 2 ? word.c_str() + 2 : "");
        return;
    }
    if (word == "uninstall") {
        mode_ = SaverMode::Uninstall;
    } else if (word == "kill") {
        mode_ = SaverMode::Kill;
        victimPath_ = readQuotedPath(rest);
    } else if (word == "quiet") {
        quiet_ = true;
    }
}
