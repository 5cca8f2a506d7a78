#include "foundation/win32/fault_translator.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "foundation/error_report.h"

namespace {

struct Witness {
    int& count;
    ~Witness() { ++count; }
};

volatile int zero = 0;
int* volatile nowhere = nullptr;

const char* addressPattern() { return sizeof(void*) == 8 ? "[0-9A-F]{16}" : "[0-9A-F]{8}"; }

}  // namespace

TEST(FaultTranslator, HardwareFaultsBecomeReportsAndUnwindFrames) {
    installFaultTranslator();
    int destroyed = 0;
    const std::string division = runReportingSaverErrors([&] {
        Witness frame{destroyed};
        volatile int result = 7 / zero;
        (void)result;
    });
    EXPECT_TRUE(std::regex_match(
        division, std::regex(std::string("Sorry, internal error: exception INT_DIVIDE_BY_ZERO "
                                         "\\(0xC0000094\\) at address ") +
                             addressPattern() + "\\.")))
        << division;
    EXPECT_EQ(destroyed, 1);

    const std::string access = runReportingSaverErrors([&] {
        Witness frame{destroyed};
        *nowhere = 1;
    });
    EXPECT_TRUE(std::regex_match(
        access, std::regex(std::string("Sorry, internal error: exception ACCESS_VIOLATION "
                                       "\\(0xC0000005\\) at address ") +
                           addressPattern() + "\\.")))
        << access;
    EXPECT_EQ(destroyed, 2);
}
