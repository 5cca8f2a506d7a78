#pragma once

#include <cstdint>

#include "picture/picture.h"

// Scales to width x height: an area average where a side shrinks, a linear blend where it
// grows. Integer arithmetic only, so every build gives the same bytes.
Picture scalePicture(const Picture& source, std::int32_t width, std::int32_t height);
