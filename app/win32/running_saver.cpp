#include "app/win32/running_saver.h"

#include <windows.h>

namespace RunningSaver {

bool claim() {
    const char* const name = "MISTO_SCREEN_SAVER_RUNNING";
    HANDLE running = OpenMutexA(0x1F0001, FALSE, name);
    if (running != nullptr) {
        CloseHandle(running);
        return false;
    }
    // Never closed: the mutex goes with the process.
    CreateMutexA(nullptr, TRUE, name);
    return true;
}

}  // namespace RunningSaver
