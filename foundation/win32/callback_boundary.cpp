#include "foundation/win32/callback_boundary.h"

#include <commctrl.h>
#include <prsht.h>

namespace CallbackBoundary {

void cancelSheetOf(HWND window) noexcept {
    HWND sheet = GetAncestor(window, GA_ROOT);
    if (sheet != nullptr) PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

void rethrow() {
    if (!CallbackErrors::pending()) return;
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    CallbackErrors::rethrowPending();
}

}  // namespace CallbackBoundary
