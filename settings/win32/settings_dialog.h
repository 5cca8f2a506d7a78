#pragma once

#include <windows.h>

// The "Settings" dialog of configure mode: the product banner, "Options..." and "Close".
namespace SettingsDialog {

// Runs the dialog modally; `owner` may be null.
void show(HWND owner);

}  // namespace SettingsDialog
