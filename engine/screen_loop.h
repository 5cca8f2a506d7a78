#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/frame_presentation.h"
#include "engine/screen_pictures.h"
#include "engine/water_trace.h"
#include "rain/rain_field.h"
#include "rain/water_surface.h"
#include "render/tracer/channel_masks.h"
#include "render/tracer/tracer.h"
#include "settings/saver_settings.h"

// The rain on one screen, a frame at a time: the pane and the rain field at the screen's size,
// the tracer in the screen's pixel format, the restart schedule, and what of each frame goes to
// the screen. Its hosts keep the pictures and show them: the saver's primary screen, each of
// its other monitors, misto-render.
class ScreenLoop {
  public:
    // Rain and restarts as `settings` give them, the first restart one period after `now` (the
    // host's millisecond tick); the tracer highlights with `cosntable` (129 entries, used in
    // place); the drops come from this screen's own generator, started at `seed`, so what one
    // screen draws never depends on another. Nothing rains before `prepare`.
    ScreenLoop(const SaverSettings& settings, const std::int32_t* cosntable, std::uint32_t now,
               std::uint32_t seed);
    ScreenLoop(const ScreenLoop&) = delete;
    ScreenLoop& operator=(const ScreenLoop&) = delete;

    // A dry pane and an empty rain field for a screen of `width` x `height` pixels in the
    // format of `masks`, the tracer set up for that format, and the whole next frame shown.
    // Called again when the screen changes; the generator, the jitter and the restart rhythm
    // go on.
    void prepare(std::int32_t width, std::int32_t height, const ChannelMasks& masks);
    bool prepared() const { return waterSurface_ && rainField_; }

    // One frame at the tick `now`: when a restart is due the glass is wiped (no drops, a dry
    // pane, the clean picture back in the work picture), then the rain steps, and then what
    // the pane says it changed is traced from the clean picture into the work picture.
    void frame(ScreenPictures& pictures, std::uint32_t now);

    // The next frame wipes the glass whether a restart is due or not; the schedule goes on.
    void restartNextFrame() { restartOwed_ = true; }

    // What of the work picture to show after the frame just drawn; the areas are in areas().
    FramePresentation::Send plan(std::uint32_t now);
    const std::vector<PixelArea>& areas() const { return presentation_.areas(); }
    // After anything that may have spoilt the shown picture.
    void presentWholeNextFrame() { presentation_.presentWholeNextFrame(); }

    // The rectangles the last frame traced, clipped to the map.
    const std::vector<DirtyRect>& traced() const { return trace_.traced(); }

    // The pane and the rain field of the prepared screen.
    WaterSurface& waterSurface() { return *waterSurface_; }
    const WaterSurface& waterSurface() const { return *waterSurface_; }
    RainField& rainField() { return *rainField_; }
    const RainField& rainField() const { return *rainField_; }
    FramePresentation& presentation() { return presentation_; }
    bool restartEnabled() const { return restartEnabled_; }
    std::int32_t restartPeriodMs() const { return restartPeriodMs_; }
    std::uint32_t nextRestartTick() const { return nextRestartTick_; }

  private:
    SaverSettings settings_;
    const std::int32_t* cosntable_;
    Tracer tracer_;
    bool restartEnabled_;
    std::int32_t restartPeriodMs_;
    std::uint32_t nextRestartTick_;
    bool restartOwed_ = false;
    FramePresentation presentation_;
    WaterTrace trace_;
    RainRandom random_;
    const RainTuning tuning_;
    // The field's drops point into the pane, so the field is declared last and goes first.
    std::unique_ptr<WaterSurface> waterSurface_;
    std::unique_ptr<RainField> rainField_;
};
