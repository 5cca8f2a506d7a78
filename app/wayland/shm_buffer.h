#pragma once

#include <wayland-client.h>

#include <cstddef>
#include <cstdint>

#include "app/wayland/wayland_proxy.h"
#include "render/tracer/surface.h"

// A wl_shm buffer of `width` x `height` pixels in memory shared with the compositor. Once
// attached and committed it is the compositor's until its `release`: busy() says so.
class ShmBuffer {
  public:
    // Throws BasicError when the memory cannot be had.
    ShmBuffer(wl_shm* shm, std::int32_t width, std::int32_t height, std::int32_t stride,
              std::uint32_t format);
    ~ShmBuffer();
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;

    wl_buffer* buffer() const { return buffer_.get(); }
    bool busy() const { return busy_; }
    // The compositor holds the buffer from the commit that follows until it releases it.
    void handOver() { busy_ = true; }

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    std::int32_t stride() const { return stride_; }
    std::uint8_t* pixels() const { return static_cast<std::uint8_t*>(memory_); }
    // As a 32-bit surface (XRGB8888: masks ff0000, ff00, ff).
    SurfaceDesc description() const;

  private:
    static void released(void* data, wl_buffer* buffer);

    std::int32_t width_;
    std::int32_t height_;
    std::int32_t stride_;
    std::size_t size_;
    void* memory_ = nullptr;
    Proxy<wl_buffer> buffer_;
    bool busy_ = false;
};
