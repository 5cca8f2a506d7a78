#pragma once

#include <windows.h>

#include "foundation/callback_errors.h"

// The boundary of each kind of system callback: run the body, and when it throws, keep the
// exception (CallbackErrors) and end the loop the way the user would. The code that started the
// loop calls CallbackBoundary::rethrow once the system call has returned.
namespace CallbackBoundary {

// Presses Cancel on the property sheet that holds `window` (its top-level ancestor).
void cancelSheetOf(HWND window) noexcept;

// Runs `body`; when it throws, keeps the error and runs `endLoop`, once, for that failure. While
// an earlier failure is pending the body does not run and the loop is already ending.
template <typename Body, typename EndLoop>
bool guarded(Body&& body, EndLoop&& endLoop) noexcept {
    if (CallbackErrors::pending()) return false;
    if (CallbackErrors::guard(body)) return true;
    endLoop();
    return false;
}

// Window procedures under a plain message loop: ends the loop with WM_QUIT, as closing the
// saver window does. Answers whether the body ran to its end.
template <typename Body>
bool window(Body&& body) noexcept {
    return guarded(body, [] { PostQuitMessage(0); });
}

// Dialog procedures of modal dialogs: ends the dialog as Cancel would.
template <typename Body>
bool dialog(HWND dialogWindow, Body&& body) noexcept {
    return guarded(body, [dialogWindow] { EndDialog(dialogWindow, IDCANCEL); });
}

// Pages of a property sheet, and controls on them: presses the sheet's Cancel button.
template <typename Body>
bool page(HWND pageOrControl, Body&& body) noexcept {
    return guarded(body, [pageOrControl] { cancelSheetOf(pageOrControl); });
}

// Enumeration callbacks: the caller stops enumerating when this answers false.
template <typename Body>
bool enumeration(Body&& body) noexcept {
    return CallbackErrors::guard(body);
}

// Rethrows an exception a callback kept. A WM_QUIT that ended a nested modal loop and was posted
// again for the outer loop is taken out first, so the report box that follows stays open.
void rethrow();

}  // namespace CallbackBoundary
