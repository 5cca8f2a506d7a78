#include "picture/picture_scale.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

struct Tap {
    std::int32_t index;
    std::uint64_t weight;
};

// For every target position along one axis, the source positions it draws from and their
// weights, with the weights' sum.
struct AxisFilter {
    std::vector<std::vector<Tap>> taps;
    std::vector<std::uint64_t> totals;
};

AxisFilter makeFilter(std::int32_t from, std::int32_t to) {
    AxisFilter f;
    f.taps.resize(static_cast<size_t>(to));
    f.totals.resize(static_cast<size_t>(to));
    const std::int64_t s = from;
    const std::int64_t d = to;
    for (std::int64_t x = 0; x < d; ++x) {
        std::vector<Tap>& taps = f.taps[static_cast<size_t>(x)];
        if (to <= from) {
            // In units of 1/d source pixels, target pixel x covers [x*s, (x+1)*s) and source
            // pixel i covers [i*d, (i+1)*d); the weight is the overlap.
            const std::int64_t lo = x * s;
            const std::int64_t hi = (x + 1) * s;
            for (std::int64_t i = lo / d; i * d < hi; ++i) {
                const std::int64_t w = std::min(hi, (i + 1) * d) - std::max(lo, i * d);
                if (w > 0)
                    taps.push_back({static_cast<std::int32_t>(i), static_cast<std::uint64_t>(w)});
            }
        } else {
            // The target pixel's centre in source pixels is ((2x+1)*s - d) / (2d); blend the two
            // nearest source pixels, repeating the border ones.
            const std::int64_t num = (2 * x + 1) * s - d;
            const std::int64_t den = 2 * d;
            std::int64_t i0 = num >= 0 ? num / den : -((-num + den - 1) / den);
            const std::int64_t frac = num - i0 * den;
            const std::int64_t a = std::clamp<std::int64_t>(i0, 0, s - 1);
            const std::int64_t b = std::clamp<std::int64_t>(i0 + 1, 0, s - 1);
            taps.push_back({static_cast<std::int32_t>(a), static_cast<std::uint64_t>(den - frac)});
            if (frac > 0)
                taps.push_back({static_cast<std::int32_t>(b), static_cast<std::uint64_t>(frac)});
        }
        std::uint64_t total = 0;
        for (const Tap& t : taps) total += t.weight;
        f.totals[static_cast<size_t>(x)] = total;
    }
    return f;
}

}  // namespace

Picture scalePicture(const Picture& source, std::int32_t width, std::int32_t height) {
    if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0 ||
        source.rgb.size() != static_cast<size_t>(source.width) * source.height * 3) {
        throw std::invalid_argument("scalePicture: empty or inconsistent picture");
    }
    const AxisFilter horizontal = makeFilter(source.width, width);
    const AxisFilter vertical = makeFilter(source.height, height);

    // Columns first, keeping 8 more bits of precision for the second pass.
    std::vector<std::uint32_t> rows(static_cast<size_t>(width) * source.height * 3);
    for (std::int32_t y = 0; y < source.height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint64_t total = horizontal.totals[static_cast<size_t>(x)];
            for (int c = 0; c < 3; ++c) {
                std::uint64_t sum = 0;
                for (const Tap& t : horizontal.taps[static_cast<size_t>(x)]) {
                    sum += t.weight * source.at(t.index, y)[c];
                }
                rows[(static_cast<size_t>(y) * width + x) * 3 + c] =
                    static_cast<std::uint32_t>((sum * 256 + total / 2) / total);
            }
        }
    }

    Picture result(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint64_t total = vertical.totals[static_cast<size_t>(y)] * 256;
        for (std::int32_t x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                std::uint64_t sum = 0;
                for (const Tap& t : vertical.taps[static_cast<size_t>(y)]) {
                    sum += t.weight * rows[(static_cast<size_t>(t.index) * width + x) * 3 + c];
                }
                result.at(x, y)[c] = static_cast<std::uint8_t>((sum + total / 2) / total);
            }
        }
    }
    return result;
}
