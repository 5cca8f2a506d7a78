#pragma once

#include <cstdint>

// Ends the saver on a real mouse movement: the first position seen is the reference (the system
// often sends a move when the saver starts); later, more than 2 pixels away on either axis
// ends the run. The reference is never moved, so a slow drift still ends it.
class MouseRule {
  public:
    // Answers true when the move at (x, y) must end the saver.
    bool moved(std::uint16_t x, std::uint16_t y) {
        if (first_) {
            first_ = false;
            x0_ = x;
            y0_ = y;
            return false;
        }
        return distance(x, x0_) > 2 || distance(y, y0_) > 2;
    }

  private:
    static int distance(std::uint16_t a, std::uint16_t b) { return a > b ? a - b : b - a; }

    bool first_ = true;
    std::uint16_t x0_ = 0;
    std::uint16_t y0_ = 0;
};
