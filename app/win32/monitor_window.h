#pragma once

#include <windows.h>

#include <vector>

#include "engine/monitor_rain.h"

// The saver's top-most borderless window over one monitor other than the primary. It shows a
// picture (a memory device context) and hands every input to the saver's own window, whose
// rules then decide: a key or a button ends the run, a move counts from the first point seen.
class MonitorWindow {
  public:
    // Created hidden, exactly on `area`.
    MonitorWindow(const PixelArea& area, HWND saverWindow, HDC picture);
    ~MonitorWindow();
    MonitorWindow(const MonitorWindow&) = delete;
    MonitorWindow& operator=(const MonitorWindow&) = delete;

    HWND handle() const { return handle_; }
    // Shows the window without taking the focus from the saver's window, painted at once.
    void show();
    // Copies the picture's rectangles (right and bottom exclusive) to the same places on screen.
    void paint(const std::vector<PixelArea>& parts);

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    HWND handle_ = nullptr;
    HWND saver_;
    HDC picture_;
};
