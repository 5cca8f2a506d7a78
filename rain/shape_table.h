#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "rain/drop_shape.h"

// Triangular table: for radius k = 1 ... K one built shape per tail 0 ... k.
class ShapeTable {
  public:
    ShapeTable(std::int32_t radiusLimit, ShapeKind kind);

    // The tail is clamped to 0 ... radius; the radius must lie in 1 ... K.
    const DropShape& lookup(std::int32_t radius, std::int32_t tail) const;
    std::int32_t radiusLimit() const { return limit_; }

  private:
    std::int32_t limit_;
    std::vector<std::unique_ptr<DropShape>> shapes_;
};
