#pragma once

#include <windows.h>

#include <cstdint>

#include "app/owning_slot.h"

class SaverWindow;

// Called on every timer tick; the base does nothing so a window without a
// frame step can still tick harmlessly.
class TickHandler {
  public:
    virtual ~TickHandler() = default;
    virtual void invoke(SaverWindow& window) { (void)window; }
};

// Binds one object and one of its member functions as the tick action.
template <typename Owner>
class FrameHandler : public TickHandler {
  public:
    using Step = void (Owner::*)();
    FrameHandler(Owner& owner, Step step) : owner_(owner), step_(step) {}
    void invoke(SaverWindow&) override { (owner_.*step_)(); }

  private:
    Owner& owner_;
    Step step_;
};

// Told the console display's state (DisplayPower's Off, On, Dimmed) whenever the system reports
// it to the window.
class DisplayStateListener {
  public:
    virtual ~DisplayStateListener() = default;
    virtual void displayStateChanged(std::uint32_t state) = 0;
};

// The hidden full-screen popup that receives input and the 20 ms timer.
class SaverWindow {
  public:
    SaverWindow();
    ~SaverWindow();
    SaverWindow(const SaverWindow&) = delete;
    SaverWindow& operator=(const SaverWindow&) = delete;

    HWND handle() const { return handle_; }
    void show();
    void close();
    void setFrameHandler(TickHandler* handler);
    // Not owned; null for none.
    void setDisplayStateListener(DisplayStateListener* listener) { displayListener_ = listener; }
    // The 20 ms timer runs from construction; stopped, it no longer wakes the thread.
    void startTimer();
    void stopTimer();

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // Passes a console display state, the only power setting the saver asks for, on.
    void reportDisplayState(const POWERBROADCAST_SETTING* setting);

    HWND handle_ = nullptr;
    OwningSlot<TickHandler> frameHandler_;
    DisplayStateListener* displayListener_ = nullptr;
};

// Runs the message loop until WM_QUIT or a GetMessageA error, then rethrows what a window
// procedure failed with.
void pumpMessages();
