#pragma once

#include <string>

// The programs carry paths and command lines as UTF-8; the wide Win32 calls take UTF-16. These
// two convert at that boundary, so that a path in any language keeps every character (the ANSI
// calls turn what the system code page lacks into "?").
std::wstring toWide(const std::string& utf8);
std::string toUtf8(const std::wstring& wide);
