#include "rain/drop_shape.h"

#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "rain/surface_grid.h"

namespace {

struct Vec {
    std::int32_t x, y, z;
};

Vec sub(const Vec& a, const Vec& b) { return Vec{a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec cross(const Vec& a, const Vec& b) {
    return Vec{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

std::int32_t isqrt(std::int32_t v) {
    return v > 0 ? static_cast<std::int32_t>(std::sqrt(static_cast<double>(v))) : 0;
}

// Integer unit vector at scale 1024; components are first brought down by 10 bits so the
// squares fit 32 bits.
Vec unit(const Vec& n) {
    Vec s{n.x >> 10, n.y >> 10, n.z >> 10};
    std::int32_t len = isqrt(s.x * s.x + s.y * s.y + s.z * s.z);
    if (len == 0) return Vec{0, 0, 0};
    return Vec{s.x * 1024 / len, s.y * 1024 / len, s.z * 1024 / len};
}

constexpr SurfacePoint kTrackMarker{1, 0, 0, 1};
// The bits of a point's record, read as one word, that hold its height.
constexpr std::uint32_t kHeightBits =
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    0xFF000000u;
#else
    0x000000FFu;
#endif

// Writes one row of a shape into the map: each point of the shape that holds water becomes
// the shape's record, or the track marker; the others keep what the map held. Four points at a
// time where SSE2 is at hand.
template <bool Marker>
void stamp_row(const SurfacePoint* src, SurfacePoint* dest, std::int32_t cols) {
    std::int32_t j = 0;
#if defined(__SSE2__)
    std::uint32_t marker;
    std::memcpy(&marker, &kTrackMarker, sizeof marker);
    const __m128i markers = _mm_set1_epi32(static_cast<int>(marker));
    const __m128i heights = _mm_set1_epi32(static_cast<int>(kHeightBits));
    for (; j + 4 <= cols; j += 4) {
        const __m128i shape = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + j));
        const __m128i dry = _mm_cmpeq_epi32(_mm_and_si128(shape, heights), _mm_setzero_si128());
        auto* at = reinterpret_cast<__m128i*>(dest + j);
        const __m128i wet = Marker ? markers : shape;
        _mm_storeu_si128(
            at, _mm_or_si128(_mm_and_si128(dry, _mm_loadu_si128(at)), _mm_andnot_si128(dry, wet)));
    }
#endif
    for (; j < cols; ++j)
        if (src[j].height != 0) dest[j] = Marker ? kTrackMarker : src[j];
}

}  // namespace

DropShape::DropShape(std::int32_t r, std::int32_t t)
    : built(false),
      anchor_x(r),
      anchor_y(r + t),
      width(2 * r),
      height(2 * r + t),
      radius(r),
      tail(t),
      points(static_cast<std::size_t>(2 * r) * static_cast<std::size_t>(2 * r + t),
             SurfacePoint{0, 0, 0, 0}) {}

DropShape::~DropShape() = default;

void DropShape::build() {
    if (built) return;
    buildHeights();
    buildNormals();
    built = true;
}

void DropShape::buildHeights() {
    const std::int32_t r = radius;
    const std::int32_t t = tail;
    // The single-precision roundings shape the visible peaks and tip points; keep them.
    const float c = static_cast<float>(r) / static_cast<float>(r + t);
    const double cd = c;
    // The quotient is taken wider than single precision; only the difference is rounded.
    const double rOverC = static_cast<double>(r) / cd;
    for (std::int32_t i = 0; i < height; ++i) {
        const double d = static_cast<float>(static_cast<double>(i) - rOverC);
        for (std::int32_t j = 0; j < width; ++j) {
            const double dx = j - r;
            double factor = 1.0;
            if (d < 0) factor = 1.0 + (0.5 * d) / rOverC;
            double q;
            if (d > 0)
                q = static_cast<double>(r) * r - dx * dx - d * d;
            else
                q = static_cast<double>(r) * r - dx * dx - (d * cd) * (d * cd);
            const double z = q > 0 ? std::sqrt(q) * factor : 0.0;
            points[static_cast<std::size_t>(i) * width + j].height =
                static_cast<std::uint8_t>(static_cast<std::int32_t>(profile(z)));
        }
    }
}

void DropShape::buildNormals() {
    auto vertex = [this](std::int32_t j, std::int32_t i) {
        const std::int32_t h = point(j, i).height;
        return Vec{1024 * j, 1024 * i, 1024 * 4 * (radius - h)};
    };
    for (std::int32_t i = 0; i < height; ++i) {
        for (std::int32_t j = 0; j < width; ++j) {
            const Vec c = vertex(j, i);
            Vec sum{0, 0, 0};
            std::int32_t k = 0;
            auto add = [&](const Vec& n) {
                const Vec u = unit(n);
                sum.x += u.x;
                sum.y += u.y;
                sum.z += u.z;
                ++k;
            };
            const bool up = i >= 1, down = i <= height - 2, left = j >= 1, right = j <= width - 2;
            if (up && left) add(cross(sub(vertex(j - 1, i), c), sub(vertex(j, i - 1), c)));
            if (up && right) add(cross(sub(vertex(j, i - 1), c), sub(vertex(j + 1, i), c)));
            if (down && right) add(cross(sub(vertex(j + 1, i), c), sub(vertex(j, i + 1), c)));
            if (down && left) add(cross(sub(vertex(j, i + 1), c), sub(vertex(j - 1, i), c)));
            if (k == 0) continue;
            const Vec f{2 * (sum.x / k), 2 * (sum.y / k), sum.z / k};
            const std::int32_t len = isqrt(f.x * f.x + f.y * f.y + f.z * f.z);
            if (len == 0) continue;
            SurfacePoint& p = points[static_cast<std::size_t>(i) * width + j];
            p.normalX = static_cast<std::int8_t>((f.x * 1024 / len) >> 4);
            p.normalY = static_cast<std::int8_t>((f.y * 1024 / len) >> 4);
            p.normalZ = static_cast<std::int8_t>((f.z * 1024 / len) >> 4);
        }
    }
}

ShapeRect DropShape::place(std::int32_t x, std::int32_t y) const {
    const std::int32_t left = x - anchor_x;
    const std::int32_t top = y - anchor_y;
    return ShapeRect{left, top, left + width - 1, top + height - 1};
}

ShapeRect DropShape::stamp_onto(SurfaceGrid& grid, std::int32_t x, std::int32_t y,
                                BlitMode mode) const {
    ShapeRect r = place(x, y);
    const std::int32_t left0 = r.left;
    const std::int32_t top0 = r.top;
    std::int32_t cols = r.right - r.left + 1;
    std::int32_t rows = r.bottom - r.top + 1;
    if (r.left < 0) {
        cols += r.left;
        r.left = 0;
    }
    if (r.top < 0) {
        rows += r.top;
        r.top = 0;
    }
    if (r.right > grid.map_width - 1) {
        cols -= r.right - (grid.map_width - 1);
        r.right = grid.map_width - 1;
    }
    if (r.bottom > grid.map_height - 1) {
        rows -= r.bottom - (grid.map_height - 1);
        r.bottom = grid.map_height - 1;
    }
    if (cols <= 0 && rows <= 0) return ShapeRect{0, 0, 0, 0};
    if (cols > 0 && rows > 0) {
        SurfacePoint* dest = grid.at(r.left, r.top);
        if (mode == BlitMode::Copy)
            blit(r.left - left0, r.top - top0, cols, rows, dest, grid.map_width);
        else
            blendBlit(r.left - left0, r.top - top0, cols, rows, dest, grid.map_width);
    }
    return r;
}

void DropShape::blendBlit(std::int32_t sx, std::int32_t sy, std::int32_t cols, std::int32_t rows,
                          SurfacePoint* dest, std::int32_t stride) const {
    const SurfacePoint* src = points.data() + static_cast<std::size_t>(sy) * width + sx;
    for (std::int32_t i = 0; i < rows; ++i, src += width, dest += stride) {
        for (std::int32_t j = 0; j < cols; ++j) {
            const SurfacePoint& s = src[j];
            SurfacePoint& m = dest[j];
            const auto sh = static_cast<std::int8_t>(s.height);
            if (sh > 0 && sh >= static_cast<std::int8_t>(m.height)) {
                m.height = s.height;
                m.normalX = static_cast<std::int8_t>((m.normalX + s.normalX) / 2);
                m.normalY = static_cast<std::int8_t>((m.normalY + s.normalY) / 2);
                m.normalZ = static_cast<std::int8_t>((m.normalZ + s.normalZ) / 2);
            }
        }
    }
}

void BodyShape::blit(std::int32_t sx, std::int32_t sy, std::int32_t cols, std::int32_t rows,
                     SurfacePoint* dest, std::int32_t stride) const {
    const SurfacePoint* src = points.data() + static_cast<std::size_t>(sy) * width + sx;
    for (std::int32_t i = 0; i < rows; ++i, src += width, dest += stride)
        stamp_row<false>(src, dest, cols);
}

double BodyShape::profile(double z) const { return z; }

void TrackShape::blit(std::int32_t sx, std::int32_t sy, std::int32_t cols, std::int32_t rows,
                      SurfacePoint* dest, std::int32_t stride) const {
    const SurfacePoint* src = points.data() + static_cast<std::size_t>(sy) * width + sx;
    for (std::int32_t i = 0; i < rows; ++i, src += width, dest += stride)
        stamp_row<true>(src, dest, cols);
}

double TrackShape::profile(double z) const { return z > 0 ? 1.0 : 0.0; }
