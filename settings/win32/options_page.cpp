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

RECT OptionsPage::removePlaceholder(int id, HWND& label) const {
    HWND placeholder = GetDlgItem(window_, id);
    const RECT r = controlRect(placeholder);
    label = GetWindow(placeholder, GW_HWNDPREV);
    DestroyWindow(placeholder);
    return r;
}

void OptionsPage::placeAfter(HWND control, HWND label) {
    // A screen reader names a control after the label just before it in the z-order, which is
    // also the order of the tab key; a new window would go last, after every label of the page.
    SetWindowPos(control, label != nullptr ? label : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

HWND OptionsPage::createSlider(int id, int minimum, int maximum, int lineSize, int pageSize,
                               int position) {
    HWND label = nullptr;
    const RECT r = removePlaceholder(id, label);
    // Each slider is named after its label rather than all sharing one name, so that a reader
    // which reads the control's own name tells the four apart.
    char name[128] = "";
    if (label != nullptr) GetWindowTextA(label, name, sizeof name);
    HWND slider = CreateWindowExA(
        0, TRACKBAR_CLASSA, name, WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_AUTOTICKS, r.left, r.top,
        r.right - r.left, r.bottom - r.top, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), Module::instance(), nullptr);
    placeAfter(slider, label);
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
    // Posted to the sheet: a page that refuses while another one shows is brought up by the
    // sheet only after this answer, and that switch moves the focus again. A focus set now
    // would be lost; the posted one comes after the switch.
    PostMessageA(GetParent(window_), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
}
