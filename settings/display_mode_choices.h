#pragma once

#include <string>

#include "render/display_mode.h"

// The modes the Display page offers, in the order and wording it shows them.

// Sorts by width, then height, then depth, then refresh rate; equal modes keep their order.
// Empty slots, which no enumeration produces, go last.
void sortModes(DisplayModeList& modes);

// "800x600 16 bits 85Hz".
std::string modeText(const DisplayMode& mode);

// The index of the last mode equal to the stored one on all four values, or -1. Stored values
// outside the unsigned range (a damaged record) match nothing.
int storedModeIndex(const DisplayModeList& modes, int width, int height, int bits, int refresh);
