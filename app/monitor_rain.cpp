#include "app/monitor_rain.h"

#include <algorithm>
#include <cstring>

#include "render/tracer/tracer_format_scope.h"
#include "settings/saver_settings.h"

namespace {

// A 32-bit bitmap's channels: blue in the lowest byte, then green, then red.
constexpr std::uint32_t kRed = 0x00FF0000, kGreen = 0x0000FF00, kBlue = 0x000000FF;

void copyRows(const SurfaceDesc& from, const SurfaceDesc& to) {
    const std::size_t bytes = static_cast<std::size_t>(to.SurfWidth) * 4;
    for (std::uint32_t y = 0; y < to.SurfHeight; ++y)
        std::memcpy(to.LFB + static_cast<std::size_t>(y) * to.Pitch,
                    from.LFB + static_cast<std::size_t>(y) * from.Pitch, bytes);
}

}  // namespace

std::vector<MonitorArea> secondaryAreas(const std::vector<MonitorArea>& monitors,
                                        const MonitorArea& primary) {
    std::vector<MonitorArea> kept;
    for (const MonitorArea& m : monitors) {
        if (m.empty() || m.overlaps(primary)) continue;
        const bool covered = std::any_of(kept.begin(), kept.end(),
                                         [&](const MonitorArea& k) { return k.overlaps(m); });
        if (!covered) kept.push_back(m);
    }
    return kept;
}

MonitorRain::MonitorRain(const MonitorArea& area, const RainParameters& rain,
                         std::int32_t radiusLimit, std::uint8_t* pixels, std::uint32_t pitch)
    : area_(area),
      water_(area.width(), area.height(), radiusLimit),
      field_(area.width(), area.height(), &water_),
      picture_(SurfaceDesc{32, pitch, static_cast<std::uint32_t>(area.width()),
                           static_cast<std::uint32_t>(area.height()), pixels}),
      // The same row length as the picture: the tracer's smoothing walks both with one pitch.
      background_(static_cast<std::uint32_t>(area.width()),
                  static_cast<std::uint32_t>(area.height()), 32, pitch) {
    field_.configure(rain);
    copyRows(picture_.description(), background_.description());
}

const std::vector<MonitorRain::Change>& MonitorRain::frame(bool restart) {
    changes_.clear();
    if (restart) {
        field_.clear();
        water_.clear();
        clean();
        changes_.push_back(Change{0, 0, area_.width(), area_.height()});
    }
    field_.step();
    // What the tracer is about to redraw, clipped as the flush clips it.
    if (!restart) {
        for (const DirtyRect& r : water_.dirtyList()) {
            const Change c{std::max(r.left, 0), std::max(r.top, 0),
                           std::min(r.right + 1, area_.width()),
                           std::min(r.bottom + 1, area_.height())};
            if (!c.empty()) changes_.push_back(c);
        }
    }
    TracerFormatScope format(kRed, kGreen, kBlue);
    water_.flush(picture_, background_);
    return changes_;
}

void MonitorRain::clean() { copyRows(background_.description(), picture_.description()); }
