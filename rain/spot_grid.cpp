#include "rain/spot_grid.h"

void SpotGrid::reset(std::int32_t width, std::int32_t height) {
    cols_ = std::max<std::int32_t>(1, (std::max(width, 1) + (1 << kShift) - 1) >> kShift);
    rows_ = std::max<std::int32_t>(1, (std::max(height, 1) + (1 << kShift) - 1) >> kShift);
    // The cells keep their memory from pass to pass; only their contents go.
    cells_.resize(static_cast<std::size_t>(cols_) * rows_);
    for (auto& cell : cells_) cell.clear();
}

void SpotGrid::insert(std::uint32_t index, std::int32_t x, std::int32_t y) {
    cellAt(x, y).push_back(index);
}

void SpotGrid::move(std::uint32_t index, std::int32_t fromX, std::int32_t fromY, std::int32_t x,
                    std::int32_t y) {
    std::vector<std::uint32_t>& from = cellAt(fromX, fromY);
    std::vector<std::uint32_t>& to = cellAt(x, y);
    if (&from == &to) return;
    const auto at = std::find(from.begin(), from.end(), index);
    if (at != from.end()) {
        *at = from.back();
        from.pop_back();
    }
    to.push_back(index);
}
