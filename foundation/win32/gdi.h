#pragma once

#include <windows.h>

#include <utility>

// Small owners of GDI objects, so that painting code releases what it made on every path.
namespace Gdi {

// A pen, brush or bitmap, deleted at the end.
class Object {
  public:
    explicit Object(HGDIOBJ handle = nullptr) : handle_(handle) {}
    ~Object() {
        if (handle_ != nullptr) DeleteObject(handle_);
    }
    Object(Object&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Object& operator=(Object&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    HGDIOBJ get() const { return handle_; }

  private:
    HGDIOBJ handle_;
};

// A memory device context compatible with another one.
class MemoryDc {
  public:
    explicit MemoryDc(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
    ~MemoryDc() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

// A window's device context (the whole screen's for no window), given back at the end.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// An object selected into a context; the one it replaced goes back at the end.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// One WM_PAINT cycle: BeginPaint now, EndPaint at the end.
class PaintCycle {
  public:
    explicit PaintCycle(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintCycle() { EndPaint(window_, &paint_); }
    PaintCycle(const PaintCycle&) = delete;
    PaintCycle& operator=(const PaintCycle&) = delete;
    HDC dc() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_ = {};
    HDC dc_ = nullptr;
};

}  // namespace Gdi
