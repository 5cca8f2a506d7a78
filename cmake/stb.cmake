# stb's picture reader and writer are headers: found where pkg-config says, in an stb folder of
# the system's include folders (Debian, Ubuntu), or beside the other headers (Fedora, Arch).
# -DMISTO_STB_INCLUDE_DIR=... names the folder holding stb_image.h outright. The headers are
# the same for every target, so cross builds look in the build machine's folders too.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
    pkg_check_modules(PC_STB QUIET stb)
endif()
find_path(MISTO_STB_INCLUDE_DIR stb_image.h stb_image_write.h
          HINTS ${PC_STB_INCLUDE_DIRS} PATH_SUFFIXES stb NO_CMAKE_FIND_ROOT_PATH
          DOC "The folder holding stb_image.h and stb_image_write.h")
if(NOT MISTO_STB_INCLUDE_DIR)
    message(FATAL_ERROR "stb_image.h not found: install stb (Debian and Ubuntu: libstb-dev, "
                        "Fedora: stb_image-devel stb_image_write-devel, Arch: stb) or set "
                        "-DMISTO_STB_INCLUDE_DIR=<folder holding stb_image.h>")
endif()
