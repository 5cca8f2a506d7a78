#include "foundation/win32/test_fault.h"

#include <windows.h>

#include <string>

#include "foundation/basic_error.h"

namespace TestFault {

namespace {

const std::string& requestedPlace() {
    static const std::string place = [] {
        char value[64] = {};
        const DWORD n = GetEnvironmentVariableA("MISTO_TEST_FAULT", value, sizeof value);
        return n > 0 && n < sizeof value ? std::string(value) : std::string();
    }();
    return place;
}

}  // namespace

bool requested(const char* place) { return !requestedPlace().empty() && requestedPlace() == place; }

void throwIfRequested(const char* place) {
    if (requested(place)) throw BasicError(std::string("test failure in ") + place);
}

void faultIfRequested(const char* place) {
    if (!requested(place)) return;
    // volatile keeps the division in the program, where the fault translator sees it.
    volatile int zero = 0;
    volatile int result = 1 / zero;
    (void)result;
}

void systemFaultIfRequested(const char* place) {
    if (requested(place)) IsBadReadPtr(reinterpret_cast<const void*>(16), 4);
}

}  // namespace TestFault
