#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

// Numbered places sorted into square cells of 32 pixels, so that the ones near a point are
// found by visiting a few cells instead of every place. Places off the plane count in its
// border cells, so none is ever lost.
class SpotGrid {
  public:
    // An empty grid over a plane of `width` x `height` pixels.
    void reset(std::int32_t width, std::int32_t height);
    void insert(std::uint32_t index, std::int32_t x, std::int32_t y);
    // Moves place `index` from where it was to (x, y).
    void move(std::uint32_t index, std::int32_t fromX, std::int32_t fromY, std::int32_t x,
              std::int32_t y);

    // Calls visit(index) for every place of a cell that meets the square of half-side `reach`
    // around (x, y): all places inside the square and some more, each once, in no order.
    template <typename Visit>
    void visitNear(std::int32_t x, std::int32_t y, std::uint32_t reach, Visit visit) const {
        const std::int32_t c0 = cellOf(static_cast<std::int64_t>(x) - reach, cols_);
        const std::int32_t c1 = cellOf(static_cast<std::int64_t>(x) + reach, cols_);
        const std::int32_t r0 = cellOf(static_cast<std::int64_t>(y) - reach, rows_);
        const std::int32_t r1 = cellOf(static_cast<std::int64_t>(y) + reach, rows_);
        for (std::int32_t r = r0; r <= r1; ++r)
            for (std::int32_t c = c0; c <= c1; ++c)
                for (std::uint32_t index : cells_[static_cast<std::size_t>(r) * cols_ + c])
                    visit(index);
    }

  private:
    static constexpr int kShift = 5;
    static std::int32_t cellOf(std::int64_t v, std::int32_t cells) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v >> kShift, 0, cells - 1));
    }
    std::vector<std::uint32_t>& cellAt(std::int32_t x, std::int32_t y) {
        return cells_[static_cast<std::size_t>(cellOf(y, rows_)) * cols_ + cellOf(x, cols_)];
    }

    std::int32_t cols_ = 1, rows_ = 1;
    std::vector<std::vector<std::uint32_t>> cells_ = std::vector<std::vector<std::uint32_t>>(1);
};
