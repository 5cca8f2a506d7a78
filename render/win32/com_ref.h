#pragma once

#include <utility>

// One counted reference to a COM interface, given back with Release when the holder goes.
// Move-only: a copy would need an AddRef nobody asked for.
template <typename Interface>
class ComRef {
  public:
    ComRef() = default;
    explicit ComRef(Interface* pointer) : pointer_(pointer) {}
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) reset(std::exchange(other.pointer_, nullptr));
        return *this;
    }
    ~ComRef() { reset(); }

    void reset(Interface* pointer = nullptr) {
        if (pointer_ != nullptr) pointer_->Release();
        pointer_ = pointer;
    }
    // Hands the reference over; the caller releases it.
    Interface* detach() { return std::exchange(pointer_, nullptr); }
    // For functions that return a new reference through an out-parameter.
    Interface** out() {
        reset();
        return &pointer_;
    }
    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

  private:
    Interface* pointer_ = nullptr;
};
