#include "app/x11/x_errors.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

int firstError = 0;

int recordError(Display*, XErrorEvent* event) {
    if (firstError == 0) firstError = event->error_code;
    return 0;
}

int displayLost(Display*) {
    // Xlib ends the process when this returns; say why first. Every shared segment is marked for
    // removal as soon as the server has attached it, so nothing is left behind.
    std::fputs("misto: the connection to the X display was lost\n", stderr);
    _exit(1);
}

}  // namespace

namespace XErrors {

void install() {
    XSetErrorHandler(recordError);
    XSetIOErrorHandler(displayLost);
}

int take() {
    const int code = firstError;
    firstError = 0;
    return code;
}

}  // namespace XErrors
