#include "rain/drop.h"

#include <algorithm>

#include "rain/rain_field.h"
#include "rain/rain_random.h"
#include "rain/rain_tuning.h"
#include "rain/water_surface.h"

namespace {

std::int32_t spreadDraw(RainRandom& random, std::int32_t mean, std::int32_t spread) {
    return mean + spread - random.rnd(2 * spread);
}

void addRect(WaterSurface* s, const ShapeRect& r) { s->addDirty(r.left, r.top, r.right, r.bottom); }

}  // namespace

Drop::Drop(std::int32_t vx_, std::int32_t vy_, std::int32_t x_, std::int32_t y_,
           std::int32_t radius_, WaterSurface* surface_)
    : vx(vx_),
      vy(vy_),
      ax(0),
      ay(0),
      x(x_),
      y(y_),
      // A damaged radius must never index outside the shape tables.
      radius(std::clamp(radius_, 1, MaxBirthRadius)),
      x_fp(x_ * 256),
      y_fp(y_ * 256),
      radius_fp(radius * 256),
      rect{0, 0, 0, 0},
      merge_state(MergeState::None),
      partner(nullptr),
      surface(surface_),
      wiggle_timer(-1),
      track_start_y(0) {}

bool Drop::overlaps(std::int32_t px, std::int32_t py, std::int32_t pr) const {
    const std::int64_t r = static_cast<std::int64_t>(pr) + radius;
    const std::int64_t dy = static_cast<std::int64_t>(y) - py;
    const std::int64_t dx = static_cast<std::int64_t>(x) - px;
    return r * r >= dy * dy + dx * dx;
}

void Drop::detach() {
    merge_state = MergeState::None;
    partner = nullptr;
}

void Drop::makeReceiving(Drop* joining) {
    merge_state = MergeState::Receiving;
    partner = joining;
}

void Drop::grow(std::int32_t r) {
    radius = std::min(std::max(radius, r) + 1, MaxDropRadius);
    radius_fp = radius << 8;
}

std::int32_t Drop::scaled(std::int32_t v) const {
    return static_cast<std::int32_t>((static_cast<double>(radius) / MaxDropRadius) * v);
}

std::int32_t Drop::probe(std::int32_t px, std::int32_t py, std::int32_t width,
                         std::int32_t height) const {
    if (px < 0 || px >= width || py < 0 || py >= height) return 1;
    return static_cast<std::int32_t>(surface->heightAt(px, py) & 0xFFu);
}

void Drop::arrive(std::int32_t) {
    // The streak length comes straight from the wind setting; bound it so that a wild value
    // costs a few thousand clipped stamps at most instead of hanging the frame.
    const std::int32_t n = std::min(vy, MaxStreakRows);
    const std::int64_t a = std::clamp(vx, -MaxStreakExtent, MaxStreakExtent);
    const std::int32_t x0 = x, y0 = y;
    float rad = 1.0f;
    const float inc = n > 0 ? static_cast<float>(radius - 1) / static_cast<float>(n) : 0.0f;
    for (std::int32_t i = 0; i < n; ++i) {
        y = y0 + i;
        x = x0 + static_cast<std::int32_t>((i * a) / n);
        const ShapeRect r =
            surface->stamp(x, y, static_cast<std::int32_t>(rad), 0, ShapeKind::Track);
        addRect(surface, r);
        if (i == 0) rect = r;
        rad += inc;
    }
    x_fp = x * 256;
    y_fp = y * 256;
    vx = vy = ax = ay = 0;
}

bool Drop::join(std::int32_t px, std::int32_t py, RainField& field) {
    const RainTuning& t = field.tuning();
    Drop* p = merge_state != MergeState::None ? partner : field.findOverlapping(px, py, radius);
    if (p == nullptr) return true;
    if ((p->partner != nullptr && p->partner != this) || y >= p->y) return true;
    merge_state = MergeState::Joining;
    partner = p;
    p->makeReceiving(this);
    y_fp += ((p->y - y) * 256) / t.merge_divisor;
    y = y_fp >> 8;
    x_fp += ((p->x - x) * 256) / t.merge_divisor;
    x = x_fp >> 8;
    const std::int32_t q = (radius + p->radius) / 4;
    const std::int32_t dx = x - p->x, dy = y - p->y;
    if (dx * dx + dy * dy > q * q) return true;
    p->detach();
    p->grow(radius);
    partner = nullptr;
    merge_state = MergeState::None;
    return false;
}

void Drop::followGlass(std::int32_t width, std::int32_t height, const RainTuning& t,
                       RainRandom& random) {
    const std::int32_t below = probe(x, y + 2 * radius + 2, width, height);
    const std::int32_t left = probe(x - radius - 2, y + radius + 2, width, height);
    const std::int32_t right = probe(x + radius + 2, y + radius + 2, width, height);
    if (below == 0) {
        if (vy == t.track_speed) {
            vy = scaled(spreadDraw(random, t.primary_speed_mean, t.primary_speed_spread));
            ay = t.slide_acceleration;
        }
        vx += ax;
        vy += ay;
    } else if (vy < t.track_speed) {
        vy = t.track_speed;
        if (random.rnd(100) < 30) vy = vy + (random.rnd(100) * vy) / 100;
        vy = scaled(vy);
    } else if (random.rnd(100) < 30) {
        vy = scaled(t.track_speed);
    }
    if (left != 0 && right == 0) {
        vx = -t.drift_speed;
        ax = 0;
    } else if (left == 0 && right != 0) {
        vx = t.drift_speed;
        ax = 0;
    }
}

void Drop::applyMass(const RainTuning& t) {
    if (radius <= t.stop_radius) vx = ax = vy = ay = 0;
    if (vy == 0)
        radius_fp += t.rest_growth;
    else if (vy != t.track_speed)
        radius_fp -= t.motion_loss;
    radius = std::clamp(radius_fp >> 8, 1, MaxDropRadius);
}

// The steps of `step` are inline: it is the rain's hot path, and as calls they take 1.4 % more
// of its instructions.
inline void Drop::land(std::int32_t height) {
    arrive(height);
    wiggle_timer = 0;
    track_start_y = y;
}

inline void Drop::eraseIntoTrack() {
    rect = surface->stamp(x, y, radius, y - track_start_y, ShapeKind::Track);
}

inline void Drop::wiggle(const RainTuning& t, RainRandom& random) {
    if (wiggle_timer != 0) {
        --wiggle_timer;
        return;
    }
    vx = 0;
    ax = 0;
    if (random.chance(t.wiggle_chance) && y - track_start_y > radius) {
        vx = spreadDraw(random, t.wiggle_speed_mean, t.wiggle_speed_spread);
        wiggle_timer = random.rnd(t.wiggle_duration_max);
    }
}

inline bool Drop::joinBelow(std::int32_t width, std::int32_t height, RainField& field) {
    if (merge_state != MergeState::None) return join(x + radius + 3, y + radius, field);
    for (int i = 0; i < 3; ++i) {
        // Each probe point is taken from the position after the previous approach.
        std::int32_t px = x, py = y + 2 * radius + 5;
        if (i < 2) {
            px = i == 0 ? x + radius + 3 : x - radius - 3;
            py = y + radius;
        }
        if (probe(px, py, width, height) <= 1 && !join(px, py, field)) return false;
    }
    return true;
}

inline void Drop::startOrRest(const RainTuning& t, RainRandom& random) {
    if (vy < 10) {
        vy = 0;
        ay = 0;
    }
    if (vy == 0) {
        if (random.chance(t.primary_start_chance)) {
            vy = scaled(spreadDraw(random, t.primary_speed_mean, t.primary_speed_spread));
            ay = t.slide_acceleration;
        }
        if (vy == 0 && random.chance(t.secondary_start_chance)) {
            vy = scaled(spreadDraw(random, t.secondary_speed_mean, t.secondary_speed_spread));
            ay = t.slide_acceleration;
        }
    }
    if (vy == 0) {
        vx = 0;
        ax = 0;
    }
}

inline void Drop::move() {
    if (merge_state == MergeState::Joining) return;
    x_fp += vx;
    x = x_fp >> 8;
    y_fp += vy;
    y = y_fp >> 8;
}

inline bool Drop::offScreen(std::int32_t width, std::int32_t height) const {
    return x < -radius || x > width + radius || y < -radius || y > height + radius;
}

inline void Drop::leaveMerge() {
    if (merge_state == MergeState::None) return;
    if (partner != nullptr) partner->detach();
    partner = nullptr;
    merge_state = MergeState::None;
}

inline void Drop::stampBody(std::int32_t old_x) {
    const std::int32_t tail = y - track_start_y;
    const ShapeRect now = merge_state != MergeState::None
                              ? surface->stampBlend(x, y, radius, tail, ShapeKind::Body)
                              : surface->stamp(x, y, radius, tail, ShapeKind::Body);
    rect.bottom = now.bottom;
    if (old_x > x)
        rect.left = now.left;
    else
        rect.right = now.right;
}

bool Drop::step(std::int32_t width, std::int32_t height, RainField& field) {
    const RainTuning& t = field.tuning();
    RainRandom& random = field.random();
    if (wiggle_timer == -1) land(height);
    const std::int32_t old_x = x;
    eraseIntoTrack();
    wiggle(t, random);
    if (!joinBelow(width, height, field)) {
        addRect(surface, rect);
        return false;
    }
    followGlass(width, height, t, random);
    startOrRest(t, random);
    applyMass(t);
    move();
    if (offScreen(width, height)) {
        leaveMerge();
        addRect(surface, rect);
        return false;
    }
    stampBody(old_x);
    addRect(surface, rect);
    return true;
}
