#include "render/tracer/tracer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Sections:
//   1. Wrapping arithmetic: 32-bit products, sums and quotients
//   2. Pixels and rows: loads and stores, the pixel format, the highlight's brightening,
//      the walk over a rectangle's inner points, prefetching rows
//   3. The ray: where it lands, how bright its highlight is, the track jitter
//   4. SSE2 code for the usual 32-bit layout: the smoothing and the brightening
//   5. The point cache
//   6. The passes: refraction, smoothing, track darkening
//   7. The interface: set-up, trace, landing, prefetch

namespace {

// ---- 1. Wrapping arithmetic ----

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
inline std::int32_t wrappingAbs(std::int32_t a) {
    return a < 0 ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(a)) : a;
}
// Division truncating toward zero, without the one quotient that overflows.
inline std::int32_t divide(std::int32_t a, std::int32_t b) {
    if (b == -1) return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(a));
    return a / b;
}

inline std::int32_t roundLength(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(std::nearbyint(std::sqrt(static_cast<double>(a * a + b * b))));
}

// The length standing for "none": a flat normal's ray parameter, a vector of no length.
constexpr std::int32_t kNoLength = 2147483647;

// ---- 2. Pixels and rows ----

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

// The lowest bit of a channel's mask and the channel's largest value (0 and 0 for no mask).
void decodeMask(std::uint32_t mask, std::uint32_t& shift, std::uint32_t& maximum) {
    shift = 0;
    if (mask == 0) {
        maximum = 0;
        return;
    }
    while (((mask >> shift) & 1u) == 0) ++shift;
    maximum = mask >> shift;
}

struct Channels {
    std::uint32_t r, g, b;
};

// The pixel format copied into locals once per pass: the passes write through byte pointers,
// which the compiler must assume may change the tracer's format, forcing a reload per pixel.
struct Format {
    std::uint32_t rShift, gShift, bShift, rMax, gMax, bMax;

    Channels unpack(std::uint32_t v) const {
        return {(v >> rShift) & rMax, (v >> gShift) & gMax, (v >> bShift) & bMax};
    }
    std::uint32_t pack(const Channels& c) const {
        return (c.r << rShift) | (c.g << gShift) | (c.b << bShift);
    }
    // 8 bits each of red, green and blue at bits 16, 8 and 0.
    bool isRgb32() const {
        return rShift == 16 && gShift == 8 && bShift == 0 && rMax == 0xFF && gMax == 0xFF &&
               bMax == 0xFF;
    }
};

// Every channel of `pixel` brightened by `inc`, never past its largest value.
std::uint32_t brighten(const Format& format, std::uint32_t pixel, std::uint32_t inc) {
    if (inc == 0) return pixel;

    auto channel = [&](std::uint32_t shift, std::uint32_t maximum) {
        std::uint32_t c = ((pixel >> shift) & maximum) + inc;
        if (c > maximum) c = maximum;
        return c << shift;
    };
    return channel(format.rShift, format.rMax) | channel(format.gShift, format.gMax) |
           channel(format.bShift, format.bMax);
}

// Visits the points of the rectangle that the second passes may change: wet, and not on the
// surface's outermost rows and columns.
template <typename Visit>
void forInnerPoints(const TraceJob& job, Visit visit) {
    // In locals: the visits' byte stores could otherwise alias the job and force reloads.
    const std::int32_t left = job.left, top = job.top, right = job.right, bottom = job.bottom;
    const std::int32_t mapWidth = job.map.width;
    const std::int64_t width = job.source.width;
    const std::int64_t height = job.source.height;
    const SurfacePoint* const points = job.map.at(left, top);
    for (std::int32_t y = top; y <= bottom; ++y) {
        if (y < 1 || y >= height - 1) continue;
        const SurfacePoint* p = points + static_cast<std::ptrdiff_t>(y - top) * mapWidth;
        for (std::int32_t x = left; x <= right; ++x, ++p) {
            if (p->height == 0 || x < 1 || x >= width - 1) continue;
            visit(x, y, p->height);
        }
    }
}

// Asks for every cache line of [first, first + size): a line each 64 bytes from the first, then
// the last byte's line, which the steps may have missed.
inline void prefetchSpan(const std::uint8_t* first, std::size_t size, bool forWriting) {
    constexpr std::size_t kLine = 64;
    const std::uint8_t* const last = first + size - 1;
    for (const std::uint8_t* a = first; a < last; a += kLine) {
        if (forWriting)
            __builtin_prefetch(a, 1);
        else
            __builtin_prefetch(a);
    }
    if (forWriting)
        __builtin_prefetch(last, 1);
    else
        __builtin_prefetch(last);
}

// Brightens pixels[0..n) by incs[0..n), one pixel and one channel at a time.
inline void brightenEach(const Format& format, std::uint32_t* pixels, const std::uint32_t* incs,
                         std::ptrdiff_t n) {
    for (std::ptrdiff_t i = 0; i < n; ++i) pixels[i] = brighten(format, pixels[i], incs[i]);
}

// ---- 3. The ray ----

// The light's direction, in the planes z-x and z-y, at scale 64.
constexpr std::int32_t kLightZxX = 57;
constexpr std::int32_t kLightZxZ = 29;
constexpr std::int32_t kLightZyY = -45;
constexpr std::int32_t kLightZyZ = 45;

// Where the ray through `p` lands, less the point's own position, at distance `distance`.
inline MapPosition rayOffset(const SurfacePoint& p, std::int32_t distance) {
    const std::int32_t n = mul(distance - static_cast<std::int32_t>(p.height), 4096);
    const std::int32_t t = p.normalZ == 0 ? kNoLength : divide(n, p.normalZ);
    return {mul(t, p.normalX) >> 12, mul(t, p.normalY) >> 12};
}

inline std::int32_t wrap(std::int32_t s, std::int32_t size) {
    // One unsigned comparison tells the usual case, a position already inside, from both others.
    if (static_cast<std::uint32_t>(s) < static_cast<std::uint32_t>(size)) return s;
    if (s < 0) return (size - 1) + s % size;
    return s % size;
}

// A landing position (x, y) wrapped into a map of `width` x `height`.
inline MapPosition wrapIntoMap(std::int32_t x, std::int32_t y, std::int32_t width,
                               std::int32_t height) {
    return {wrap(x, width), wrap(y, height)};
}

// How much a drop point with normal (nx, ny, nz) brightens under the light: the table's entry
// for the refracted ray's angle, scaled by `gain`.
std::uint32_t highlightInc(const std::int32_t* cosnTable, std::int32_t nx, std::int32_t ny,
                           std::int32_t nz, std::uint32_t gain) {
    const std::int32_t lenZx = roundLength(nx, nz);
    const std::int32_t lenZy = roundLength(ny, nz);
    std::int32_t nZxX = kNoLength, nZxZ = kNoLength, nZyY = kNoLength, nZyZ = kNoLength;
    if (lenZx != 0) {
        nZxX = (nx * 64) / lenZx;
        nZxZ = (nz * 64) / lenZx;
    }
    if (lenZy != 0) {
        nZyY = (ny * 64) / lenZy;
        nZyZ = (nz * 64) / lenZy;
    }
    const std::int32_t sZx = sub(mul(nZxZ, kLightZxX), mul(nZxX, kLightZxZ)) >> 6;
    const std::int32_t cZx = wrappingAbs(add(mul(nZxX, kLightZxX), mul(nZxZ, kLightZxZ))) >> 6;
    const std::int32_t cZy = wrappingAbs(add(mul(nZyY, kLightZyY), mul(nZyZ, kLightZyZ))) >> 6;

    const std::int32_t refrX = add(mul(nZxX, cZx), mul(nZxZ, sZx)) >> 6;
    const std::int32_t refrY = nZyY;
    std::int32_t refrZ = sub(mul(nZxZ, cZx), mul(nZxX, sZx)) >> 6;
    refrZ = add(refrZ, mul(nZyZ, cZy) >> 6);

    const std::uint32_t q = static_cast<std::uint32_t>(mul(refrX, refrX)) +
                            static_cast<std::uint32_t>(mul(refrY, refrY)) +
                            static_cast<std::uint32_t>(mul(refrZ, refrZ));
    // A zero-length or wrapped refraction vector would divide by zero or leave the table's
    // range: treat it as no highlight and keep the index inside the 129 entries.
    std::int32_t z = 0;
    if (q != 0) {
        const double zz =
            std::nearbyint(static_cast<double>(mul(refrZ, 64)) / std::sqrt(static_cast<double>(q)));
        z = zz > 64.0 ? 64 : zz < -64.0 ? -64 : static_cast<std::int32_t>(zz);
    }
    return (static_cast<std::uint32_t>(cosnTable[z + 64]) * gain) >> 16;
}

// The track jitter generator: moves `seed` on and draws 0, 1 or 2 from it.
inline std::uint32_t drawJitter(std::uint32_t& seed) {
    seed += 3542387151u;
    const std::uint64_t square = static_cast<std::uint64_t>(seed) * seed;
    seed = static_cast<std::uint32_t>(square) ^ static_cast<std::uint32_t>(square >> 32);
    return seed % 3;
}

// ---- 4. SSE2 code for the usual 32-bit layout ----

// Each function here draws exactly what the portable passes draw for that layout. They are
// defined where the build has SSE2 and called only there (`kSse2Built`).
#if defined(__SSE2__)
constexpr bool kSse2Built = true;
#else
constexpr bool kSse2Built = false;
#endif

// The smoothing pass over the job's rectangle.
void smoothRgb32Sse2(const TraceJob& job);
// Brightens pixels[0..n) by incs[0..n); both arrays have room for three more entries.
void brightenRgb32Sse2(std::uint32_t* pixels, std::uint32_t* incs, std::ptrdiff_t n);

#if defined(__SSE2__)
// The 3 x 3 smoothing, each channel a 16-bit lane: sixteen 8-bit values need 12 bits, and 15
// times that 16, so no lane ever overflows and the result is the channel-by-channel one bit for
// bit. The top byte's lane is summed too but never written: the result's top byte is clear.
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

inline __m128i columnAt(const std::uint8_t* c, std::ptrdiff_t pitch) {
    return _mm_add_epi16(_mm_add_epi16(widen(load<4>(c - pitch)), widen(load<4>(c))),
                         widen(load<4>(c + pitch)));
}

// Two neighbouring pixels as eight lanes: the left one low, the right one high.
inline __m128i widenPair(const std::uint8_t* c) {
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
inline std::uint64_t scaleOf(std::uint32_t height) {
    return height == 1 ? kTrackScale : kDropScale;
}

// Smooths the points at c and c + 4 (x and x + 1, both wet, scaled by `scale`) and moves the
// sums on by two points. `left` holds the columns x - 1 (corrected) and x; `middle`, the
// pixels x - 1 and x. On return they hold the same for x + 2.
inline void smoothPair(std::uint8_t* c, std::ptrdiff_t pitch, __m128i scale, __m128i& left,
                       __m128i& middle) {
    const __m128i nextMiddle = widenPair(c + 4);
    // The columns x + 1 and x + 2.
    const __m128i right = _mm_add_epi16(_mm_add_epi16(widenPair(c + 4 - pitch), nextMiddle),
                                        widenPair(c + 4 + pitch));
    const __m128i centres = straddle(middle, nextMiddle);
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
    middle = nextMiddle;
}

// The same for a pair of which a point may be dry (left as it is) or whose points differ in
// kind; and, with `single`, for a row's last point alone (x + 1 is not touched).
inline void smoothMixed(std::uint8_t* c, std::ptrdiff_t pitch, std::uint32_t h0, std::uint32_t h1,
                        bool single, __m128i& left, __m128i& middle) {
    const __m128i nextMiddle = single ? _mm_setzero_si128() : widenPair(c + 4);
    const __m128i right = single
                              ? columnAt(c + 4, pitch)
                              : _mm_add_epi16(_mm_add_epi16(widenPair(c + 4 - pitch), nextMiddle),
                                              widenPair(c + 4 + pitch));
    const __m128i centres = straddle(middle, nextMiddle);
    const __m128i scale =
        _mm_set_epi64x(static_cast<long long>(scaleOf(h1)), static_cast<long long>(scaleOf(h0)));
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
    middle = nextMiddle;
}

void smoothRgb32Sse2(const TraceJob& job) {
    // In locals: the stores below could otherwise alias the job and force reloads.
    const std::int32_t left = job.left, top = job.top, bottom = job.bottom;
    const std::int32_t mapWidth = job.map.width;
    const std::ptrdiff_t pitch = job.source.pitch;
    std::uint8_t* const bits = job.dest.bits;
    const std::int64_t width = job.source.width, height = job.source.height;
    const std::int32_t first = std::max(left, 1);
    const std::int32_t last =
        static_cast<std::int32_t>(std::min<std::int64_t>(job.right, width - 2));
    if (first > last) return;
    const SurfacePoint* const points = job.map.at(left, top);
    const __m128i drops = _mm_set1_epi64x(static_cast<long long>(kDropScale));
    const __m128i tracks = _mm_set1_epi64x(static_cast<long long>(kTrackScale));
    for (std::int32_t y = std::max(top, 1); y <= bottom && y < height - 1; ++y) {
        const SurfacePoint* p =
            points + static_cast<std::ptrdiff_t>(y - top) * mapWidth + (first - left);
        std::uint8_t* c =
            bits + static_cast<std::ptrdiff_t>(y) * pitch + static_cast<std::ptrdiff_t>(first) * 4;
        // Skips the dry start of the row before loading anything.
        std::int32_t x = first;
        while (x <= last && p->height == 0) ++x, ++p, c += 4;
        if (x > last) continue;
        // Neither column x - 1 nor x has been written yet.
        __m128i pixels = widenPair(c - 4);
        __m128i columns = _mm_add_epi16(_mm_add_epi16(widenPair(c - 4 - pitch), pixels),
                                        widenPair(c - 4 + pitch));
        // Two points a step: one load from each of the three rows brings the two columns to
        // their right (never past the picture: the second is at most the last column).
        for (; x < last; x += 2, p += 2, c += 8) {
            const std::uint32_t h0 = p[0].height, h1 = p[1].height;
            if (h0 >= 2 && h1 >= 2)
                smoothPair(c, pitch, drops, columns, pixels);
            else if (h0 == 1 && h1 == 1)
                smoothPair(c, pitch, tracks, columns, pixels);
            else
                smoothMixed(c, pitch, h0, h1, false, columns, pixels);
        }
        if (x == last) smoothMixed(c, pitch, p->height, 0, true, columns, pixels);
    }
}

// Four pixels at a time, each with its own increment; a pixel whose increment is 0 is left
// exactly as it was, the others' top byte is cleared, as the channel-by-channel form leaves it.
inline void brightenRgb32x4(std::uint32_t* pixels, const std::uint32_t* incs) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
    const __m128i i = _mm_loadu_si128(reinterpret_cast<const __m128i*>(incs));
    const __m128i spread =
        _mm_or_si128(_mm_or_si128(i, _mm_slli_epi32(i, 8)), _mm_slli_epi32(i, 16));
    const __m128i lit = _mm_and_si128(_mm_adds_epu8(v, spread), _mm_set1_epi32(0xFFFFFF));
    const __m128i unlit = _mm_cmpeq_epi32(i, _mm_setzero_si128());
    const __m128i out = _mm_or_si128(_mm_and_si128(unlit, v), _mm_andnot_si128(unlit, lit));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), out);
}

void brightenRgb32Sse2(std::uint32_t* pixels, std::uint32_t* incs, std::ptrdiff_t n) {
    // The last group of four is padded with unlit pixels that are never stored.
    for (std::ptrdiff_t i = n; i < n + 3; ++i) pixels[i] = incs[i] = 0;
    for (std::ptrdiff_t i = 0; i < n; i += 4) brightenRgb32x4(pixels + i, incs + i);
}
#endif

}  // namespace

// ---- 5. The point cache ----

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
    const MapPosition offset = rayOffset(p, distance_);
    e.key = key;
    e.dx = offset.x;
    e.dy = offset.y;
    // Tracks (height 1) are never highlighted; a brightening is at most one byte.
    e.inc = lit_ && p.height != 1 ? static_cast<std::uint8_t>(highlightInc(
                                        table_, p.normalX, p.normalY, p.normalZ, gain_))
                                  : 0;
}

inline const Tracer::PointCache::Entry& Tracer::PointCache::at(const SurfacePoint& p) {
    std::uint32_t key;
    std::memcpy(&key, &p, sizeof key);
    Entry& e = entries_[(key * 2654435761u) >> (32 - kBits)];
    if (e.key != key) fill(e, key, p);
    return e;
}

// ---- 6. The passes ----

bool Tracer::sse2() const { return kSse2Built && options_.path == TracePath::Sse2; }

template <int Bytes>
void Tracer::refract(const TraceJob& job) {
    const std::int32_t distance = options_.distanceToDesktop;
    const bool lit = Bytes > 1 && options_.lighting;
    const Format format{redShift_, greenShift_, blueShift_, redMax_, greenMax_, blueMax_};
    [[maybe_unused]] const bool sse2Rgb32 = Bytes == 4 && sse2() && format.isRgb32();
    const std::uint32_t gain = Bytes == 2 ? 40u : 220u;
    pointCache_.prepare(distance, cosnTable_, gain, lit);
    // Read once: the byte stores below could otherwise alias these and force reloads.
    const bool jitter = options_.tracks;
    const std::int32_t left = job.left, top = job.top, right = job.right, bottom = job.bottom;
    const std::int32_t mapWidth = job.map.width, mapHeight = job.map.height;
    const std::uint8_t* const sourceBits = job.source.bits;
    const std::size_t sourcePitch = job.source.pitch;
    std::uint8_t* const destBits = job.dest.bits;
    const std::size_t destPitch = job.dest.pitch;
    // The generator's state lives in a local for the pass: the byte stores below could
    // otherwise alias it and force a reload and a store per track point.
    std::uint32_t seed = seed_;
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
    const auto finishRun = [&] {
#pragma GCC unroll 4
        for (std::ptrdiff_t i = 0; i < n; ++i) pixels[i] = load<Bytes>(sourceBits + offsets[i]);
        if (lit) {
            if constexpr (kSse2Built && Bytes == 4) {
                if (sse2Rgb32)
                    brightenRgb32Sse2(pixels, incs, n);
                else
                    brightenEach(format, pixels, incs, n);
            } else {
                brightenEach(format, pixels, incs, n);
            }
        }
#pragma GCC unroll 4
        for (std::ptrdiff_t i = 0; i < n; ++i) store<Bytes>(destBits + targets[i], pixels[i]);
        n = 0;
    };
    // Tracks jitter when the tracer draws them; no point has this height otherwise.
    const std::uint32_t jitteredHeight = jitter ? 1u : 0x100u;
    const SurfacePoint* const points = job.map.at(left, top);
    for (std::int32_t y = top; y <= bottom; ++y) {
        const SurfacePoint* p = points + static_cast<std::ptrdiff_t>(y - top) * mapWidth;
        std::size_t target =
            static_cast<std::size_t>(y) * destPitch + static_cast<std::size_t>(left) * Bytes;
        // A row is taken in pieces that fit a run whole, so that a point need not check.
        for (std::int32_t from = left; from <= right; from += kRun) {
            const std::int32_t to = std::min(right, from + (kRun - 1));
            if (n > kRun - (to - from + 1)) finishRun();
            for (std::int32_t x = from; x <= to; ++x, ++p, target += Bytes) {
                const std::uint32_t height = p->height;
                if (height == 0) continue;
                const PointCache::Entry& e = pointCache_.at(*p);
                std::int32_t sx = add(x, e.dx);
                if (height == jitteredHeight)
                    sx = add(sx, static_cast<std::int32_t>(drawJitter(seed)) - 1);
                const MapPosition at = wrapIntoMap(sx, add(y, e.dy), mapWidth, mapHeight);
                offsets[n] = static_cast<std::uint32_t>(at.y) * sourcePitch +
                             static_cast<std::uint32_t>(at.x) * std::size_t{Bytes};
                __builtin_prefetch(sourceBits + offsets[n]);
                targets[n] = target;
                incs[n] = e.inc;
                ++n;
            }
        }
    }
    finishRun();
    seed_ = seed;
}

template <int Bytes>
void Tracer::antiAlias(const TraceJob& job) const {
    const Format format{redShift_, greenShift_, blueShift_, redMax_, greenMax_, blueMax_};
    if constexpr (kSse2Built && Bytes == 4) {
        if (sse2() && format.isRgb32()) {
            smoothRgb32Sse2(job);
            return;
        }
    }
    const std::ptrdiff_t pitch = job.source.pitch;
    std::uint8_t* const bits = job.dest.bits;
    forInnerPoints(job, [&](std::int32_t x, std::int32_t y, std::uint32_t h) {
        std::uint8_t* c =
            bits + static_cast<std::ptrdiff_t>(y) * pitch + static_cast<std::ptrdiff_t>(x) * Bytes;
        const Channels centre = format.unpack(load<Bytes>(c));
        Channels sum{centre.r * 8, centre.g * 8, centre.b * 8};
        const std::ptrdiff_t offsets[8] = {-pitch - Bytes, -pitch, -pitch + Bytes, Bytes,
                                           pitch + Bytes,  pitch,  pitch - Bytes,  -Bytes};
        for (std::ptrdiff_t o : offsets) {
            const Channels n = format.unpack(load<Bytes>(c + o));
            sum.r += n.r;
            sum.g += n.g;
            sum.b += n.b;
        }
        Channels out;
        if (h == 1) {
            out = {((sum.r * 15) >> 4) >> 4, ((sum.g * 15) >> 4) >> 4, ((sum.b * 15) >> 4) >> 4};
        } else {
            out = {sum.r >> 4, sum.g >> 4, sum.b >> 4};
        }
        store<Bytes>(c, format.pack(out));
    });
}

template <int Bytes>
void Tracer::darkenTracks(const TraceJob& job) const {
    const Format format{redShift_, greenShift_, blueShift_, redMax_, greenMax_, blueMax_};
    const std::ptrdiff_t pitch = job.source.pitch;
    std::uint8_t* const bits = job.dest.bits;
    forInnerPoints(job, [&](std::int32_t x, std::int32_t y, std::uint32_t h) {
        if (h != 1) return;
        std::uint8_t* c =
            bits + static_cast<std::ptrdiff_t>(y) * pitch + static_cast<std::ptrdiff_t>(x) * Bytes;
        const Channels v = format.unpack(load<Bytes>(c));
        store<Bytes>(c, format.pack({(v.r * 15) >> 4, (v.g * 15) >> 4, (v.b * 15) >> 4}));
    });
}

template <int Bytes>
void Tracer::traceDepth(const TraceJob& job) {
    refract<Bytes>(job);
    // A palette index has no channels to smooth or darken.
    if constexpr (Bytes > 1) {
        if (options_.antiAlias)
            antiAlias<Bytes>(job);
        else
            darkenTracks<Bytes>(job);
    }
}

// ---- 7. The interface ----

void Tracer::setup(const std::int32_t* cosnTable, const ChannelMasks& masks,
                   const TracerOptions& options) {
    cosnTable_ = cosnTable;
    options_ = options;
    decodeMask(masks.r, redShift_, redMax_);
    decodeMask(masks.g, greenShift_, greenMax_);
    decodeMask(masks.b, blueShift_, blueMax_);
}

void Tracer::trace(const TraceJob& job) {
    if (cosnTable_ == nullptr) return;
    switch (job.dest.bitsPerPixel) {
        case 8:
            traceDepth<1>(job);
            break;
        case 16:
            traceDepth<2>(job);
            break;
        case 24:
            traceDepth<3>(job);
            break;
        case 32:
            traceDepth<4>(job);
            break;
        default:
            break;  // other depths are not drawn
    }
}

MapPosition rayLanding(const TraceMap& map, std::int32_t x, std::int32_t y,
                       std::int32_t distanceToDesktop) {
    const MapPosition offset = rayOffset(*map.at(x, y), distanceToDesktop);
    return wrapIntoMap(add(x, offset.x), add(y, offset.y), map.width, map.height);
}

void prefetchTrace(const TraceJob& job) {
    const std::uint32_t bytes = (job.dest.bitsPerPixel + 7) / 8;
    if (bytes == 0 || bytes > 4 || job.right < job.left || job.bottom < job.top) return;
    const std::int64_t rows = job.dest.height;
    const std::size_t columns = static_cast<std::size_t>(job.right - job.left + 1);
    const std::size_t from = static_cast<std::size_t>(job.left) * bytes;
    for (std::int32_t y = job.top; y <= job.bottom; ++y) {
        prefetchSpan(reinterpret_cast<const std::uint8_t*>(job.map.at(job.left, y)),
                     columns * sizeof(SurfacePoint), false);
        if (y < rows)
            prefetchSpan(job.dest.bits + static_cast<std::size_t>(y) * job.dest.pitch + from,
                         columns * bytes, true);
    }
}
