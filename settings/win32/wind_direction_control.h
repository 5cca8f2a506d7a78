#pragma once

#include <windows.h>

// The "Wind Direction Control" window class: a needle hanging from a hub on the top edge shows
// the wind direction and follows the mouse while the left button is held. Left and Right turn
// it by 5 degrees, Home and End go to the limits. The object lives as long as its window.
class WindDirectionControl {
  public:
    // A new control in `rect` (parent's client coordinates); nullptr if no window was made.
    static WindDirectionControl* create(HWND parent, const RECT& rect);

    HWND window() const { return window_; }
    float angle() const { return angle_; }
    void setAngle(float radians);
    void setLimits(float minimum, float maximum);

  private:
    explicit WindDirectionControl(HWND window);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Takes the size of the client area: the needle's length and the hub's place.
    void measure();
    void paint();
    void redraw();
    void pointAt(LPARAM position);
    void track();

    HWND window_;
    int width_ = 0;
    int height_ = 0;
    float angle_;
    int hubX_ = 0;
    int hubY_ = 0;
    float minAngle_;
    float maxAngle_;
    // Cleared when the capture goes elsewhere, which ends a running track.
    bool tracking_ = false;
};
