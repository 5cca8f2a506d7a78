#pragma once

#include <string>

// What the user's xscreensaver preferences (~/.xscreensaver) say about the picture a screen
// saver may show: the desktop, or pictures from a folder of theirs.
struct ImagePreferences {
    // False only when grabDesktopImages is False.
    bool desktopImages = true;
    // The folder to choose a picture from, "~/" expanded; empty when chooseRandomImages is
    // False or no imageDirectory is set.
    std::string imageFolder;
};

// Reads the preferences file's text; `home` expands a leading "~". Names are matched without
// regard to case, and the last line setting a name wins, as in any resource file.
ImagePreferences imagePreferences(const std::string& preferences, const std::string& home);
