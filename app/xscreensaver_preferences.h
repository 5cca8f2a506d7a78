#pragma once

#include <string>

// Whether the user lets screen savers show the desktop: false only when the preferences file's
// text (~/.xscreensaver) sets grabDesktopImages to False.
bool desktopImagesAllowed(const std::string& preferences);
