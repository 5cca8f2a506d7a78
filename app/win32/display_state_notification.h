#pragma once

#include <windows.h>

// While it lives, the system reports the console display's state (off, on, dimmed) to a window
// as WM_POWERBROADCAST with PBT_POWERSETTINGCHANGE; the current state comes once at the start.
// Where the system cannot report it, nothing arrives and the saver simply keeps drawing.
class DisplayStateNotification {
  public:
    explicit DisplayStateNotification(HWND window);
    ~DisplayStateNotification();
    DisplayStateNotification(const DisplayStateNotification&) = delete;
    DisplayStateNotification& operator=(const DisplayStateNotification&) = delete;

  private:
    HPOWERNOTIFY handle_ = nullptr;
};
