#include "foundation/resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

// Answers like LoadStringA: copies at most capacity - 1 characters.
class FakeLoader : public Resources::StringLoader {
  public:
    std::map<int, std::string> strings;
    int calls = 0;

    int load(int id, char* buffer, int capacity) override {
        ++calls;
        auto it = strings.find(id);
        if (it == strings.end()) return 0;
        const int n = std::min<int>(static_cast<int>(it->second.size()), capacity - 1);
        std::memcpy(buffer, it->second.data(), static_cast<size_t>(n));
        buffer[n] = '\0';
        return n;
    }
};

}  // namespace

// The capacity is process-wide and only grows (other tests may have grown it already), so the
// lengths follow the capacity found at the start, and the steps run in one test, in order.
TEST(Resources, StringCapacityDoublesOnceForLongStrings) {
    const int start = Resources::stringCapacity();
    ASSERT_GE(start, 256);
    const std::string fits(static_cast<size_t>(start - 2), 'a');
    const std::string longer(static_cast<size_t>(start + 44), 'b');
    FakeLoader loader;
    loader.strings[1] = fits;
    loader.strings[2] = longer;
    loader.strings[3] = "";
    Resources::setStringLoader(&loader);

    EXPECT_EQ(Resources::loadString(1), fits);
    EXPECT_EQ(loader.calls, 1);
    EXPECT_EQ(Resources::stringCapacity(), start);

    loader.calls = 0;
    EXPECT_EQ(Resources::loadString(2), longer);
    EXPECT_EQ(loader.calls, 2);
    EXPECT_EQ(Resources::stringCapacity(), 2 * start);

    loader.calls = 0;
    EXPECT_EQ(Resources::loadString(2), longer);
    EXPECT_EQ(loader.calls, 1);

    try {
        Resources::loadString(3);
        FAIL() << "an empty string must not be found";
    } catch (const Resources::StringNotFoundError& e) {
        EXPECT_STREQ(e.what(), "String resource not found. Requested ID: 3");
    }
    EXPECT_THROW(Resources::loadString(900), Resources::ResourceNotFoundError);
    Resources::setStringLoader(nullptr);
    EXPECT_THROW(Resources::loadString(1), Resources::StringNotFoundError);
}

TEST(Resources, ErrorTextsAndHierarchy) {
    const Resources::ResourceNotFoundError missing(500);
    EXPECT_STREQ(missing.what(), "Resource not found, resource id: 500.");
    const Resources::StringNotFoundError noString(-7);
    EXPECT_STREQ(noString.what(), "String resource not found. Requested ID: -7");
    const Resources::Error& base = noString;
    EXPECT_NE(dynamic_cast<const BasicError*>(&base), nullptr);
    EXPECT_STREQ(BasicError("").what(), "");
}
