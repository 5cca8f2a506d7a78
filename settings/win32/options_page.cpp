#include "settings/win32/options_page.h"

#include <commctrl.h>

#include "foundation/resources.h"
#include "foundation/win32/callback_boundary.h"
#include "foundation/win32/module.h"

void OptionsPage::describe(PROPSHEETPAGEA& page, DLGPROC procedure) const {
    page = {};
    // The sheet steps through the page array by dwSize, so it must be the element's own size.
    page.dwSize = sizeof page;
    page.dwFlags = PSP_USEICONID;
    page.hInstance = Module::instance();
    page.pszTemplate = MAKEINTRESOURCEA(templateId_);
    page.pszIcon = MAKEINTRESOURCEA(iconId_);
    page.pfnDlgProc = procedure;
}

INT_PTR OptionsPage::route(OptionsPage* page, HWND dialog, UINT message, WPARAM wParam,
                           LPARAM lParam) {
    if (page == nullptr) return FALSE;
    INT_PTR answer = FALSE;
    CallbackBoundary::page(dialog,
                           [&] { answer = page->dispatch(dialog, message, wParam, lParam); });
    return answer;
}

INT_PTR OptionsPage::dispatch(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            window_ = dialog;
            onInit();
            return FALSE;
        case WM_COMMAND:
            return onCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (header.code != static_cast<UINT>(PSN_APPLY)) return onNotify(header);
            const bool valid = validate();
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT,
                              valid ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE);
            if (valid) onApply();
            return TRUE;
        }
        default:
            return FALSE;
    }
}

RECT OptionsPage::controlRect(HWND child) const {
    RECT page = {};
    RECT control = {};
    GetWindowRect(window_, &page);
    GetWindowRect(child, &control);
    return RECT{control.left - page.left, control.top - page.top, control.right - page.left,
                control.bottom - page.top};
}

HWND OptionsPage::createSlider(int id, int minimum, int maximum, int lineSize, int pageSize,
                               int position) {
    HWND placeholder = GetDlgItem(window_, id);
    const RECT r = controlRect(placeholder);
    DestroyWindow(placeholder);
    HWND slider = CreateWindowExA(
        0, TRACKBAR_CLASSA, "Density slider", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_AUTOTICKS,
        r.left, r.top, r.right - r.left, r.bottom - r.top, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), Module::instance(), nullptr);
    SendMessageA(slider, TBM_SETRANGE, FALSE, MAKELONG(minimum, maximum));
    SendMessageA(slider, TBM_SETPAGESIZE, 0, pageSize);
    SendMessageA(slider, TBM_SETLINESIZE, 0, lineSize);
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    return slider;
}

int OptionsPage::sliderPosition(HWND trackbar) {
    return static_cast<int>(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
}

void OptionsPage::refuse(int textId, HWND focus) const {
    MessageBoxA(window_, Resources::loadString(textId).c_str(), Resources::loadString(1000).c_str(),
                MB_ICONERROR);
    SetFocus(focus);
}
