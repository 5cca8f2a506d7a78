#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/mouse_rule.h"
#include "app/wayland/wayland_proxy.h"
#include "foundation/basic_error.h"

// One output as the compositor describes it: its mode in pixels, scale, transform and place
// in the layout (from xdg-output when there is one), and whether it is powered.
struct WaylandOutput {
    std::uint32_t name = 0;  // the global's
    Proxy<wl_output> output;
    Proxy<zxdg_output_v1> xdgOutput;
    Proxy<zwlr_output_power_v1> power;
    std::string label;
    std::int32_t modeWidth = 0;
    std::int32_t modeHeight = 0;
    std::int32_t scale = 1;
    std::int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
    std::int32_t x = 0;
    std::int32_t y = 0;
    // The compositor has told all of the above at least once.
    bool described = false;
    // Only a compositor that reports power says when an output is off.
    bool powered = true;
    // The compositor took the output away.
    bool gone = false;
};

// The connection to the compositor and the globals misto uses; the user's input on the seat,
// which ends the rain: a key, a button, or a move of the pointer by the mouse rule.
class WaylandDisplay {
  public:
    // Connects to $WAYLAND_DISPLAY and reads the globals and the outputs; throws BasicError
    // without a compositor, or without wl_compositor, wl_shm or the layer shell. Globals named
    // in `ignored` are taken as missing (how the tests play a compositor that lacks them).
    explicit WaylandDisplay(const std::vector<std::string>& ignored = {});
    ~WaylandDisplay();
    WaylandDisplay(const WaylandDisplay&) = delete;
    WaylandDisplay& operator=(const WaylandDisplay&) = delete;

    wl_display* display() const { return display_.get(); }
    wl_compositor* compositor() const { return compositor_.get(); }
    std::uint32_t compositorVersion() const { return compositorVersion_; }
    wl_shm* shm() const { return shm_.get(); }
    zwlr_layer_shell_v1* layerShell() const { return layerShell_.get(); }
    // Null when the compositor does not copy outputs.
    zwlr_screencopy_manager_v1* screencopy() const { return screencopy_.get(); }
    // Every output the compositor has, described or not yet, and those it took away until
    // forgetGoneOutputs().
    const std::vector<std::unique_ptr<WaylandOutput>>& outputs() const { return outputs_; }
    void forgetGoneOutputs();

    // Sends what waits and throws BasicError when the connection failed.
    void roundtrip();
    // The error of a connection that failed, to throw.
    BasicError failure() const;
    // The rain's surfaces are up: a keyboard that comes from now on is the user's at the rain.
    void rainShown() { rainShown_ = true; }
    // Whether the user asked the rain to end.
    bool inputEnded() const { return inputEnded_; }
    // Gives the pointer's surface its output's place, so that positions on every output are
    // in one layout for the mouse rule.
    void placeSurface(wl_surface* surface, const WaylandOutput& output);
    void forgetSurface(wl_surface* surface);

  private:
    struct Listeners;
    friend struct Listeners;

    struct DisplayCloser {
        void operator()(wl_display* display) const { wl_display_disconnect(display); }
    };
    // A surface of the rain and the output it covers, whose place in the layout it takes.
    struct SurfacePlace {
        wl_surface* surface;
        const WaylandOutput* output;
    };

    void addOutput(std::uint32_t name, std::uint32_t version);
    // Asks for the output's name, place and power where the compositor tells them.
    void bindOutputDetails(WaylandOutput& output);
    void pointerAt(wl_fixed_t x, wl_fixed_t y);

    std::unique_ptr<wl_display, DisplayCloser> display_;
    Proxy<wl_registry> registry_;
    Proxy<wl_compositor> compositor_;
    std::uint32_t compositorVersion_ = 0;
    Proxy<wl_shm> shm_;
    Proxy<zwlr_layer_shell_v1> layerShell_;
    Proxy<zwlr_screencopy_manager_v1> screencopy_;
    Proxy<zxdg_output_manager_v1> xdgOutputs_;
    Proxy<zwlr_output_power_manager_v1> outputPower_;
    std::vector<std::string> ignored_;
    // The globals of the first reading are bound; outputs that come later are described as
    // they come.
    bool globalsRead_ = false;
    Proxy<wl_seat> seat_;
    Proxy<wl_keyboard> keyboard_;
    Proxy<wl_pointer> pointer_;
    std::vector<std::unique_ptr<WaylandOutput>> outputs_;
    std::vector<SurfacePlace> places_;
    SurfacePlace pointerOn_{nullptr, nullptr};
    MouseRule mouse_;
    // The keys held when the keyboard came to the rain's surface.
    std::vector<std::uint32_t> heldAtEnter_;
    bool rainShown_ = false;
    bool lateKeyboard_ = false;
    bool inputEnded_ = false;
};
