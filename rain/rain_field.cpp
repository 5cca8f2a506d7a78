#include "rain/rain_field.h"

#include <algorithm>
#include <limits>

#include "rain/water_surface.h"
#include "settings/saver_settings.h"

RainField::RainField(std::int32_t width, std::int32_t height, WaterSurface* surface,
                     RainRandom& random, const RainTuning& tuning)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      surface_(surface),
      random_(random),
      tuning_(tuning) {}

RainField::~RainField() { clear(); }

void RainField::configure(const RainParameters& params) {
    // The stored values may be damaged; the field works on bounded copies of them so that a
    // wild value can neither index outside the shape tables nor spawn without end.
    density_ = static_cast<float>(std::clamp(params.density(), 0, MaxDensity));
    wind_x_ = std::clamp(params.windX(), -MaxWind, MaxWind);
    wind_y_ = std::clamp(params.windY(), -MaxWind, MaxWind);
    min_radius_ = std::clamp(params.minDropRadius(), 1, Drop::MaxBirthRadius);
    radius_spread_ = std::max(params.dropRadiusSpread(), 0);
}

void RainField::spawn() {
    for (;;) {
        const float p = static_cast<float>(random_.rnd(100));
        if (!(p < density_)) return;
        const std::int32_t a = wind_x_ + 20 - random_.rnd(40);
        std::int32_t b = wind_y_ + 20 - random_.rnd(40);
        if (b < 0) b = 0;
        const std::int32_t radius =
            std::min(min_radius_ + random_.rnd(radius_spread_), Drop::MaxBirthRadius);
        const std::int32_t x = random_.rnd(width_ + a) - a;
        const std::int32_t y = random_.rnd(height_ + b) - b;
        drops_.push_back(std::make_unique<Drop>(a, b, x, y, radius, surface_));
    }
}

void RainField::stepDrops() {
    // Where every drop stands as the pass begins; see findOverlapping.
    const std::size_t n = drops_.size();
    spot_x_.resize(n);
    spot_y_.resize(n);
    spot_radius_.resize(n);
    spots_.reset(width_, height_);
    largest_spot_radius_ = 0;
    for (std::size_t i = 0; i < n; ++i) {
        takeSpot(i);
        spots_.insert(static_cast<std::uint32_t>(i), static_cast<std::int32_t>(spot_x_[i]),
                      static_cast<std::int32_t>(spot_y_[i]));
    }
    // Ends the pass on every way out, so that later look-ups read the drops themselves.
    struct PassGuard {
        RainField& f;
        ~PassGuard() { f.stepping_ = kNotStepping; }
    } guard{*this};
    for (std::size_t i = 0; i < drops_.size(); ++i) {
        Drop* d = drops_[i].get();
        stepping_ = i;
        if (!d->step(width_, height_, *this)) removal_.insert(d);
        const auto fromX = static_cast<std::int32_t>(spot_x_[i]);
        const auto fromY = static_cast<std::int32_t>(spot_y_[i]);
        takeSpot(i);
        spots_.move(static_cast<std::uint32_t>(i), fromX, fromY,
                    static_cast<std::int32_t>(spot_x_[i]), static_cast<std::int32_t>(spot_y_[i]));
    }
    if (removal_.empty()) return;
    drops_.erase(std::remove_if(drops_.begin(), drops_.end(),
                                [this](const std::unique_ptr<Drop>& d) {
                                    return removal_.count(d.get()) != 0;
                                }),
                 drops_.end());
    removal_.clear();
}

void RainField::step() {
    spawn();
    stepDrops();
}

void RainField::takeSpot(std::size_t i) {
    const Drop& d = *drops_[i];
    spot_x_[i] = static_cast<std::uint32_t>(d.x);
    spot_y_[i] = static_cast<std::uint32_t>(d.y);
    // A drop's radius changes behind its back only by a partner's `grow`, which never takes
    // it above MaxDropRadius; counting at least that much keeps the snapshot a safe bound.
    const std::int64_t r = d.radius < 0 ? -static_cast<std::int64_t>(d.radius) : d.radius;
    spot_radius_[i] = static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(r, Drop::MaxDropRadius, std::numeric_limits<std::int32_t>::max()));
    largest_spot_radius_ = std::max(largest_spot_radius_, spot_radius_[i]);
}

namespace {

// True whenever a - b lies within -r ... r (and for a few far pairs as well, which the exact
// test then rejects): the difference is taken modulo 2^32, so nothing can overflow. A reach of
// 2^31 or more takes in every difference.
constexpr std::uint32_t kEverywhere = 0x80000000u;

inline bool within(std::uint32_t a, std::uint32_t b, std::uint32_t r) {
    return r >= kEverywhere || a - b + r <= 2 * r;
}

inline std::uint32_t reachOf(std::int64_t absPr, std::int64_t r) {
    return static_cast<std::uint32_t>(std::min<std::int64_t>(absPr + r, kEverywhere));
}

}  // namespace

Drop* RainField::findOverlapping(std::int32_t px, std::int32_t py, std::int32_t pr) const {
    // Runs up to three times per drop and frame over every drop, so most drops must be ruled
    // out cheaply. A head circle of radius r can only touch the probe circle when both axis
    // distances are within |pr| + r. During a pass only the drop being stepped moves; every
    // other drop stands where its snapshot says (with a radius at most as large), so compact
    // arrays rule out the far ones in blocks without touching the drops. Outside a pass, and
    // for the drop being stepped, the drops' own fields are read. Either way the drop itself
    // answers for the few that remain, in list order.
    const bool anyRemoved = !removal_.empty();
    const std::int64_t absPr = pr < 0 ? -static_cast<std::int64_t>(pr) : pr;
    const std::uint32_t ux = static_cast<std::uint32_t>(px), uy = static_cast<std::uint32_t>(py);
    const std::size_t n = drops_.size();
    auto exact = [&](std::size_t i) -> Drop* {
        Drop* d = drops_[i].get();
        const std::int64_t r = d->radius < 0 ? -static_cast<std::int64_t>(d->radius) : d->radius;
        const std::uint32_t reach = reachOf(absPr, r);
        if (!within(static_cast<std::uint32_t>(d->x), ux, reach) ||
            !within(static_cast<std::uint32_t>(d->y), uy, reach))
            return nullptr;
        if (anyRemoved && removal_.count(d) != 0) return nullptr;
        return d->overlaps(px, py, pr) ? d : nullptr;
    };
    const bool inPass = stepping_ != kNotStepping && spot_x_.size() == n;
    if (!inPass) {
        for (std::size_t i = 0; i < n; ++i)
            if (Drop* d = exact(i)) return d;
        return nullptr;
    }
    const std::uint32_t base = reachOf(absPr, 0);
    // Near drops only, from the cells around the probe, then in list order; the one being
    // stepped always counts, wherever its snapshot says it stood.
    constexpr std::uint32_t kGridReach = 1u << 16;
    if (base < kGridReach && largest_spot_radius_ < kGridReach) {
        candidates_.clear();
        spots_.visitNear(px, py, base + largest_spot_radius_, [&](std::uint32_t i) {
            const std::uint32_t reach = base + spot_radius_[i];
            if (within(spot_x_[i], ux, reach) && within(spot_y_[i], uy, reach))
                candidates_.push_back(i);
        });
        candidates_.push_back(static_cast<std::uint32_t>(stepping_));
        std::sort(candidates_.begin(), candidates_.end());
        candidates_.erase(std::unique(candidates_.begin(), candidates_.end()), candidates_.end());
        for (std::uint32_t i : candidates_)
            if (Drop* d = exact(i)) return d;
        return nullptr;
    }
    constexpr std::size_t kBlock = 32;
    for (std::size_t first = 0; first < n; first += kBlock) {
        const std::size_t count = std::min(kBlock, n - first);
        std::uint32_t mask = 0;
        for (std::size_t k = 0; k < count; ++k) {
            const std::size_t i = first + k;
            const std::uint32_t reach = std::min(base + spot_radius_[i], kEverywhere);
            const bool near = within(spot_x_[i], ux, reach) && within(spot_y_[i], uy, reach);
            mask |= static_cast<std::uint32_t>(near) << k;
        }
        if (stepping_ >= first && stepping_ < first + count) mask |= 1u << (stepping_ - first);
        for (; mask != 0; mask &= mask - 1) {
            std::size_t k = 0;
            while (((mask >> k) & 1u) == 0) ++k;
            if (Drop* d = exact(first + k)) return d;
        }
    }
    return nullptr;
}

void RainField::clear() {
    for (auto& d : drops_) d->detach();
    drops_.clear();
}

void RainField::add(std::unique_ptr<Drop> drop) { drops_.push_back(std::move(drop)); }
