#include "foundation/callback_errors.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(CallbackErrors, TheFirstErrorIsKeptAndNothingRunsUntilItIsRethrown) {
    EXPECT_TRUE(CallbackErrors::guard([] {}));
    EXPECT_FALSE(CallbackErrors::pending());

    EXPECT_FALSE(CallbackErrors::guard([] { throw std::runtime_error("first"); }));
    EXPECT_TRUE(CallbackErrors::pending());
    bool ran = false;
    EXPECT_FALSE(CallbackErrors::guard([&] { ran = true; }));
    EXPECT_FALSE(ran) << "a failed loop does no more work";
    CallbackErrors::keep(std::make_exception_ptr(std::runtime_error("second")));

    try {
        CallbackErrors::rethrowPending();
        ADD_FAILURE() << "nothing was rethrown";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "first");
    }
    EXPECT_FALSE(CallbackErrors::pending());
    EXPECT_NO_THROW(CallbackErrors::rethrowPending());
    EXPECT_TRUE(CallbackErrors::guard([&] { ran = true; }));
    EXPECT_TRUE(ran);
}
