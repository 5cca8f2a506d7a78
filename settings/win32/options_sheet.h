#pragma once

#include <windows.h>

// The modal "Misto Screen Saver Options" sheet with the pages "Rain" and "Display" over the
// process-wide settings; OK stores them for the current user, Cancel stores nothing.
namespace OptionsSheet {

void run(HWND owner);

}  // namespace OptionsSheet
