#include "settings/wind_dial.h"

#include <cmath>

namespace WindDial {

namespace {

Point place(int hubX, int hubY, double x, double y, double cosine, double sine) {
    return Point{static_cast<int>(hubX - (x * cosine - y * sine)),
                 static_cast<int>(hubY + (x * sine + y * cosine))};
}

float clamped(float angle, float minAngle, float maxAngle) {
    if (angle > maxAngle) return maxAngle;
    if (angle < minAngle) return minAngle;
    return angle;
}

}  // namespace

Needle needle(int hubX, int hubY, int height, float angle) {
    const double cosine = std::cos(static_cast<double>(angle));
    const double sine = std::sin(static_cast<double>(angle));
    const double h = height;
    return Needle{place(hubX, hubY, h, 0.0, cosine, sine),
                  place(hubX, hubY, 0.8 * h, -0.05 * h, cosine, sine),
                  place(hubX, hubY, 0.8 * h, 0.05 * h, cosine, sine)};
}

int hubRadius(int width) { return static_cast<int>(width * 0.1); }

float angleFromPoint(int hubX, int hubY, int x, int y, float minAngle, float maxAngle) {
    const int dx = hubX - x;
    const int dy = y - hubY;
    // Straight below (or on) the hub atan2 would be exact anyway; straight above it is the
    // upper-left case and goes to the minimum below.
    const float angle = dx == 0 && dy >= 0
                            ? static_cast<float>(kPi / 2)
                            : static_cast<float>(std::atan2(static_cast<double>(dy), dx));
    if (angle > maxAngle) return maxAngle;
    if (angle < static_cast<float>(-kPi / 2)) return maxAngle;
    if (angle < minAngle) return minAngle;
    return angle;
}

float shownAngle(float stored, float minAngle, float maxAngle) {
    if (std::isnan(stored)) return clamped(restingAngle, minAngle, maxAngle);
    return clamped(stored, minAngle, maxAngle);
}

float turned(float angle, int degrees, float minAngle, float maxAngle) {
    // A stored direction outside the limits comes back inside at the first key.
    if (std::isnan(angle)) angle = minAngle;
    return clamped(static_cast<float>(angle + degrees * kPi / 180.0), minAngle, maxAngle);
}

}  // namespace WindDial
