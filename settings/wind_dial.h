#pragma once

#include "foundation/pi.h"

// The geometry of the wind-direction control: a needle hanging from a hub on the top edge.
// Angles are radians in screen axes (x right, y down): 0 points left, pi/2 down, pi right.
namespace WindDial {

// The needle's direction until one is set, and the settings' default: 135 degrees.
constexpr float restingAngle = static_cast<float>(0.75 * kPi);

struct Point {
    int x;
    int y;
};

struct Needle {
    Point tip;
    Point firstBarb;
    Point secondBarb;
};

// The needle of length `height` at `angle`, each coordinate truncated toward zero.
Needle needle(int hubX, int hubY, int height, float angle);

// The hub's radius for a control `width` pixels wide.
int hubRadius(int width);

// The direction from the hub to the pointer at (x, y), kept within [minAngle, maxAngle]. A
// pointer above the hub snaps to the nearer end: above and to the right to the maximum, above
// and to the left or straight above to the minimum.
float angleFromPoint(int hubX, int hubY, int x, int y, float minAngle, float maxAngle);

// A stored direction as the control shows it: kept within the limits, as the sliders keep their
// values within their ranges; a direction that is not a number takes the resting one. Outside
// the limits the needle would be drawn nowhere, and OK would write the damaged value back.
float shownAngle(float stored, float minAngle, float maxAngle);

// The angle turned by `degrees` (negative: toward the left), kept within the limits.
float turned(float angle, int degrees, float minAngle, float maxAngle);

}  // namespace WindDial
