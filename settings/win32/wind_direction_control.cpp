#include "settings/win32/wind_direction_control.h"

#include <windowsx.h>

#include <memory>

#include "foundation/win32/callback_boundary.h"
#include "foundation/win32/gdi.h"
#include "foundation/win32/module.h"
#include "settings/wind_dial.h"

namespace {

const char* const className = "Wind Direction Control";
bool classRegistered = false;
const int keyStepDegrees = 5;
// Sent to child windows after their top-level window moved to a screen of another DPI (Windows
// 10 1703 and later); the headers name it only for newer Windows versions than we build for.
const UINT dpiChangedAfterParent = 0x02E3;

void registerClass(WNDPROC procedure) {
    if (classRegistered) return;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = Module::instance();
    windowClass.hCursor = LoadCursor(nullptr, IDC_CROSS);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    classRegistered = true;
}

WindDirectionControl* instanceOf(HWND window) {
    return reinterpret_cast<WindDirectionControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace

WindDirectionControl::WindDirectionControl(HWND window)
    : window_(window),
      angle_(WindDial::restingAngle),
      minAngle_(0.0f),
      maxAngle_(static_cast<float>(kPi)) {
    measure();
}

void WindDirectionControl::measure() {
    RECT client = {};
    GetClientRect(window_, &client);
    width_ = client.right - client.left;
    height_ = client.bottom - client.top;
    hubX_ = width_ / 2;
}

WindDirectionControl* WindDirectionControl::create(HWND parent, const RECT& rect) {
    registerClass(&WindDirectionControl::windowProc);
    HWND window = CreateWindowExA(WS_EX_CLIENTEDGE, className, "Wind direction",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                  Module::instance(), nullptr);
    return window != nullptr ? instanceOf(window) : nullptr;
}

void WindDirectionControl::setAngle(float radians) {
    angle_ = radians;
    InvalidateRect(window_, nullptr, TRUE);
}

void WindDirectionControl::setLimits(float minimum, float maximum) {
    minAngle_ = minimum;
    maxAngle_ = maximum;
}

LRESULT CALLBACK WindDirectionControl::windowProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    if (message == WM_CREATE) {
        bool made = CallbackBoundary::page(window, [&] {
            auto control = std::unique_ptr<WindDirectionControl>(new WindDirectionControl(window));
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control.release()));
        });
        if (!made) return -1;
    } else if (message == WM_DESTROY) {
        delete instanceOf(window);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    } else if (WindDirectionControl* control = instanceOf(window)) {
        LRESULT result = 0;
        bool handled = false;
        CallbackBoundary::page(window,
                               [&] { handled = control->handle(message, wParam, lParam, result); });
        if (handled) return result;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool WindDirectionControl::handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_PAINT:
            paint();
            return true;
        case WM_LBUTTONDOWN:
            // Like any tab stop, a clicked control takes the focus, so the keys go on from there.
            SetFocus(window_);
            pointAt(lParam);
            track();
            return true;
        case WM_CAPTURECHANGED:
            if (tracking_) {
                tracking_ = false;
                // Wakes the tracking loop, which may be waiting for a posted message.
                PostMessageA(window_, WM_NULL, 0, 0);
            }
            return false;
        case WM_SIZE:
        case WM_DPICHANGED:
        case dpiChangedAfterParent:
            // Measured again: the dialog grows the control when the sheet moves to a screen of
            // another DPI, and the hub and needle must follow (measured only once, they would stay
            // small).
            measure();
            InvalidateRect(window_, nullptr, TRUE);
            return false;
        case WM_GETDLGCODE:
            result = DLGC_WANTARROWS;
            return true;
        case WM_KEYDOWN:
            switch (wParam) {
                case VK_LEFT:
                    angle_ = WindDial::turned(angle_, -keyStepDegrees, minAngle_, maxAngle_);
                    break;
                case VK_RIGHT:
                    angle_ = WindDial::turned(angle_, keyStepDegrees, minAngle_, maxAngle_);
                    break;
                case VK_HOME:
                    angle_ = minAngle_;
                    break;
                case VK_END:
                    angle_ = maxAngle_;
                    break;
                default:
                    return false;
            }
            redraw();
            return true;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(window_, nullptr, TRUE);
            return false;
        default:
            return false;
    }
}

void WindDirectionControl::paint() {
    Gdi::PaintCycle cycle(window_);
    const HDC dc = cycle.dc();
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    {
        Gdi::Object pen(CreatePen(PS_SOLID, 1, ink));
        Gdi::Object brush(CreateSolidBrush(ink));
        Gdi::Selection penSelected(dc, pen.get());
        Gdi::Selection brushSelected(dc, brush.get());
        const int r = WindDial::hubRadius(width_);
        Ellipse(dc, hubX_ - r, hubY_ - r, hubX_ + r, hubY_ + r);
    }
    {
        Gdi::Object pen(CreatePen(PS_SOLID, 2, ink));
        Gdi::Selection penSelected(dc, pen.get());
        const WindDial::Needle needle = WindDial::needle(hubX_, hubY_, height_, angle_);
        MoveToEx(dc, hubX_, hubY_, nullptr);
        LineTo(dc, needle.tip.x, needle.tip.y);
        LineTo(dc, needle.firstBarb.x, needle.firstBarb.y);
        MoveToEx(dc, needle.tip.x, needle.tip.y, nullptr);
        LineTo(dc, needle.secondBarb.x, needle.secondBarb.y);
    }
    if (GetFocus() == window_) {
        RECT inside = {1, 1, width_ - 1, height_ - 1};
        DrawFocusRect(dc, &inside);
    }
}

void WindDirectionControl::redraw() {
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
}

void WindDirectionControl::pointAt(LPARAM position) {
    // Signed: left of or above the control the captured mouse gives negative coordinates.
    angle_ = WindDial::angleFromPoint(hubX_, hubY_, GET_X_LPARAM(position), GET_Y_LPARAM(position),
                                      minAngle_, maxAngle_);
    redraw();
}

void WindDirectionControl::track() {
    if (GetCapture() != nullptr) return;
    SetCapture(window_);
    tracking_ = GetCapture() == window_;
    MSG message;
    while (tracking_ && !CallbackErrors::pending()) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // The program is asked to end: leave that to the loop that owns it.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got < 0 || message.message == WM_LBUTTONUP) break;
        if (message.message == WM_MOUSEMOVE && message.hwnd == window_) {
            pointAt(message.lParam);
        } else if (message.message == WM_PAINT) {
            // A paint left undone would be read again at once: the loop would spin.
            DispatchMessageA(&message);
        }
        // Anything else is dropped: the drag owns the thread until the button comes up.
    }
    tracking_ = false;
    if (GetCapture() == window_) ReleaseCapture();
}
