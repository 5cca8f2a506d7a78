#pragma once

// Xlib for the X11 saver's files, which include it only through here: X defines `None` as a
// macro, which breaks the core's enums of that name, so it becomes a constant. (RandR's headers
// declare a type `Picture` as the render tool's picture is named; they stay in x_monitors.cpp.)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/keysym.h>

constexpr XID XNone = None;
#undef None
