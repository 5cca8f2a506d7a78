#include "app/win32/saver_window.h"

#include <cstring>
#include <map>

#include "app/mouse_rule.h"
#include "foundation/win32/callback_boundary.h"
#include "foundation/win32/module.h"

namespace {

const char* const className = "MistoScreenSaverClass";
ATOM classAtom = 0;
std::map<HWND, SaverWindow*> windowRegistry;
// Process-wide on purpose: the first point seen stays the anchor for the run.
MouseRule mouseRule;

void registerClass() {
    if (classAtom != 0) return;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS;
    windowClass.lpfnWndProc = &SaverWindow::windowProc;
    windowClass.hInstance = Module::instance();
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className;
    classAtom = RegisterClassA(&windowClass);
}

}  // namespace

SaverWindow::SaverWindow() {
    registerClass();
    handle_ = CreateWindowExA(0, className, "Misto Screen Saver", WS_POPUP | WS_MAXIMIZE,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                              nullptr, Module::instance(), nullptr);
    if (handle_ != nullptr) windowRegistry[handle_] = this;
    startTimer();
}

SaverWindow::~SaverWindow() {
    stopTimer();
    DestroyWindow(handle_);
    windowRegistry.erase(handle_);
    handle_ = nullptr;
    frameHandler_.reset();
}

void SaverWindow::show() { ShowWindow(handle_, SW_SHOW); }

void SaverWindow::close() { SendMessageA(handle_, WM_CLOSE, 0, 0); }

void SaverWindow::setFrameHandler(TickHandler* handler) { frameHandler_.reset(handler); }

void SaverWindow::startTimer() { SetTimer(handle_, 0, 20, nullptr); }

void SaverWindow::stopTimer() { KillTimer(handle_, 0); }

LRESULT CALLBACK SaverWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto found = windowRegistry.find(window);
    if (found == windowRegistry.end()) return DefWindowProcA(window, message, wParam, lParam);
    bool handled = true;
    LRESULT result = 0;
    // A failed frame ends the run; later messages get the default treatment until the loop ends.
    if (!CallbackBoundary::window(
            [&] { result = found->second->handle(message, wParam, lParam, handled); })) {
        // WM_CLOSE still only ends the loop: the owner destroys the window.
        return message == WM_CLOSE ? 0 : DefWindowProcA(window, message, wParam, lParam);
    }
    return handled ? result : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT SaverWindow::handle(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (message) {
        case WM_CLOSE:
            // Only ends the loop; the owner destroys the window in its destructor.
            PostQuitMessage(0);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETCURSOR:
            SetCursor(nullptr);
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            close();
            return 0;
        case WM_TIMER:
            if (frameHandler_) frameHandler_->invoke(*this);
            return 0;
        case WM_MOUSEMOVE: {
            const auto position = static_cast<DWORD>(lParam);
            if (mouseRule.moved(LOWORD(position), HIWORD(position))) close();
            return 0;
        }
        case WM_POWERBROADCAST:
            if (wParam != PBT_POWERSETTINGCHANGE) break;
            reportDisplayState(reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam));
            return TRUE;
        default:
            break;
    }
    handled = false;
    return 0;
}

void SaverWindow::reportDisplayState(const POWERBROADCAST_SETTING* setting) {
    if (displayListener_ == nullptr || setting == nullptr) return;
    if (!IsEqualGUID(setting->PowerSetting, GUID_CONSOLE_DISPLAY_STATE)) return;
    if (setting->DataLength < sizeof(DWORD)) return;
    DWORD state = 0;
    std::memcpy(&state, setting->Data, sizeof state);
    displayListener_->displayStateChanged(state);
}

void pumpMessages() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    CallbackBoundary::rethrow();
}
