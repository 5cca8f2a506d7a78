#pragma once

#include <string>

// The installer's error box: no owner, caption "Error" (string 1000), the error icon.
void showInstallerError(const std::string& text);
