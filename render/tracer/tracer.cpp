#include "render/tracer/tracer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::int32_t L_zx_x = 57;
constexpr std::int32_t L_zx_z = 29;
constexpr std::int32_t L_zy_y = -45;
constexpr std::int32_t L_zy_z = 45;
constexpr std::int32_t kNoLength = 2147483647;

// Where each channel's shift is kept in BitShifts.
constexpr int kBlue = 0, kGreen = 1, kRed = 2;

// Products wrap to their low 32 bits; doing them unsigned keeps that defined.
inline std::int32_t mul(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}
inline std::int32_t add(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline std::int32_t sub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
inline std::int32_t wrapping_abs(std::int32_t a) {
    return a < 0 ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(a)) : a;
}
// Division truncating toward zero, without the one quotient that overflows.
inline std::int32_t divide(std::int32_t a, std::int32_t b) {
    if (b == -1) return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(a));
    return a / b;
}

inline std::int32_t round_length(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(std::nearbyint(std::sqrt(static_cast<double>(a * a + b * b))));
}

void decode_mask(std::uint32_t mask, std::uint8_t& shift, std::uint32_t& maximum) {
    shift = 0;
    if (mask == 0) {
        maximum = 0;
        return;
    }
    while (((mask >> shift) & 1u) == 0) ++shift;
    maximum = mask >> shift;
}

inline std::int32_t wrap(std::int32_t s, std::int32_t size) {
    // One unsigned comparison tells the usual case, a position already inside, from both others.
    if (static_cast<std::uint32_t>(s) < static_cast<std::uint32_t>(size)) return s;
    if (s < 0) return (size - 1) + s % size;
    return s % size;
}

// Pixels are stored lowest byte first; on such machines a 32-bit pixel is one plain word
// access, which the byte-by-byte form is not always turned into.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kLittleEndian = true;
#else
constexpr bool kLittleEndian = false;
#endif

template <int Bytes>
inline std::uint32_t load(const std::uint8_t* p) {
    if constexpr (Bytes == 1) {
        return p[0];
    } else if constexpr (Bytes == 2) {
        return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8);
    } else if constexpr (Bytes == 3) {
        return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
               (static_cast<std::uint32_t>(p[2]) << 16);
    } else if constexpr (kLittleEndian) {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    } else {
        return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
               (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
}

template <int Bytes>
inline void store(std::uint8_t* p, std::uint32_t v) {
    if constexpr (Bytes == 4 && kLittleEndian) {
        std::memcpy(p, &v, 4);
    } else {
        for (int i = 0; i < Bytes; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

std::uint32_t highlight_inc(const std::int32_t* cosntable, std::int32_t nx, std::int32_t ny,
                            std::int32_t nz, std::uint32_t gain) {
    const std::int32_t lenZX = round_length(nx, nz);
    const std::int32_t lenZY = round_length(ny, nz);
    std::int32_t N_zx_x = kNoLength, N_zx_z = kNoLength, N_zy_y = kNoLength, N_zy_z = kNoLength;
    if (lenZX != 0) {
        N_zx_x = (nx * 64) / lenZX;
        N_zx_z = (nz * 64) / lenZX;
    }
    if (lenZY != 0) {
        N_zy_y = (ny * 64) / lenZY;
        N_zy_z = (nz * 64) / lenZY;
    }
    const std::int32_t s_zx = sub(mul(N_zx_z, L_zx_x), mul(N_zx_x, L_zx_z)) >> 6;
    const std::int32_t c_zx = wrapping_abs(add(mul(N_zx_x, L_zx_x), mul(N_zx_z, L_zx_z))) >> 6;
    const std::int32_t c_zy = wrapping_abs(add(mul(N_zy_y, L_zy_y), mul(N_zy_z, L_zy_z))) >> 6;

    const std::int32_t Refr_x = add(mul(N_zx_x, c_zx), mul(N_zx_z, s_zx)) >> 6;
    const std::int32_t Refr_y = N_zy_y;
    std::int32_t Refr_z = sub(mul(N_zx_z, c_zx), mul(N_zx_x, s_zx)) >> 6;
    Refr_z = add(Refr_z, mul(N_zy_z, c_zy) >> 6);

    const std::uint32_t q = static_cast<std::uint32_t>(mul(Refr_x, Refr_x)) +
                            static_cast<std::uint32_t>(mul(Refr_y, Refr_y)) +
                            static_cast<std::uint32_t>(mul(Refr_z, Refr_z));
    // A zero-length or wrapped refraction vector would divide by zero or leave the table's
    // range: treat it as no highlight and keep the index inside the 129 entries.
    std::int32_t z = 0;
    if (q != 0) {
        const double zz = std::nearbyint(static_cast<double>(mul(Refr_z, 64)) /
                                         std::sqrt(static_cast<double>(q)));
        z = zz > 64.0 ? 64 : zz < -64.0 ? -64 : static_cast<std::int32_t>(zz);
    }
    return (static_cast<std::uint32_t>(cosntable[z + 64]) * gain) >> 16;
}

struct Channels {
    std::uint32_t r, g, b;
};

// The pixel format copied into locals once per pass: the passes write through byte pointers,
// which the compiler must assume may change the tracer's format, forcing a reload per pixel.
struct Format {
    std::uint32_t r_shift, g_shift, b_shift, r_max, g_max, b_max;
    explicit Format(const Tracer& t)
        : r_shift(t.BitShifts[kRed]),
          g_shift(t.BitShifts[kGreen]),
          b_shift(t.BitShifts[kBlue]),
          r_max(t.RBitMask),
          g_max(t.GBitMask),
          b_max(t.BBitMask) {}
    Channels unpack(std::uint32_t v) const {
        return {(v >> r_shift) & r_max, (v >> g_shift) & g_max, (v >> b_shift) & b_max};
    }
    std::uint32_t pack(const Channels& c) const {
        return (c.r << r_shift) | (c.g << g_shift) | (c.b << b_shift);
    }
};

std::uint32_t apply_inc(const Format& format, std::uint32_t pixel, std::uint32_t inc) {
    if (inc == 0) return pixel;

    auto channel = [&](std::uint32_t shift, std::uint32_t maximum) {
        std::uint32_t c = ((pixel >> shift) & maximum) + inc;
        if (c > maximum) c = maximum;
        return c << shift;
    };
    return channel(format.r_shift, format.r_max) | channel(format.g_shift, format.g_max) |
           channel(format.b_shift, format.b_max);
}

// random(3) on a state held by the caller; the same sequence as random.
inline std::uint32_t jitter3(std::uint32_t& seed) {
    seed += 3542387151u;
    const std::uint64_t square = static_cast<std::uint64_t>(seed) * seed;
    seed = static_cast<std::uint32_t>(square) ^ static_cast<std::uint32_t>(square >> 32);
    return seed % 3;
}

// Visits the points of the rectangle that the second passes may change: wet, and not on the
// surface's outermost rows and columns.
template <typename Visit>
void for_inner_points(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                      const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* source,
                      Visit visit) {
    const std::int64_t width = source->SurfWidth;
    const std::int64_t height = source->SurfHeight;
    for (std::int32_t y = top; y <= bottom; ++y) {
        if (y < 1 || y >= height - 1) continue;
        const SurfacePoint* p = points + static_cast<std::ptrdiff_t>(y - top) * map_width;
        for (std::int32_t x = left; x <= right; ++x, ++p) {
            if (p->height == 0 || x < 1 || x >= width - 1) continue;
            visit(x, y, p->height);
        }
    }
}

#if defined(__SSE2__)
// The 3 x 3 smoothing for the usual 32-bit layout (8 bits each of red, green, blue at bits 16,
// 8 and 0), each channel a 16-bit lane: sixteen 8-bit values need 12 bits, and 15 times that
// 16, so no lane ever overflows and the result is the channel-by-channel one bit for bit. The
// top byte's lane is summed too but never written: the result's top byte is clear.
//
// Along a row the nine pixels are three column sums, of which two carry over to the next
// point: the filter then reads three pixels a point instead of nine. The column to the left
// is corrected by the value just written there, as the point-by-point filter would have read
// it; nothing else that a column holds is written before it is used.
//
// Two points go together, one in the low four lanes and one in the high four: their sums are
// added up side by side, and only the second point's correction by the first's result waits
// for that result.
inline __m128i widen(std::uint32_t pixel) {
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(pixel)), _mm_setzero_si128());
}

inline __m128i column_at(const std::uint8_t* c, std::ptrdiff_t pitch) {
    return _mm_add_epi16(_mm_add_epi16(widen(load<4>(c - pitch)), widen(load<4>(c))),
                         widen(load<4>(c + pitch)));
}

// Two neighbouring pixels as eight lanes: the left one low, the right one high.
inline __m128i widen_pair(const std::uint8_t* c) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(c)),
                             _mm_setzero_si128());
}

// The high half of a and the low half of b.
inline __m128i straddle(__m128i a, __m128i b) {
    return _mm_castpd_si128(_mm_shuffle_pd(_mm_castsi128_pd(a), _mm_castsi128_pd(b), 1));
}

// What a sum of sixteen weights becomes, as one unsigned high product: a drop's sum / 16, a
// track's sum * 15 / 256 (its fifteen sixteenths, then / 16, which floors the same), and 0 in
// the top byte's lane.
constexpr std::uint64_t kDropScale = 0x0000100010001000u;
constexpr std::uint64_t kTrackScale = 0x00000F000F000F00u;
inline std::uint64_t scale_of(std::uint32_t height) {
    return height == 1 ? kTrackScale : kDropScale;
}

// Smooths the points at c and c + 4 (x and x + 1, both wet, scaled by `scale`) and moves the
// sums on by two points. `left` holds the columns x - 1 (corrected) and x; `middle`, the
// pixels x - 1 and x. On return they hold the same for x + 2.
inline void smooth_pair(std::uint8_t* c, std::ptrdiff_t pitch, __m128i scale, __m128i& left,
                        __m128i& middle) {
    const __m128i next_middle = widen_pair(c + 4);
    // The columns x + 1 and x + 2.
    const __m128i right = _mm_add_epi16(_mm_add_epi16(widen_pair(c + 4 - pitch), next_middle),
                                        widen_pair(c + 4 + pitch));
    const __m128i centres = straddle(middle, next_middle);
    // The centre counts eight times: once in its column, seven more here.
    const __m128i sum =
        _mm_add_epi16(_mm_add_epi16(left, straddle(left, right)),
                      _mm_add_epi16(right, _mm_sub_epi16(_mm_slli_epi16(centres, 3), centres)));
    // The second point's left column holds the first point's result, not its pixel.
    const __m128i first = _mm_mulhi_epu16(sum, scale);
    const __m128i both = _mm_mulhi_epu16(
        _mm_add_epi16(sum, _mm_slli_si128(_mm_sub_epi16(first, centres), 8)), scale);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(c), _mm_packus_epi16(both, both));
    left = _mm_add_epi16(right, _mm_srli_si128(_mm_sub_epi16(both, centres), 8));
    middle = next_middle;
}

// The same for a pair of which a point may be dry (left as it is) or whose points differ in
// kind; and, with `single`, for a row's last point alone (x + 1 is not touched).
inline void smooth_mixed(std::uint8_t* c, std::ptrdiff_t pitch, std::uint32_t h0, std::uint32_t h1,
                         bool single, __m128i& left, __m128i& middle) {
    const __m128i next_middle = single ? _mm_setzero_si128() : widen_pair(c + 4);
    const __m128i right = single
                              ? column_at(c + 4, pitch)
                              : _mm_add_epi16(_mm_add_epi16(widen_pair(c + 4 - pitch), next_middle),
                                              widen_pair(c + 4 + pitch));
    const __m128i centres = straddle(middle, next_middle);
    const __m128i scale =
        _mm_set_epi64x(static_cast<long long>(scale_of(h1)), static_cast<long long>(scale_of(h0)));
    const __m128i sum =
        _mm_add_epi16(_mm_add_epi16(left, straddle(left, right)),
                      _mm_add_epi16(right, _mm_sub_epi16(_mm_slli_epi16(centres, 3), centres)));
    __m128i first = centres;
    if (h0 != 0) {
        first = _mm_mulhi_epu16(sum, scale);
        store<4>(c, static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(first, first))));
    }
    if (single) return;
    __m128i second = centres;
    if (h1 != 0) {
        second = _mm_mulhi_epu16(
            _mm_add_epi16(sum, _mm_slli_si128(_mm_sub_epi16(first, centres), 8)), scale);
        const __m128i out = _mm_srli_si128(second, 8);
        store<4>(c + 4, static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(out, out))));
    }
    left = _mm_add_epi16(right, _mm_srli_si128(_mm_sub_epi16(second, centres), 8));
    middle = next_middle;
}

void anti_alias_rgb32(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                      const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest,
                      const SurfaceDesc* source) {
    const std::ptrdiff_t pitch = source->Pitch;
    std::uint8_t* const bits = dest->LFB;
    const std::int64_t width = source->SurfWidth, height = source->SurfHeight;
    const std::int32_t first = std::max(left, 1);
    const std::int32_t last = static_cast<std::int32_t>(std::min<std::int64_t>(right, width - 2));
    if (first > last) return;
    const __m128i drops = _mm_set1_epi64x(static_cast<long long>(kDropScale));
    const __m128i tracks = _mm_set1_epi64x(static_cast<long long>(kTrackScale));
    for (std::int32_t y = std::max(top, 1); y <= bottom && y < height - 1; ++y) {
        const SurfacePoint* p =
            points + static_cast<std::ptrdiff_t>(y - top) * map_width + (first - left);
        std::uint8_t* c =
            bits + static_cast<std::ptrdiff_t>(y) * pitch + static_cast<std::ptrdiff_t>(first) * 4;
        // Skips the dry start of the row before loading anything.
        std::int32_t x = first;
        while (x <= last && p->height == 0) ++x, ++p, c += 4;
        if (x > last) continue;
        // Neither column x - 1 nor x has been written yet.
        __m128i pixels = widen_pair(c - 4);
        __m128i columns = _mm_add_epi16(_mm_add_epi16(widen_pair(c - 4 - pitch), pixels),
                                        widen_pair(c - 4 + pitch));
        // Two points a step: one load from each of the three rows brings the two columns to
        // their right (never past the picture: the second is at most the last column).
        for (; x < last; x += 2, p += 2, c += 8) {
            const std::uint32_t h0 = p[0].height, h1 = p[1].height;
            if (h0 >= 2 && h1 >= 2)
                smooth_pair(c, pitch, drops, columns, pixels);
            else if (h0 == 1 && h1 == 1)
                smooth_pair(c, pitch, tracks, columns, pixels);
            else
                smooth_mixed(c, pitch, h0, h1, false, columns, pixels);
        }
        if (x == last) smooth_mixed(c, pitch, p->height, 0, true, columns, pixels);
    }
}

// Brightens every channel of an 8-bit-a-channel pixel by `inc` (never past 255); the result's
// top byte is clear, as the channel-by-channel form leaves it. Four pixels at a time, each
// with its own increment; a pixel whose increment is 0 is left exactly as it was.
inline void brighten_rgb32_x4(std::uint32_t* pixels, const std::uint32_t* incs) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
    const __m128i i = _mm_loadu_si128(reinterpret_cast<const __m128i*>(incs));
    const __m128i spread =
        _mm_or_si128(_mm_or_si128(i, _mm_slli_epi32(i, 8)), _mm_slli_epi32(i, 16));
    const __m128i lit = _mm_and_si128(_mm_adds_epu8(v, spread), _mm_set1_epi32(0xFFFFFF));
    const __m128i unlit = _mm_cmpeq_epi32(i, _mm_setzero_si128());
    const __m128i out = _mm_or_si128(_mm_and_si128(unlit, v), _mm_andnot_si128(unlit, lit));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), out);
}
#endif

bool is_rgb32(const Format& f) {
    return f.r_shift == 16 && f.g_shift == 8 && f.b_shift == 0 && f.r_max == 0xFF &&
           f.g_max == 0xFF && f.b_max == 0xFF;
}

}  // namespace

void Tracer::PointCache::prepare(std::int32_t distance, const std::int32_t* table,
                                 std::uint32_t gain, bool lit) {
    if (distance != distance_ || table != table_ || gain != gain_ || lit != lit_) {
        // Key 0 is no wet point's record (its height would be 0): every slot is empty.
        for (Entry& e : entries_) e.key = 0;
        distance_ = distance;
        table_ = table;
        gain_ = gain;
        lit_ = lit;
    }
}

void Tracer::PointCache::fill(Entry& e, std::uint32_t key, const SurfacePoint& p) {
    const std::int32_t n = mul(distance_ - static_cast<std::int32_t>(p.height), 4096);
    const std::int32_t t = p.normal_z == 0 ? kNoLength : divide(n, p.normal_z);
    e.key = key;
    e.dx = mul(t, p.normal_x) >> 12;
    e.dy = mul(t, p.normal_y) >> 12;
    // Tracks (height 1) are never highlighted; a brightening is at most one byte.
    e.inc = lit_ && p.height != 1 ? static_cast<std::uint8_t>(highlight_inc(
                                        table_, p.normal_x, p.normal_y, p.normal_z, gain_))
                                  : 0;
}

inline const Tracer::PointCache::Entry& Tracer::PointCache::at(const SurfacePoint& p) {
    std::uint32_t key;
    std::memcpy(&key, &p, sizeof key);
    Entry& e = entries_[(key * 2654435761u) >> (32 - kBits)];
    if (e.key != key) fill(e, key, p);
    return e;
}

template <int Bytes>
void Tracer::refract(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                     const SurfacePoint* points, std::int32_t map_width, std::int32_t map_height,
                     const SurfaceDesc* dest, const SurfaceDesc* source) {
    const std::int32_t D = tracer_distance_to_desktop;
    const bool lit = Bytes > 1 && tracer_lighting == 1;
    const Format format(*this);
    [[maybe_unused]] const bool rgb32 = Bytes == 4 && is_rgb32(format);
    const std::uint32_t gain = Bytes == 2 ? 40u : 220u;
    point_cache.prepare(D, tracer_cosntable, gain, lit);
    // Read once: the byte stores below could otherwise alias these and force reloads.
    const bool jitter = tracer_tracks != 0;
    const std::uint8_t* const source_bits = source->LFB;
    const std::size_t source_pitch = source->Pitch;
    std::uint8_t* const dest_bits = dest->LFB;
    const std::size_t dest_pitch = dest->Pitch;
    // The generator's state lives in a local for the pass: the byte stores below could
    // otherwise alias it and force a reload and a store per track point.
    std::uint32_t seed = Seed;
    // The rectangle is done in runs of up to kRun wet points, in three steps: where each
    // point's ray lands (from the map alone), then every landing pixel loaded in one tight
    // loop, so that many loads wait for the memory at once instead of one at the end of each
    // point's long arithmetic, then the highlight and the stores. The first step already asks
    // for each landing pixel, so that most have arrived by the time the second loads them.
    constexpr std::int32_t kRun = 512;
    std::size_t offsets[kRun];
    std::size_t targets[kRun];
    alignas(16) std::uint32_t pixels[kRun + 3];
    alignas(16) std::uint32_t incs[kRun + 3];
    std::ptrdiff_t n = 0;  // as wide as an address: indexing needs no widening
    const auto finish_run = [&] {
#pragma GCC unroll 4
        for (std::ptrdiff_t i = 0; i < n; ++i) pixels[i] = load<Bytes>(source_bits + offsets[i]);
        if (lit) {
#if defined(__SSE2__)
            if (rgb32) {
                // The last group of four is padded with unlit pixels that are never stored.
                for (std::ptrdiff_t i = n; i < n + 3; ++i) pixels[i] = incs[i] = 0;
                for (std::ptrdiff_t i = 0; i < n; i += 4) brighten_rgb32_x4(pixels + i, incs + i);
            } else
#endif
            {
                for (std::ptrdiff_t i = 0; i < n; ++i)
                    pixels[i] = apply_inc(format, pixels[i], incs[i]);
            }
        }
#pragma GCC unroll 4
        for (std::ptrdiff_t i = 0; i < n; ++i) store<Bytes>(dest_bits + targets[i], pixels[i]);
        n = 0;
    };
    // Tracks jitter when the tracer draws them; no point has this height otherwise.
    const std::uint32_t jittered_height = jitter ? 1u : 0x100u;
    for (std::int32_t y = top; y <= bottom; ++y) {
        const SurfacePoint* p = points + static_cast<std::ptrdiff_t>(y - top) * map_width;
        std::size_t target =
            static_cast<std::size_t>(y) * dest_pitch + static_cast<std::size_t>(left) * Bytes;
        // A row is taken in pieces that fit a run whole, so that a point need not check.
        for (std::int32_t from = left; from <= right; from += kRun) {
            const std::int32_t to = std::min(right, from + (kRun - 1));
            if (n > kRun - (to - from + 1)) finish_run();
            for (std::int32_t x = from; x <= to; ++x, ++p, target += Bytes) {
                const std::uint32_t height = p->height;
                if (height == 0) continue;
                const PointCache::Entry& e = point_cache.at(*p);
                std::int32_t sx = add(x, e.dx);
                std::int32_t sy = add(y, e.dy);
                if (height == jittered_height)
                    sx = add(sx, static_cast<std::int32_t>(jitter3(seed)) - 1);
                const auto column = static_cast<std::uint32_t>(wrap(sx, map_width));
                const auto row = static_cast<std::uint32_t>(wrap(sy, map_height));
                offsets[n] = row * source_pitch + column * std::size_t{Bytes};
                __builtin_prefetch(source_bits + offsets[n]);
                targets[n] = target;
                incs[n] = e.inc;
                ++n;
            }
        }
    }
    finish_run();
    Seed = seed;
}

template <int Bytes>
void Tracer::anti_alias(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom, const SurfacePoint* points, std::int32_t map_width,
                        const SurfaceDesc* dest, const SurfaceDesc* source) const {
    const std::ptrdiff_t pitch = source->Pitch;
    const Format format(*this);
#if defined(__SSE2__)
    if constexpr (Bytes == 4) {
        if (is_rgb32(format)) {
            anti_alias_rgb32(left, top, right, bottom, points, map_width, dest, source);
            return;
        }
    }
#endif
    for_inner_points(left, top, right, bottom, points, map_width, source,
                     [&](std::int32_t x, std::int32_t y, std::uint32_t h) {
                         std::uint8_t* c = dest->LFB + static_cast<std::ptrdiff_t>(y) * pitch +
                                           static_cast<std::ptrdiff_t>(x) * Bytes;
                         const Channels centre = format.unpack(load<Bytes>(c));
                         Channels sum{centre.r * 8, centre.g * 8, centre.b * 8};
                         const std::ptrdiff_t offsets[8] = {
                             -pitch - Bytes, -pitch, -pitch + Bytes, Bytes,
                             pitch + Bytes,  pitch,  pitch - Bytes,  -Bytes};
                         for (std::ptrdiff_t o : offsets) {
                             const Channels n = format.unpack(load<Bytes>(c + o));
                             sum.r += n.r;
                             sum.g += n.g;
                             sum.b += n.b;
                         }
                         Channels out;
                         if (h == 1) {
                             out = {((sum.r * 15) >> 4) >> 4, ((sum.g * 15) >> 4) >> 4,
                                    ((sum.b * 15) >> 4) >> 4};
                         } else {
                             out = {sum.r >> 4, sum.g >> 4, sum.b >> 4};
                         }
                         store<Bytes>(c, format.pack(out));
                     });
}

template <int Bytes>
void Tracer::darken_tracks(std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom, const SurfacePoint* points, std::int32_t map_width,
                           const SurfaceDesc* dest, const SurfaceDesc* source) const {
    const std::ptrdiff_t pitch = source->Pitch;
    const Format format(*this);
    for_inner_points(
        left, top, right, bottom, points, map_width, source,
        [&](std::int32_t x, std::int32_t y, std::uint32_t h) {
            if (h != 1) return;
            std::uint8_t* c = dest->LFB + static_cast<std::ptrdiff_t>(y) * pitch +
                              static_cast<std::ptrdiff_t>(x) * Bytes;
            const Channels v = format.unpack(load<Bytes>(c));
            store<Bytes>(c, format.pack({(v.r * 15) >> 4, (v.g * 15) >> 4, (v.b * 15) >> 4}));
        });
}

template <int Bytes>
void Tracer::trace_depth(std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom, const SurfacePoint* points, std::int32_t map_width,
                         std::int32_t map_height, const SurfaceDesc* dest,
                         const SurfaceDesc* source) {
    refract<Bytes>(left, top, right, bottom, points, map_width, map_height, dest, source);
    if (tracer_anti_alias != 0)
        anti_alias<Bytes>(left, top, right, bottom, points, map_width, dest, source);
    else
        darken_tracks<Bytes>(left, top, right, bottom, points, map_width, dest, source);
}

void Tracer::tracer_init(std::uint32_t r_mask, std::uint32_t g_mask, std::uint32_t b_mask) {
    decode_mask(r_mask, BitShifts[kRed], RBitMask);
    decode_mask(g_mask, BitShifts[kGreen], GBitMask);
    decode_mask(b_mask, BitShifts[kBlue], BBitMask);
}

void Tracer::tracer_setup(const std::int32_t* cosntable, std::uint32_t r_mask, std::uint32_t g_mask,
                          std::uint32_t b_mask) {
    tracer_cosntable = cosntable;
    tracer_distance_to_desktop = 8;
    tracer_anti_alias = 1;
    tracer_lighting = 1;
    tracer_tracks = 1;
    tracer_init(r_mask, g_mask, b_mask);
}

std::uint32_t Tracer::random(std::uint32_t n) {
    Seed += 3542387151u;
    const std::uint64_t square = static_cast<std::uint64_t>(Seed) * Seed;
    Seed = static_cast<std::uint32_t>(square) ^ static_cast<std::uint32_t>(square >> 32);
    return Seed % n;
}

// Asks for every cache line of [first, first + size): a line each 64 bytes from the first, then
// the last byte's line, which the steps may have missed.
inline void prefetch_span(const std::uint8_t* first, std::size_t size, bool for_writing) {
    constexpr std::size_t kLine = 64;
    const std::uint8_t* const last = first + size - 1;
    for (const std::uint8_t* a = first; a < last; a += kLine) {
        if (for_writing)
            __builtin_prefetch(a, 1);
        else
            __builtin_prefetch(a);
    }
    if (for_writing)
        __builtin_prefetch(last, 1);
    else
        __builtin_prefetch(last);
}

void trace_prefetch(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                    const SurfacePoint* points, std::int32_t map_width, const SurfaceDesc* dest) {
    const std::uint32_t bytes = (dest->BPP + 7) / 8;
    if (bytes == 0 || bytes > 4 || right < left || bottom < top) return;
    const std::int64_t rows = dest->SurfHeight;
    const std::size_t columns = static_cast<std::size_t>(right - left + 1);
    const std::size_t from = static_cast<std::size_t>(left) * bytes;
    for (std::int32_t y = top; y <= bottom; ++y) {
        const SurfacePoint* p = points + static_cast<std::ptrdiff_t>(y - top) * map_width;
        prefetch_span(reinterpret_cast<const std::uint8_t*>(p), columns * sizeof *p, false);
        if (y < rows)
            prefetch_span(dest->LFB + static_cast<std::size_t>(y) * dest->Pitch + from,
                          columns * bytes, true);
    }
}

std::uint32_t Tracer::light16(std::uint32_t pixel, std::int32_t nx, std::int32_t ny,
                              std::int32_t nz) const {
    return apply_inc(Format(*this), pixel, highlight_inc(tracer_cosntable, nx, ny, nz, 40));
}
std::uint32_t Tracer::light24(std::uint32_t pixel, std::int32_t nx, std::int32_t ny,
                              std::int32_t nz) const {
    return apply_inc(Format(*this), pixel, highlight_inc(tracer_cosntable, nx, ny, nz, 220));
}

void Tracer::anti_alias16(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b,
                          const SurfacePoint* p, std::int32_t w, const SurfaceDesc* d,
                          const SurfaceDesc* s) const {
    anti_alias<2>(l, t, r, b, p, w, d, s);
}
void Tracer::anti_alias24(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b,
                          const SurfacePoint* p, std::int32_t w, const SurfaceDesc* d,
                          const SurfaceDesc* s) const {
    anti_alias<3>(l, t, r, b, p, w, d, s);
}
void Tracer::anti_alias32(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b,
                          const SurfacePoint* p, std::int32_t w, const SurfaceDesc* d,
                          const SurfaceDesc* s) const {
    anti_alias<4>(l, t, r, b, p, w, d, s);
}
void Tracer::track16(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b,
                     const SurfacePoint* p, std::int32_t w, const SurfaceDesc* d,
                     const SurfaceDesc* s) const {
    darken_tracks<2>(l, t, r, b, p, w, d, s);
}
void Tracer::track24(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b,
                     const SurfacePoint* p, std::int32_t w, const SurfaceDesc* d,
                     const SurfaceDesc* s) const {
    darken_tracks<3>(l, t, r, b, p, w, d, s);
}
void Tracer::track32(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b,
                     const SurfacePoint* p, std::int32_t w, const SurfaceDesc* d,
                     const SurfaceDesc* s) const {
    darken_tracks<4>(l, t, r, b, p, w, d, s);
}

void Tracer::trace8(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b,
                    const SurfacePoint* p, std::int32_t w, std::int32_t h, const SurfaceDesc* d,
                    const SurfaceDesc* s) {
    refract<1>(l, t, r, b, p, w, h, d, s);
}
void Tracer::trace16(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b,
                     const SurfacePoint* p, std::int32_t w, std::int32_t h, const SurfaceDesc* d,
                     const SurfaceDesc* s) {
    trace_depth<2>(l, t, r, b, p, w, h, d, s);
}
void Tracer::trace24(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b,
                     const SurfacePoint* p, std::int32_t w, std::int32_t h, const SurfaceDesc* d,
                     const SurfaceDesc* s) {
    trace_depth<3>(l, t, r, b, p, w, h, d, s);
}
void Tracer::trace32(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b,
                     const SurfacePoint* p, std::int32_t w, std::int32_t h, const SurfaceDesc* d,
                     const SurfaceDesc* s) {
    trace_depth<4>(l, t, r, b, p, w, h, d, s);
}

void Tracer::trace(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                   const SurfacePoint* points, std::int32_t map_width, std::int32_t map_height,
                   const SurfaceDesc* dest, const SurfaceDesc* source) {
    switch (dest->BPP) {
        case 8:
            trace8(left, top, right, bottom, points, map_width, map_height, dest, source);
            break;
        case 16:
            trace16(left, top, right, bottom, points, map_width, map_height, dest, source);
            break;
        case 24:
            trace24(left, top, right, bottom, points, map_width, map_height, dest, source);
            break;
        case 32:
            trace32(left, top, right, bottom, points, map_width, map_height, dest, source);
            break;
        default:
            break;  // other depths are not drawn
    }
}
