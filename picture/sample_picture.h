#pragma once

#include <string>

// The bundled picture the rain falls on when no other is given: installed beside the program
// (PREFIX/share/misto/wallpaper.png for PREFIX/bin or PREFIX/libexec/xscreensaver), in a build
// or dist folder of the repository, in the current folder, or where the sources were when this
// was compiled. Throws PictureError when there is none.
std::string findSamplePicture(const char* argv0);
