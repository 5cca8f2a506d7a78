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
//   preview_host controls TITLE   prints the controls of the page showing in the top-level
//                                 window TITLE (of TITLE itself when it has no page) in z-order,
//                                 the order in which a screen reader pairs labels with controls:
//                                 one a line, "id|class|text".
//   preview_host focus TITLE      prints the control that has the keyboard focus in TITLE's
//                                 thread the same way ("none" without one).
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

// "id|class|text" of a window; the text is asked for, as an edit's is not its window's caption.
std::string described(HWND window) {
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    char text[256] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    return std::to_string(GetDlgCtrlID(window)) + "|" + name + "|" + text;
}

BOOL CALLBACK findShownPage(HWND window, LPARAM context) {
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    auto& page = *reinterpret_cast<HWND*>(context);
    if (std::string(name) == "#32770" && IsWindowVisible(window) &&
        GetParent(window) == GetAncestor(window, GA_ROOT)) {
        page = window;
        return FALSE;
    }
    return TRUE;
}

int controls(const char* title) {
    HWND top = FindWindowA(nullptr, title);
    if (top == nullptr) return 2;
    HWND page = top;
    EnumChildWindows(top, &findShownPage, reinterpret_cast<LPARAM>(&page));
    for (HWND child = GetWindow(page, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        std::printf("%s\n", described(child).c_str());
    return 0;
}

int focus(const char* title) {
    HWND top = FindWindowA(nullptr, title);
    if (top == nullptr) return 2;
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &thread)) return 3;
    std::printf("%s\n", thread.hwndFocus != nullptr ? described(thread.hwndFocus).c_str() : "none");
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
    if (command == "controls" && argc >= 3) return controls(argv[2]);
    if (command == "focus" && argc >= 3) return focus(argv[2]);
    if (command == "volatile-key" && argc >= 3) return volatileKey(argv[2]);
    std::fprintf(stderr,
                 "usage: preview_host run SAVER [X Y] | close | desktop | where TITLE ID | "
                 "controls TITLE | focus TITLE | volatile-key PATH\n");
    return 1;
}
