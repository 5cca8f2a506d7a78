// A stand-in for the display settings' preview, and a few looks into other processes' windows
// that the end-to-end tests need:
//   preview_host run SAVER [X Y]  a 152 x 112 window at (X, Y) (default 40, 40) titled
//                                 "Preview Host", with SAVER /p <its handle> started in it; when
//                                 the window is closed, waits up to 20 s for the saver and exits
//                                 with its exit code (99 if it is still running).
//   preview_host show [X Y]       the same window with the saver's preview window made and
//                                 painted by this process, until the window is closed: Wine
//                                 shows nothing that another process paints into a child
//                                 window, so this is how the picture can be seen under Wine.
//   preview_host close            closes that window.
//   preview_host desktop          prints the desktop window's number, as a host would pass it.
//   preview_host where TITLE ID   prints "x y width height" of the client area, in screen
//                                 coordinates, of the control with dialog id ID (or window class
//                                 ID when it is not a number) inside the top-level window TITLE;
//                                 ID "-" gives the whole window TITLE, frame included.
//   preview_host volatile-key PATH creates HKCU\PATH as a volatile key: no lasting key can be
//                                 made under it, so a save there fails.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/win32/preview_window.h"
#include "foundation/win32/module.h"

namespace {

const char* const hostTitle = "Preview Host";
const char* const hostClass = "MistoPreviewHost";

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND makeHost(int x, int y) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &hostProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = hostClass;
    RegisterClassA(&windowClass);
    HWND host = CreateWindowExA(WS_EX_TOPMOST, hostClass, hostTitle,
                                WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, 152, 112, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    return host;
}

int show(int x, int y) {
    HWND host = makeHost(x, y);
    if (host == nullptr) return 90;
    Module::store(GetModuleHandleA(nullptr), "");
    runPreview(host);
    return 0;
}

int run(const char* saver, int x, int y) {
    HWND host = makeHost(x, y);
    if (host == nullptr) return 90;
    std::string command = std::string("\"") + saver + "\" /p " +
                          std::to_string(static_cast<long long>(reinterpret_cast<INT_PTR>(host)));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 91;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DWORD code = 99;
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

struct Search {
    int id;
    const char* className;
    HWND found;
};

BOOL CALLBACK findControl(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    const bool match = search.className != nullptr ? std::string(name) == search.className
                                                   : GetDlgCtrlID(window) == search.id;
    if (match && IsWindowVisible(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

int where(const char* title, const char* control) {
    HWND top = FindWindowA(nullptr, title);
    if (top == nullptr) return 2;
    if (std::string(control) == "-") {
        RECT frame = {};
        GetWindowRect(top, &frame);
        std::printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
                    frame.bottom - frame.top);
        return 0;
    }
    char* end = nullptr;
    const long id = std::strtol(control, &end, 10);
    Search search = {static_cast<int>(id), *end != '\0' ? control : nullptr, nullptr};
    EnumChildWindows(top, &findControl, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) return 3;
    RECT client = {};
    GetClientRect(search.found, &client);
    POINT origin = {0, 0};
    ClientToScreen(search.found, &origin);
    std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    return 0;
}

int volatileKey(const char* path) {
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_VOLATILE,
                                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) return 4;
    RegCloseKey(key);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "run" && argc >= 3)
        return run(argv[2], argc >= 5 ? std::atoi(argv[3]) : 40,
                   argc >= 5 ? std::atoi(argv[4]) : 40);
    if (command == "close") {
        HWND host = FindWindowA(hostClass, hostTitle);
        if (host == nullptr) return 2;
        PostMessageA(host, WM_CLOSE, 0, 0);
        return 0;
    }
    if (command == "desktop") {
        std::printf("%lld\n",
                    static_cast<long long>(reinterpret_cast<INT_PTR>(GetDesktopWindow())));
        return 0;
    }
    if (command == "show")
        return show(argc >= 4 ? std::atoi(argv[2]) : 40, argc >= 4 ? std::atoi(argv[3]) : 40);
    if (command == "where" && argc >= 4) return where(argv[2], argv[3]);
    if (command == "volatile-key" && argc >= 3) return volatileKey(argv[2]);
    std::fprintf(stderr,
                 "usage: preview_host run SAVER [X Y] | close | desktop | where TITLE ID | "
                 "volatile-key PATH\n");
    return 1;
}
