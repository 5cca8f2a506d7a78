#include "app/owning_slot.h"

#include <gtest/gtest.h>

namespace {
struct Counted {
    explicit Counted(int* deaths) : deaths(deaths) {}
    ~Counted() { ++*deaths; }
    int* deaths;
};
}  // namespace

TEST(OwningSlot, DeletesWhatItOwnsOnReplaceAndDestruction) {
    int deaths = 0;
    {
        OwningSlot<Counted> slot;
        slot.reset(new Counted(&deaths));
        EXPECT_TRUE(slot.owns());
        slot.reset(new Counted(&deaths));
        EXPECT_EQ(deaths, 1);
    }
    EXPECT_EQ(deaths, 2);
}

TEST(OwningSlot, ReleasedObjectSurvivesAndSameObjectIsNotDeleted) {
    int deaths = 0;
    Counted* kept = nullptr;
    {
        OwningSlot<Counted> slot;
        Counted* object = new Counted(&deaths);
        slot.reset(object);
        slot.reset(object);  // the same object again: still alive
        EXPECT_EQ(deaths, 0);
        kept = slot.release();
        EXPECT_FALSE(slot.owns());
        EXPECT_EQ(slot.get(), kept);
    }
    EXPECT_EQ(deaths, 0);
    delete kept;
    EXPECT_EQ(deaths, 1);
}
