#include "foundation/win32/module_path.h"

#include <windows.h>

#include "foundation/win32/wide_text.h"

std::string modulePath() {
    // A module path may pass MAX_PATH; the buffer grows until the whole path fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], size);
        if (length < size) {
            path.resize(length);
            return toUtf8(path);
        }
        path.resize(path.size() * 2);
    }
}

std::string commandLineArguments() {
    const std::wstring line = GetCommandLineW();
    size_t at = 0;
    // The program's name: up to the closing quote when it is quoted, else up to a blank.
    if (!line.empty() && line[0] == L'"') {
        at = line.find(L'"', 1);
        at = at == std::wstring::npos ? line.size() : at + 1;
    } else {
        while (at < line.size() && line[at] != L' ' && line[at] != L'\t') ++at;
    }
    while (at < line.size() && (line[at] == L' ' || line[at] == L'\t')) ++at;
    return toUtf8(line.substr(at));
}
