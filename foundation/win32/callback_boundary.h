#pragma once

#include <windows.h>

#include "foundation/callback_errors.h"

// The boundary of each kind of system callback: run the body, and when it throws, keep the
// exception (CallbackErrors) and end the loop the way the user would. The code that started the
// loop calls CallbackBoundary::rethrow once the system call has returned.
namespace CallbackBoundary {

// Presses Cancel on the property sheet that holds `window` (its top-level ancestor).
void cancelSheetOf(HWND window) noexcept;

// Window procedures under a plain message loop: ends the loop with WM_QUIT, as closing the
// saver window does. Answers whether the body ran to its end.
template <typename Body>
bool window(Body&& body) noexcept {
    if (CallbackErrors::guard(body)) return true;
    if (CallbackErrors::pending()) PostQuitMessage(0);
    return false;
}

// Dialog procedures of modal dialogs: ends the dialog as Cancel would.
template <typename Body>
bool dialog(HWND dialogWindow, Body&& body) noexcept {
    if (CallbackErrors::guard(body)) return true;
    if (CallbackErrors::pending()) EndDialog(dialogWindow, IDCANCEL);
    return false;
}

// Pages of a property sheet, and controls on them: presses the sheet's Cancel button.
template <typename Body>
bool page(HWND pageOrControl, Body&& body) noexcept {
    if (CallbackErrors::guard(body)) return true;
    if (CallbackErrors::pending()) cancelSheetOf(pageOrControl);
    return false;
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
