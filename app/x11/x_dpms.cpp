#include "app/x11/x_dpms.h"

#include <X11/extensions/dpms.h>

XDpms::XDpms(Display* display) : display_(display) {
    int event = 0;
    int error = 0;
    // Asked first: calling into a missing extension makes Xlib print a warning.
    present_ = DPMSQueryExtension(display, &event, &error) && DPMSCapable(display);
}

bool XDpms::on() {
    if (!present_) return true;
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    if (!DPMSInfo(display_, &level, &enabled)) return true;
    return !enabled || level == DPMSModeOn;
}
