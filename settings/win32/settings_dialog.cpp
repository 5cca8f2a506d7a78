#include "settings/win32/settings_dialog.h"

#include "foundation/win32/callback_boundary.h"
#include "foundation/win32/module.h"
#include "foundation/win32/stretched_bitmap.h"
#include "foundation/win32/test_fault.h"
#include "settings/win32/options_sheet.h"

namespace SettingsDialog {

namespace {

// Ids of template 101.
const int dialogId = 101;
const int bannerId = 1017;
const int bannerPlaceholderId = 1010;
const int optionsId = 1007;
const int bannerBitmapId = 104;

INT_PTR handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            // The control takes the placeholder's size.
            HWND placeholder = GetDlgItem(dialog, bannerPlaceholderId);
            RECT r = {};
            GetWindowRect(placeholder, &r);
            SetWindowPos(
                GetDlgItem(dialog, bannerId), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
            DestroyWindow(placeholder);
            return TRUE;
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                case IDCANCEL:
                    EndDialog(dialog, 0);
                    break;
                case optionsId:
                    TestFault::throwIfRequested("settings");
                    OptionsSheet::run(dialog);
                    break;
                default:
                    break;
            }
            return TRUE;
        case WM_DRAWITEM: {
            // The banner is drawn to fill its box, which grows with the screen's DPI: Windows
            // draws a bitmap control's picture at the bitmap's own size, a third of the box
            // empty at 150 %.
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlID != bannerId) return FALSE;
            drawStretchedBitmap(item.hDC, bannerBitmapId, item.rcItem);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR answer = FALSE;
    CallbackBoundary::dialog(dialog, [&] { answer = handle(dialog, message, wParam, lParam); });
    return answer;
}

}  // namespace

void show(HWND owner) {
    // A number on the command line that names no window gives a dialog without owner.
    if (owner != nullptr && !IsWindow(owner)) owner = nullptr;
    DialogBoxParamA(Module::instance(), MAKEINTRESOURCEA(dialogId), owner, &dialogProc, 0);
    CallbackBoundary::rethrow();
}

}  // namespace SettingsDialog
