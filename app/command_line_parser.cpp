#include "app/command_line_parser.h"

#include <sstream>

void CommandLineParser::parse(const std::string& commandLine) {
    std::istringstream stream(commandLine);
    std::string token;
    while (stream >> token) {
        if (token[0] == '-' || token[0] == '/') {
            onSwitch(token.substr(1), stream);
        } else {
            onArgument(token, stream);
        }
    }
}
