#include "foundation/win32/fault_translator.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
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

namespace {
// Called through a pointer so the copy really happens inside the C runtime.
void* (*volatile runtimeCopy)(void*, const void*, size_t) = &memcpy;
}  // namespace

TEST(FaultTranslator, SystemCodeKeepsItsOwnFaultsAndTheRuntimeIsOurs) {
    installFaultTranslator();
    // The system probes the address under a handler of its own; the probe must answer, not
    // turn into our report.
    bool answered = false;
    const std::string probe = runReportingSaverErrors(
        [&] { answered = IsBadReadPtr(reinterpret_cast<const void*>(16), 4) != FALSE; });
    EXPECT_EQ(probe, "");
    EXPECT_TRUE(answered);

    const std::string copy = runReportingSaverErrors([&] {
        char buffer[4];
        runtimeCopy(buffer, reinterpret_cast<const void*>(16), sizeof buffer);
    });
    EXPECT_EQ(copy.rfind("Sorry, internal error: exception ACCESS_VIOLATION (0xC0000005)", 0), 0u)
        << copy;
}
