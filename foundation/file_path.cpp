#include "foundation/file_path.h"

std::string joinPath(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == '\\' || directory.back() == '/') {
        return directory + name;
    }
    return directory + "\\" + name;
}

std::string directoryOf(const std::string& filePath) {
    const std::string::size_type slash = filePath.find_last_of("\\/");
    if (slash != std::string::npos) return filePath.substr(0, slash + 1);
    // "C:misto.scr" names the current directory of drive C.
    if (filePath.size() >= 2 && filePath[1] == ':') return filePath.substr(0, 2);
    return std::string();
}
