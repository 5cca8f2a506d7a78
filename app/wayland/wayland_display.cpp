#include "app/wayland/wayland_display.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "foundation/basic_error.h"

namespace {

template <typename T>
T* bind(wl_registry* registry, std::uint32_t name, const wl_interface* interface,
        std::uint32_t offered, std::uint32_t wanted) {
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

}  // namespace

// The compositor's events, each handed to the WaylandDisplay (or output) it was added with.
struct WaylandDisplay::Listeners {
    static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version) {
        auto& self = *static_cast<WaylandDisplay*>(data);
        const std::string kind = interface;
        if (std::find(self.ignored_.begin(), self.ignored_.end(), kind) != self.ignored_.end()) {
            return;
        }
        if (kind == wl_output_interface.name) {
            self.addOutput(name, version);
        } else if (self.globalsRead_) {
            // The rest are bound once, from the first reading.
            return;
        } else if (kind == wl_compositor_interface.name) {
            self.compositorVersion_ = std::min<std::uint32_t>(version, 4);
            self.compositor_.reset(
                bind<wl_compositor>(registry, name, &wl_compositor_interface, version, 4));
        } else if (kind == wl_shm_interface.name) {
            self.shm_.reset(bind<wl_shm>(registry, name, &wl_shm_interface, version, 1));
        } else if (kind == zwlr_layer_shell_v1_interface.name) {
            self.layerShell_.reset(bind<zwlr_layer_shell_v1>(
                registry, name, &zwlr_layer_shell_v1_interface, version, 1));
        } else if (kind == zwlr_screencopy_manager_v1_interface.name) {
            // Version 1: every frame offers a wl_shm buffer, and the copy may follow at once.
            self.screencopy_.reset(bind<zwlr_screencopy_manager_v1>(
                registry, name, &zwlr_screencopy_manager_v1_interface, version, 1));
        } else if (kind == zxdg_output_manager_v1_interface.name) {
            self.xdgOutputs_.reset(bind<zxdg_output_manager_v1>(
                registry, name, &zxdg_output_manager_v1_interface, version, 2));
        } else if (kind == zwlr_output_power_manager_v1_interface.name) {
            self.outputPower_.reset(bind<zwlr_output_power_manager_v1>(
                registry, name, &zwlr_output_power_manager_v1_interface, version, 1));
        } else if (kind == wl_seat_interface.name && !self.seat_) {
            self.seat_.reset(bind<wl_seat>(registry, name, &wl_seat_interface, version, 5));
            static const wl_seat_listener seatListener = {&Listeners::capabilities,
                                                          &Listeners::seatName};
            wl_seat_add_listener(self.seat_.get(), &seatListener, &self);
        }
    }
    // An output taken away loses its rain; the rain on the others goes on.
    static void globalRemove(void* data, wl_registry*, std::uint32_t name) {
        for (const auto& output : static_cast<WaylandDisplay*>(data)->outputs_) {
            if (output->name == name) output->gone = true;
        }
    }

    static void geometry(void* data, wl_output*, std::int32_t, std::int32_t, std::int32_t,
                         std::int32_t, std::int32_t, const char* make, const char* model,
                         std::int32_t transform) {
        auto& output = *static_cast<WaylandOutput*>(data);
        output.transform = transform;
        if (output.label.empty()) output.label = std::string(make) + " " + model;
    }
    static void mode(void* data, wl_output*, std::uint32_t flags, std::int32_t width,
                     std::int32_t height, std::int32_t) {
        if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
        auto& output = *static_cast<WaylandOutput*>(data);
        output.modeWidth = width;
        output.modeHeight = height;
    }
    static void outputDone(void* data, wl_output*) {
        static_cast<WaylandOutput*>(data)->described = true;
    }
    static void outputScale(void* data, wl_output*, std::int32_t factor) {
        static_cast<WaylandOutput*>(data)->scale = std::max(factor, 1);
    }

    static void logicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
        auto& output = *static_cast<WaylandOutput*>(data);
        output.x = x;
        output.y = y;
    }
    static void logicalSize(void*, zxdg_output_v1*, std::int32_t, std::int32_t) {}
    static void xdgDone(void*, zxdg_output_v1*) {}
    static void xdgName(void* data, zxdg_output_v1*, const char* name) {
        static_cast<WaylandOutput*>(data)->label = name;
    }
    static void xdgDescription(void*, zxdg_output_v1*, const char*) {}

    static void powerMode(void* data, zwlr_output_power_v1*, std::uint32_t mode) {
        static_cast<WaylandOutput*>(data)->powered = mode != ZWLR_OUTPUT_POWER_V1_MODE_OFF;
    }
    // Another client controls the output's power, or the output cannot report it: it counts
    // as on, and the frame callbacks alone say when it shows.
    static void powerFailed(void* data, zwlr_output_power_v1*) {
        auto& output = *static_cast<WaylandOutput*>(data);
        output.power.reset();
        output.powered = true;
    }

    static void capabilities(void* data, wl_seat* seat, std::uint32_t caps) {
        auto& self = *static_cast<WaylandDisplay*>(data);
        if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && !self.keyboard_) {
            self.keyboard_.reset(wl_seat_get_keyboard(seat));
            self.lateKeyboard_ = self.rainShown_;
            static const wl_keyboard_listener keyboardListener = {
                &Listeners::keymap, &Listeners::keyboardEnter, &Listeners::keyboardLeave,
                &Listeners::key,    &Listeners::modifiers,     &Listeners::repeatInfo};
            wl_keyboard_add_listener(self.keyboard_.get(), &keyboardListener, &self);
        }
        if ((caps & WL_SEAT_CAPABILITY_POINTER) != 0 && !self.pointer_) {
            self.pointer_.reset(wl_seat_get_pointer(seat));
            static const wl_pointer_listener pointerListener = {
                &Listeners::pointerEnter, &Listeners::pointerLeave, &Listeners::motion,
                &Listeners::button, &Listeners::axis, &Listeners::pointerFrame,
                &Listeners::axisSource, &Listeners::axisStop, &Listeners::axisDiscrete,
                // From version 8, above the one bound.
                nullptr};
            wl_pointer_add_listener(self.pointer_.get(), &pointerListener, &self);
        }
    }
    static void seatName(void*, wl_seat*, const char*) {}

    static void keymap(void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t) {
        close(fd);
    }
    static void keyboardEnter(void* data, wl_keyboard*, std::uint32_t, wl_surface*,
                              wl_array* keys) {
        auto& self = *static_cast<WaylandDisplay*>(data);
        // A keyboard that came while the rain showed had its keys pressed over the rain.
        if (self.lateKeyboard_) return;
        const auto* key = static_cast<const std::uint32_t*>(keys->data);
        self.heldAtEnter_.assign(key, key + keys->size / sizeof(std::uint32_t));
    }
    static void keyboardLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
    // A key pressed ends the run, and so does one released that was not held when the
    // keyboard came to the rain. The key that started misto, held as the rain came, ends
    // nothing when it is let go; a keyboard that appears while the rain shows (a virtual one,
    // made for one key) brings its first press before misto has a wl_keyboard to hear it,
    // and the release of that key ends the run.
    static void key(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
                    std::uint32_t state) {
        auto& self = *static_cast<WaylandDisplay*>(data);
        auto held = std::find(self.heldAtEnter_.begin(), self.heldAtEnter_.end(), key);
        if (state == WL_KEYBOARD_KEY_STATE_RELEASED && held != self.heldAtEnter_.end()) {
            self.heldAtEnter_.erase(held);
            return;
        }
        self.inputEnded_ = true;
    }
    static void modifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                          std::uint32_t, std::uint32_t) {}
    static void repeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

    static void pointerEnter(void* data, wl_pointer* pointer, std::uint32_t serial,
                             wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
        auto& self = *static_cast<WaylandDisplay*>(data);
        // No pointer over the rain.
        wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
        self.pointerOn_ = SurfacePlace{surface, nullptr};
        for (const SurfacePlace& place : self.places_) {
            if (place.surface == surface) self.pointerOn_ = place;
        }
        self.pointerAt(x, y);
    }
    static void pointerLeave(void*, wl_pointer*, std::uint32_t, wl_surface*) {}
    static void motion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
        static_cast<WaylandDisplay*>(data)->pointerAt(x, y);
    }
    static void button(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t,
                       std::uint32_t state) {
        if (state == WL_POINTER_BUTTON_STATE_PRESSED) {
            static_cast<WaylandDisplay*>(data)->inputEnded_ = true;
        }
    }
    static void axis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}
    static void pointerFrame(void*, wl_pointer*) {}
    static void axisSource(void*, wl_pointer*, std::uint32_t) {}
    static void axisStop(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}
    static void axisDiscrete(void*, wl_pointer*, std::uint32_t, std::int32_t) {}
};

WaylandDisplay::WaylandDisplay(const std::vector<std::string>& ignored) : ignored_(ignored) {
    display_.reset(wl_display_connect(nullptr));
    if (!display_) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        throw BasicError(std::string("cannot connect to the Wayland display \"") +
                         (name != nullptr ? name : "wayland-0") + "\"");
    }
    registry_.reset(wl_display_get_registry(display_.get()));
    static const wl_registry_listener registryListener = {&Listeners::global,
                                                          &Listeners::globalRemove};
    wl_registry_add_listener(registry_.get(), &registryListener, this);
    roundtrip();
    if (!compositor_ || !shm_) throw BasicError("the compositor offers no wl_compositor or wl_shm");
    if (!layerShell_) {
        throw BasicError(
            "the compositor offers no layer shell (zwlr_layer_shell_v1) to show "
            "the rain above every window");
    }
    globalsRead_ = true;
    for (const auto& output : outputs_) bindOutputDetails(*output);
    // The outputs' modes, scales, places and power.
    roundtrip();
    if (outputs_.empty()) throw BasicError("the compositor shows no output");
}

WaylandDisplay::~WaylandDisplay() {
    keyboard_.reset();
    pointer_.reset();
    seat_.reset();
    outputs_.clear();
    outputPower_.reset();
    xdgOutputs_.reset();
    screencopy_.reset();
    layerShell_.reset();
    shm_.reset();
    compositor_.reset();
    registry_.reset();
    if (display_) wl_display_flush(display_.get());
}

void WaylandDisplay::addOutput(std::uint32_t name, std::uint32_t version) {
    auto output = std::make_unique<WaylandOutput>();
    output->name = name;
    output->output.reset(bind<wl_output>(registry_.get(), name, &wl_output_interface, version, 2));
    static const wl_output_listener outputListener = {
        &Listeners::geometry, &Listeners::mode, &Listeners::outputDone, &Listeners::outputScale,
        // name and description come from version 4, above the one bound.
        nullptr, nullptr};
    wl_output_add_listener(output->output.get(), &outputListener, output.get());
    // The managers of the first reading may come after its outputs; those are described once
    // it is read.
    if (globalsRead_) bindOutputDetails(*output);
    outputs_.push_back(std::move(output));
}

void WaylandDisplay::bindOutputDetails(WaylandOutput& output) {
    if (xdgOutputs_) {
        output.xdgOutput.reset(
            zxdg_output_manager_v1_get_xdg_output(xdgOutputs_.get(), output.output.get()));
        static const zxdg_output_v1_listener listener = {
            &Listeners::logicalPosition, &Listeners::logicalSize, &Listeners::xdgDone,
            &Listeners::xdgName, &Listeners::xdgDescription};
        zxdg_output_v1_add_listener(output.xdgOutput.get(), &listener, &output);
    }
    if (outputPower_) {
        output.power.reset(
            zwlr_output_power_manager_v1_get_output_power(outputPower_.get(), output.output.get()));
        static const zwlr_output_power_v1_listener listener = {&Listeners::powerMode,
                                                               &Listeners::powerFailed};
        zwlr_output_power_v1_add_listener(output.power.get(), &listener, &output);
    }
}

void WaylandDisplay::forgetGoneOutputs() {
    outputs_.erase(std::remove_if(outputs_.begin(), outputs_.end(),
                                  [](const auto& output) { return output->gone; }),
                   outputs_.end());
}

void WaylandDisplay::roundtrip() {
    if (wl_display_roundtrip(display_.get()) < 0) throw failure();
}

BasicError WaylandDisplay::failure() const {
    const int error = wl_display_get_error(display_.get());
    return BasicError(std::string("the Wayland connection failed: ") +
                      std::strerror(error != 0 ? error : errno));
}

void WaylandDisplay::placeSurface(wl_surface* surface, const WaylandOutput& output) {
    places_.push_back(SurfacePlace{surface, &output});
}

void WaylandDisplay::forgetSurface(wl_surface* surface) {
    places_.erase(
        std::remove_if(places_.begin(), places_.end(),
                       [&](const SurfacePlace& place) { return place.surface == surface; }),
        places_.end());
    if (pointerOn_.surface == surface) pointerOn_ = SurfacePlace{nullptr, nullptr};
}

void WaylandDisplay::pointerAt(wl_fixed_t x, wl_fixed_t y) {
    // Where the output lies now: an output moved in the layout carries its surface along.
    const WaylandOutput* output = pointerOn_.output;
    const int ax = std::clamp((output != nullptr ? output->x : 0) + wl_fixed_to_int(x), 0, 65535);
    const int ay = std::clamp((output != nullptr ? output->y : 0) + wl_fixed_to_int(y), 0, 65535);
    if (mouse_.moved(static_cast<std::uint16_t>(ax), static_cast<std::uint16_t>(ay))) {
        inputEnded_ = true;
    }
}
