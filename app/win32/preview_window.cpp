#include "app/win32/preview_window.h"

#include <map>

#include "app/win32/saver_window.h"
#include "foundation/win32/callback_boundary.h"
#include "foundation/win32/gdi.h"
#include "foundation/win32/module.h"
#include "foundation/win32/stretched_bitmap.h"

namespace {

const char* const className = "MistoScreenSaverPreviewClass";
const int bannerBitmapId = 104;
// The host's process may end without destroying its windows, which takes the preview window
// with it on the server's side and leaves no WM_DESTROY to end the loop: a thread timer looks
// for the host now and then.
const UINT hostCheckMs = 1000;
ATOM classAtom = 0;
std::map<HWND, PreviewWindow*> previewRegistry;
HWND watchedHost = nullptr;

void CALLBACK checkHost(HWND, UINT, UINT_PTR, DWORD) {
    CallbackBoundary::window([] {
        if (!IsWindow(watchedHost)) PostQuitMessage(0);
    });
}

void registerClass() {
    if (classAtom != 0) return;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = &PreviewWindow::windowProc;
    windowClass.hInstance = Module::instance();
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = className;
    classAtom = RegisterClassA(&windowClass);
}

}  // namespace

PreviewWindow::PreviewWindow(HWND host) {
    RECT r = {};
    GetWindowRect(host, &r);
    registerClass();
    handle_ = CreateWindowExA(0, className, "Misto Screen Saver Preview", WS_CHILD | WS_VISIBLE, 0,
                              0, r.right - r.left, r.bottom - r.top, host, nullptr,
                              Module::instance(), nullptr);
    if (handle_ == nullptr) return;
    previewRegistry[handle_] = this;
}

PreviewWindow::~PreviewWindow() {
    if (handle_ == nullptr) return;
    DestroyWindow(handle_);
    previewRegistry.erase(handle_);
    handle_ = nullptr;
}

LRESULT CALLBACK PreviewWindow::windowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    const auto found = previewRegistry.find(window);
    if (found == previewRegistry.end()) return DefWindowProcA(window, message, wParam, lParam);
    bool handled = true;
    LRESULT result = 0;
    if (!CallbackBoundary::window(
            [&] { result = found->second->handle(message, wParam, lParam, handled); }))
        return DefWindowProcA(window, message, wParam, lParam);
    return handled ? result : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT PreviewWindow::handle(UINT message, WPARAM, LPARAM, bool& handled) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            handled = false;
            return 0;
    }
}

void PreviewWindow::paint() {
    Gdi::PaintCycle cycle(handle_);
    RECT destination = {};
    GetClientRect(handle_, &destination);
    drawStretchedBitmap(cycle.dc(), bannerBitmapId, destination);
}

void runPreview(HWND host) {
    // The desktop as host would put the banner over the whole screen, where nothing ever
    // destroys it and no key reaches it: refused like a number that names no window. A handle
    // also matches with its high word 0 or 0xFFFF, so the desktop has several numbers; the
    // window the number resolves to is asked instead: only a tree's root (the desktop, or
    // the root of the message-only windows) has no parent.
    if (host == nullptr || !IsWindow(host) || GetAncestor(host, GA_PARENT) == nullptr) return;
    PreviewWindow preview(host);
    if (preview.handle() == nullptr) return;
    watchedHost = host;
    const UINT_PTR timer = SetTimer(nullptr, 0, hostCheckMs, &checkHost);
    pumpMessages();
    KillTimer(nullptr, timer);
}
