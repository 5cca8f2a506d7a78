#include "installer/win32/wizard_pages.h"

#include <windows.h>

#include <vector>

#include "foundation/resources.h"
#include "foundation/win32/callback_boundary.h"
#include "foundation/win32/module.h"
#include "foundation/win32/module_resources.h"
#include "foundation/win32/stretched_bitmap.h"
#include "foundation/win32/test_fault.h"
#include "installer/win32/installer_error_box.h"

namespace {

constexpr int kLicenceText = 107;
constexpr int kLicenceEdit = 1005;
constexpr int kCopyCheckBox = 1006;
constexpr int kBannerBitmap = 102;
constexpr int kBanner = 1002;

bool endsPage(UINT message, WPARAM wParam) {
    return message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL);
}

// Draws the banner of the welcome and finish pages to fill its box, which grows with the
// screen's DPI: Windows draws a bitmap control's picture at the bitmap's own size, leaving a
// third of the box empty at 150 %. True when the message was the banner's.
bool drawsBanner(UINT message, LPARAM lParam) {
    if (message != WM_DRAWITEM) return false;
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item.CtlID != kBanner) return false;
    drawStretchedBitmap(item.hDC, kBannerBitmap, item.rcItem);
    return true;
}

// The licence text is stored without a terminating NUL; the edit wants one.
void showLicence(HWND page) {
    try {
        const auto* bytes = static_cast<const char*>(Resources::data(kLicenceText));
        std::vector<char> text(bytes, bytes + Resources::dataSize(kLicenceText));
        text.push_back('\0');
        SendDlgItemMessageA(page, kLicenceEdit, WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(text.data()));
        // The dialog selects the whole text when the edit takes the focus, which scrolls it to
        // its end; the reader starts at the top, with the caret there for Page Down.
        HWND edit = GetDlgItem(page, kLicenceEdit);
        PostMessageA(edit, EM_SETSEL, 0, 0);
        PostMessageA(edit, EM_SCROLLCARET, 0, 0);
    } catch (const Resources::Error& e) {
        // The page stays usable with an empty text; the user is told why.
        showInstallerError(e.what());
    }
}

INT_PTR CALLBACK welcomeProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR handled = FALSE;
    CallbackBoundary::dialog(page, [&] {
        if (message == WM_INITDIALOG || drawsBanner(message, lParam)) {
            handled = TRUE;
        } else if (endsPage(message, wParam)) {
            EndDialog(page, LOWORD(wParam));
            handled = TRUE;
        }
    });
    return handled;
}

INT_PTR CALLBACK licenceProcedure(HWND page, UINT message, WPARAM wParam, LPARAM) {
    INT_PTR handled = FALSE;
    CallbackBoundary::dialog(page, [&] {
        if (message == WM_INITDIALOG) {
            TestFault::throwIfRequested("licence-page");
            showLicence(page);
            handled = TRUE;
        } else if (endsPage(message, wParam)) {
            EndDialog(page, LOWORD(wParam));
            handled = TRUE;
        }
    });
    return handled;
}

INT_PTR CALLBACK finishProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR handled = FALSE;
    CallbackBoundary::dialog(page, [&] {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(page, DWLP_USER, lParam);
            const bool copy = *reinterpret_cast<bool*>(lParam);
            CheckDlgButton(page, kCopyCheckBox, copy ? BST_CHECKED : BST_UNCHECKED);
            handled = TRUE;
        } else if (drawsBanner(message, lParam)) {
            handled = TRUE;
        } else if (endsPage(message, wParam)) {
            // Stored for "Exit" as well.
            auto* copy = reinterpret_cast<bool*>(GetWindowLongPtrA(page, DWLP_USER));
            *copy = IsDlgButtonChecked(page, kCopyCheckBox) == BST_CHECKED;
            EndDialog(page, LOWORD(wParam));
            handled = TRUE;
        }
    });
    return handled;
}

}  // namespace

int showWizardPage(Installer::Page page, bool& copyFlag) {
    DLGPROC procedure = welcomeProcedure;
    if (page == Installer::Page::Licence) procedure = licenceProcedure;
    if (page == Installer::Page::Finish) procedure = finishProcedure;
    const INT_PTR ended =
        DialogBoxParamA(Module::instance(), MAKEINTRESOURCEA(static_cast<int>(page)), nullptr,
                        procedure, reinterpret_cast<LPARAM>(&copyFlag));
    CallbackBoundary::rethrow();
    return static_cast<int>(ended);
}
