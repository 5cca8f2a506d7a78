#include "settings/wind_dial.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const float minAngle = static_cast<float>(kPi / 36);
const float maxAngle = static_cast<float>(35 * kPi / 36);

}  // namespace

TEST(WindDial, NeedleStraightDownTruncatesTheFloatAngleTowardZero) {
    const auto n = WindDial::needle(50, 0, 40, static_cast<float>(kPi / 2));
    EXPECT_EQ(50, n.tip.x);
    EXPECT_EQ(39, n.tip.y);
    EXPECT_EQ(48, n.firstBarb.x);
    EXPECT_EQ(32, n.firstBarb.y);
    EXPECT_EQ(52, n.secondBarb.x);
    EXPECT_EQ(31, n.secondBarb.y);
}

TEST(WindDial, NeedleAtTheEndsPointsLeftAndRight) {
    // Angle 0 points left of the hub, pi right; truncation toward zero, not down, on negatives.
    const auto left = WindDial::needle(50, 0, 40, 0.0f);
    EXPECT_EQ(10, left.tip.x);
    EXPECT_EQ(0, left.tip.y);
    EXPECT_EQ(-2, left.firstBarb.y);
    EXPECT_EQ(2, left.secondBarb.y);
    // float(pi) lies just past pi, so the tip falls just short of 90 and truncates to 89.
    const auto right = WindDial::needle(50, 0, 40, static_cast<float>(kPi));
    EXPECT_EQ(89, right.tip.x);
    EXPECT_EQ(0, right.tip.y);
}

TEST(WindDial, HubRadiusIsATenthOfTheWidthTruncated) {
    EXPECT_EQ(10, WindDial::hubRadius(100));
    EXPECT_EQ(9, WindDial::hubRadius(99));
    EXPECT_EQ(0, WindDial::hubRadius(9));
}

TEST(WindDial, AngleFromPointCoversEveryClampingBranch) {
    using WindDial::angleFromPoint;
    // Straight below the hub, and on it: exactly float(pi/2).
    EXPECT_EQ(static_cast<float>(kPi / 2), angleFromPoint(50, 0, 50, 27, minAngle, maxAngle));
    EXPECT_EQ(static_cast<float>(kPi / 2), angleFromPoint(50, 0, 50, 0, minAngle, maxAngle));
    // Level with the hub on the left: 0, raised to the minimum; on the right: pi, cut to the
    // maximum.
    EXPECT_EQ(minAngle, angleFromPoint(50, 0, 1, 0, minAngle, maxAngle));
    EXPECT_EQ(maxAngle, angleFromPoint(50, 0, 99, 0, minAngle, maxAngle));
    // Above (negative while the mouse is captured): left and straight up to the minimum, right
    // to the maximum.
    EXPECT_EQ(minAngle, angleFromPoint(50, 0, 10, -30, minAngle, maxAngle));
    EXPECT_EQ(minAngle, angleFromPoint(50, 0, 50, -30, minAngle, maxAngle));
    EXPECT_EQ(maxAngle, angleFromPoint(50, 0, 90, -30, minAngle, maxAngle));
    // Inside the limits the direction is kept as atan2 gives it.
    EXPECT_EQ(static_cast<float>(std::atan2(20.0, 20.0)),
              angleFromPoint(50, 0, 30, 20, minAngle, maxAngle));
    EXPECT_EQ(static_cast<float>(std::atan2(20.0, -10.0)),
              angleFromPoint(50, 0, 60, 20, minAngle, maxAngle));
}

TEST(WindDial, KeysTurnByDegreesWithinTheLimits) {
    const float down = static_cast<float>(kPi / 2);
    EXPECT_FLOAT_EQ(static_cast<float>(95 * kPi / 180),
                    WindDial::turned(down, 5, minAngle, maxAngle));
    EXPECT_FLOAT_EQ(static_cast<float>(85 * kPi / 180),
                    WindDial::turned(down, -5, minAngle, maxAngle));
    EXPECT_EQ(maxAngle, WindDial::turned(maxAngle, 5, minAngle, maxAngle));
    EXPECT_EQ(minAngle, WindDial::turned(minAngle + 0.01f, -5, minAngle, maxAngle));
    // A damaged stored direction comes back inside the limits.
    EXPECT_EQ(minAngle, WindDial::turned(std::nanf(""), -5, minAngle, maxAngle));
    EXPECT_EQ(maxAngle, WindDial::turned(100.0f, -5, minAngle, maxAngle));
}

TEST(WindDial, AStoredDirectionIsShownWithinTheLimits) {
    using WindDial::shownAngle;
    const float down = static_cast<float>(kPi / 2);
    EXPECT_EQ(down, shownAngle(down, minAngle, maxAngle));
    EXPECT_EQ(minAngle, shownAngle(minAngle, minAngle, maxAngle));
    // 4 radians (229 degrees) and the ends of the float range come back to the nearer limit.
    EXPECT_EQ(maxAngle, shownAngle(4.0f, minAngle, maxAngle));
    EXPECT_EQ(minAngle, shownAngle(-0.5f, minAngle, maxAngle));
    EXPECT_EQ(maxAngle, shownAngle(INFINITY, minAngle, maxAngle));
    EXPECT_EQ(minAngle, shownAngle(-INFINITY, minAngle, maxAngle));
    // Not a number: the settings' default, 135 degrees.
    EXPECT_EQ(static_cast<float>(0.75 * kPi), shownAngle(std::nanf(""), minAngle, maxAngle));
}
