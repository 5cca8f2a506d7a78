// The tests' pointer on a wlroots compositor, through a virtual pointer device that lasts as
// long as the program: a client started while it runs finds a pointer on the seat from its
// start, as with a real mouse. Reads steps from stdin, one a line:
//   abs X Y WIDTH HEIGHT   a move to X, Y of a layout of WIDTH x HEIGHT
//   rel DX DY              a move by DX, DY
//   click                  the left button down and up
// Each step is one frame; once the compositor has taken it, "done N" (N counting from 1) goes
// to stdout. Ends at the end of stdin.
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "virtual-pointer-client.h"

namespace {

constexpr std::uint32_t kLeftButton = 0x110;  // BTN_LEFT

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t) {
    auto& globals = *static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals.seat == nullptr) {
        globals.seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        globals.manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}

void globalRemove(void*, wl_registry*, std::uint32_t) {}

int fail(const char* why) {
    std::fprintf(stderr, "virtual_pointer: %s\n", why);
    return 1;
}

}  // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return fail("no Wayland display");
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    static const wl_registry_listener listener = {&global, &globalRemove};
    wl_registry_add_listener(registry, &listener, &globals);
    wl_display_roundtrip(display);
    if (globals.seat == nullptr || globals.manager == nullptr) {
        return fail("the compositor offers no seat or no virtual pointers");
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
    std::uint32_t time = 1;
    int done = 0;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string step;
        words >> step;
        if (step == "abs") {
            std::uint32_t x = 0, y = 0, width = 0, height = 0;
            words >> x >> y >> width >> height;
            zwlr_virtual_pointer_v1_motion_absolute(pointer, time, x, y, width, height);
        } else if (step == "rel") {
            int dx = 0, dy = 0;
            words >> dx >> dy;
            zwlr_virtual_pointer_v1_motion(pointer, time, wl_fixed_from_int(dx),
                                           wl_fixed_from_int(dy));
        } else if (step == "click") {
            zwlr_virtual_pointer_v1_button(pointer, time, kLeftButton,
                                           WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, time + 1, kLeftButton,
                                           WL_POINTER_BUTTON_STATE_RELEASED);
        } else {
            return fail(("no such step: " + line).c_str());
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        time += 10;
        if (wl_display_roundtrip(display) < 0) return fail("the connection failed");
        std::printf("done %d\n", ++done);
        std::fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    zwlr_virtual_pointer_manager_v1_destroy(globals.manager);
    wl_seat_destroy(globals.seat);
    wl_registry_destroy(registry);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
