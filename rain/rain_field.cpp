#include "rain/rain_field.h"

#include <algorithm>

#include "rain/rain_random.h"
#include "rain/water_surface.h"
#include "settings/saver_settings.h"

using RainRandom::rnd;

RainField::RainField(std::int32_t width, std::int32_t height, WaterSurface* surface)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), surface_(surface) {}

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
        const float p = static_cast<float>(rnd(100));
        if (!(p < density_)) return;
        const std::int32_t a = wind_x_ + 20 - rnd(40);
        std::int32_t b = wind_y_ + 20 - rnd(40);
        if (b < 0) b = 0;
        const std::int32_t radius =
            std::min(min_radius_ + rnd(radius_spread_), Drop::MaxBirthRadius);
        const std::int32_t x = rnd(width_ + a) - a;
        const std::int32_t y = rnd(height_ + b) - b;
        drops_.push_back(std::make_unique<Drop>(a, b, x, y, radius, surface_));
    }
}

void RainField::stepDrops() {
    for (std::size_t i = 0; i < drops_.size(); ++i) {
        Drop* d = drops_[i].get();
        if (!d->step(width_, height_, *this)) removal_.insert(d);
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

Drop* RainField::findOverlapping(std::int32_t px, std::int32_t py, std::int32_t pr) const {
    for (const auto& d : drops_) {
        if (removal_.count(d.get()) != 0) continue;
        if (d->overlaps(px, py, pr)) return d.get();
    }
    return nullptr;
}

void RainField::clear() {
    for (auto& d : drops_) d->detach();
    drops_.clear();
}

void RainField::add(std::unique_ptr<Drop> drop) { drops_.push_back(std::move(drop)); }
