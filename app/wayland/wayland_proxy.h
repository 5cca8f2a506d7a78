#pragma once

#include <wayland-client.h>

#include <memory>

// The layer shell names an argument "namespace", a C++ keyword: its header is read with the
// word renamed.
#define namespace namespace_
#include <layer-shell-client.h>
#undef namespace
#include <output-power-client.h>
#include <screencopy-client.h>
#include <xdg-output-unstable-v1-client.h>

// How each kind of Wayland object misto makes goes: with its destructor request where the
// protocol has one, else on the client's side alone.
inline void destroyProxy(wl_registry* p) { wl_registry_destroy(p); }
inline void destroyProxy(wl_compositor* p) { wl_compositor_destroy(p); }
inline void destroyProxy(wl_shm* p) { wl_shm_destroy(p); }
inline void destroyProxy(wl_seat* p) { wl_seat_destroy(p); }
inline void destroyProxy(wl_keyboard* p) { wl_keyboard_destroy(p); }
inline void destroyProxy(wl_pointer* p) { wl_pointer_destroy(p); }
inline void destroyProxy(wl_output* p) { wl_output_destroy(p); }
inline void destroyProxy(wl_surface* p) { wl_surface_destroy(p); }
inline void destroyProxy(wl_buffer* p) { wl_buffer_destroy(p); }
inline void destroyProxy(wl_callback* p) { wl_callback_destroy(p); }
inline void destroyProxy(zxdg_output_manager_v1* p) { zxdg_output_manager_v1_destroy(p); }
inline void destroyProxy(zxdg_output_v1* p) { zxdg_output_v1_destroy(p); }
// The shell's destroy request comes with version 3; an older one goes on the client's side.
inline void destroyProxy(zwlr_layer_shell_v1* p) {
    if (zwlr_layer_shell_v1_get_version(p) >= ZWLR_LAYER_SHELL_V1_DESTROY_SINCE_VERSION) {
        zwlr_layer_shell_v1_destroy(p);
    } else {
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(p));
    }
}
inline void destroyProxy(zwlr_layer_surface_v1* p) { zwlr_layer_surface_v1_destroy(p); }
inline void destroyProxy(zwlr_screencopy_manager_v1* p) { zwlr_screencopy_manager_v1_destroy(p); }
inline void destroyProxy(zwlr_screencopy_frame_v1* p) { zwlr_screencopy_frame_v1_destroy(p); }
inline void destroyProxy(zwlr_output_power_manager_v1* p) {
    zwlr_output_power_manager_v1_destroy(p);
}
inline void destroyProxy(zwlr_output_power_v1* p) { zwlr_output_power_v1_destroy(p); }

struct ProxyDestroyer {
    template <typename T>
    void operator()(T* proxy) const {
        if (proxy != nullptr) destroyProxy(proxy);
    }
};

// A Wayland object owned by the code that made it, destroyed when its owner goes.
template <typename T>
using Proxy = std::unique_ptr<T, ProxyDestroyer>;
