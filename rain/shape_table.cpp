#include "rain/shape_table.h"

#include <algorithm>

ShapeTable::ShapeTable(std::int32_t radiusLimit, ShapeKind kind) : limit_(radiusLimit) {
    for (std::int32_t k = 1; k <= radiusLimit; ++k) {
        for (std::int32_t t = 0; t <= k; ++t) {
            std::unique_ptr<DropShape> s;
            if (kind == ShapeKind::Track)
                s = std::make_unique<TrackShape>(k, t);
            else
                s = std::make_unique<BodyShape>(k, t);
            s->build();
            shapes_.push_back(std::move(s));
        }
    }
}

const DropShape& ShapeTable::lookup(std::int32_t radius, std::int32_t tail) const {
    tail = std::clamp(tail, 0, radius);
    // Row k - 1 starts after 2 + 3 + ... + k shapes.
    const std::size_t rowStart = static_cast<std::size_t>(radius - 1) * (radius + 2) / 2;
    return *shapes_[rowStart + static_cast<std::size_t>(tail)];
}
