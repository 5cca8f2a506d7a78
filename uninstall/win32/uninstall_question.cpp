#include "uninstall/win32/uninstall_question.h"

#include <windows.h>

#include "foundation/win32/callback_boundary.h"
#include "foundation/win32/module.h"

namespace {

// Every command ends the question with its full parameter: Yes gives 1, No and the close box 2.
INT_PTR CALLBACK questionProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    INT_PTR handled = FALSE;
    CallbackBoundary::dialog(dialog, [&] {
        if (message == WM_INITDIALOG) {
            handled = TRUE;
        } else if (message == WM_COMMAND) {
            EndDialog(dialog, static_cast<INT_PTR>(wParam));
            handled = TRUE;
        }
    });
    return handled;
}

}  // namespace

bool askUninstall() {
    const INT_PTR answer =
        DialogBoxParamA(Module::instance(), MAKEINTRESOURCEA(106), nullptr, questionProcedure, 0);
    CallbackBoundary::rethrow();
    return answer == IDOK;
}
