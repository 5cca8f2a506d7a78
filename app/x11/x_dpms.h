#pragma once

#include "app/monitor_power_watch.h"
#include "app/x11/xlib.h"

// The monitor's power as the X server's DPMS extension reports it. A server without the
// extension, or with DPMS switched off, keeps its monitor on.
class XDpms : public MonitorPower {
  public:
    explicit XDpms(Display* display);
    bool on() override;

  private:
    Display* display_;
    bool present_;
};
