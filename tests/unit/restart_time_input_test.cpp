#include "settings/restart_time_input.h"

#include <gtest/gtest.h>

using RestartTimeInput::Refused;
using RestartTimeInput::refusedField;

TEST(RestartTimeInput, RefusesTheFirstFieldThatCannotBeKeptOrThatWouldWipeEveryFrame) {
    // Any count that fits the stored field is kept, within the spinners' ranges or not.
    EXPECT_EQ(Refused::Nothing, refusedField("2", "30", true));
    EXPECT_EQ(Refused::Nothing, refusedField("40000", "0", true));
    EXPECT_EQ(Refused::Nothing, refusedField("2147483647", "2147483647", true));
    EXPECT_EQ(Refused::Nothing, refusedField("0", "1", true));
    EXPECT_EQ(Refused::Nothing, refusedField("1", "0", true));
    // Minutes are looked at first, and both fields even while restarting is off.
    EXPECT_EQ(Refused::Minutes, refusedField("", "", false));
    EXPECT_EQ(Refused::Minutes, refusedField("-5", "30", true));
    EXPECT_EQ(Refused::Minutes, refusedField("2147483648", "30", false));
    EXPECT_EQ(Refused::Seconds, refusedField("2", "x", false));
    // No time at all: refused on the seconds while restarting is on, unused and kept while off.
    EXPECT_EQ(Refused::Seconds, refusedField("0", "0", true));
    EXPECT_EQ(Refused::Seconds, refusedField(" 00 ", "0", true));
    EXPECT_EQ(Refused::Nothing, refusedField("0", "0", false));
}
