#pragma once

#include <utility>

// Holds an object with an owns flag: assigning a new object deletes the old one if it was
// owned, release() hands it over, and destruction deletes what is still owned.
template <typename T>
class OwningSlot {
  public:
    OwningSlot() = default;
    OwningSlot(const OwningSlot&) = delete;
    OwningSlot& operator=(const OwningSlot&) = delete;
    ~OwningSlot() { reset(); }

    void reset(T* object = nullptr, bool owns = true) {
        if (object != pointer_ && owns_) delete pointer_;
        pointer_ = object;
        owns_ = object != nullptr && owns;
    }
    T* release() {
        owns_ = false;
        return pointer_;
    }
    T* get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    T& operator*() const { return *pointer_; }
    bool owns() const { return owns_; }
    explicit operator bool() const { return pointer_ != nullptr; }

  private:
    bool owns_ = false;
    T* pointer_ = nullptr;
};
