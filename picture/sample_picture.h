#pragma once

#include <string>

// The pictures that come with the programs. Each is looked for where it is installed
// (PREFIX/share/misto/ for a program in PREFIX/bin, PREFIX/libexec/xscreensaver or
// PREFIX/lib/xscreensaver), then in the source tree: beside a build or dist folder's program,
// from the current folder, or where the sources were when this was compiled. The program's own
// place is read from /proc/self/exe where there is one, since a program started by its bare
// name through PATH (as xscreensaver starts its display modes) has no folder in argv[0].
// Throws PictureError when the picture is nowhere.

// The test card misto-render draws on by default: structure to see the refraction by (plasma,
// checkerboard, lines, a circle). tests/data/wallpaper.png in the sources.
std::string findSamplePicture(const char* argv0);

// The scene the X11 saver rains over when it has neither the desktop nor a picture of the
// user's: a lake at dusk (scripts/draw-wallpaper). Installed as share/misto/wallpaper.png.
std::string findScenePicture(const char* argv0);
