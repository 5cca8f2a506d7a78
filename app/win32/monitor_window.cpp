#include "app/win32/monitor_window.h"

#include "foundation/win32/callback_boundary.h"
#include "foundation/win32/gdi.h"
#include "foundation/win32/module.h"

namespace {

const char* const className = "MistoScreenSaverMonitorClass";

void registerClass(WNDPROC procedure) {
    static ATOM atom = 0;
    if (atom != 0) return;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = Module::instance();
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className;
    atom = RegisterClassA(&windowClass);
}

}  // namespace

MonitorWindow::MonitorWindow(const PixelArea& area, HWND saverWindow, HDC picture)
    : saver_(saverWindow), picture_(picture) {
    registerClass(&windowProc);
    // No task-bar button: the saver's own window is the one the system knows.
    handle_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, className, "Misto Screen Saver",
                              WS_POPUP, area.left, area.top, area.width(), area.height(), nullptr,
                              nullptr, Module::instance(), this);
}

MonitorWindow::~MonitorWindow() {
    if (handle_ == nullptr) return;
    // The messages of its destruction get the default treatment: this object is going.
    SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
}

void MonitorWindow::show() {
    if (handle_ == nullptr) return;
    ShowWindow(handle_, SW_SHOWNOACTIVATE);
    UpdateWindow(handle_);
}

void MonitorWindow::paint(const std::vector<PixelArea>& parts) {
    if (handle_ == nullptr || parts.empty()) return;
    Gdi::WindowDc screen(handle_);
    if (screen.get() == nullptr) return;
    for (const PixelArea& part : parts)
        BitBlt(screen.get(), part.left, part.top, part.width(), part.height(), picture_, part.left,
               part.top, SRCCOPY);
}

LRESULT CALLBACK MonitorWindow::windowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MonitorWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    bool handled = true;
    LRESULT result = 0;
    if (!CallbackBoundary::window(
            [&] { result = self->handle(window, message, wParam, lParam, handled); }))
        return message == WM_CLOSE ? 0 : DefWindowProcA(window, message, wParam, lParam);
    return handled ? result : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT MonitorWindow::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              bool& handled) {
    switch (message) {
        case WM_CLOSE:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            // The saver's window ends the run; this one goes with it.
            SendMessageA(saver_, WM_CLOSE, 0, 0);
            return 0;
        case WM_MOUSEMOVE: {
            // In the saver window's own coordinates, so that its first point stays the anchor
            // wherever the pointer goes. Off its left or top edge they wrap as the system's do.
            POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ClientToScreen(window, &at);
            ScreenToClient(saver_, &at);
            SendMessageA(saver_, WM_MOUSEMOVE, wParam,
                         MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
            return 0;
        }
        case WM_MOUSEACTIVATE:
            // A click here must not take activation from the saver's window: DirectDraw gives
            // up exclusive mode (and the chosen display mode) when that window loses it. The
            // click itself still arrives and ends the run.
            return MA_NOACTIVATE;
        case WM_SETCURSOR:
            SetCursor(nullptr);
            return TRUE;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC screen = BeginPaint(window, &paint);
            const RECT& r = paint.rcPaint;
            if (screen != nullptr)
                BitBlt(screen, r.left, r.top, r.right - r.left, r.bottom - r.top, picture_, r.left,
                       r.top, SRCCOPY);
            EndPaint(window, &paint);
            return 0;
        }
        default:
            handled = false;
            return 0;
    }
}
