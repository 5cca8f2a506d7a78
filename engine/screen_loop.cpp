#include "engine/screen_loop.h"

#include <utility>

#include "engine/restart_schedule.h"
#include "rain/drop.h"
#include "rain/rain_tuning.h"

ScreenLoop::ScreenLoop(const SaverSettings& settings, const std::int32_t* cosntable,
                       std::uint32_t now, std::uint32_t seed)
    : settings_(settings),
      cosntable_(cosntable),
      restartEnabled_(settings.restartEnabled()),
      restartPeriodMs_(
          RestartSchedule::periodMs(settings.restartMinutes(), settings.restartSeconds())),
      nextRestartTick_(RestartSchedule::firstDue(now, restartPeriodMs_)),
      random_(seed),
      tuning_(rainTuningFor(Drop::MaxDropRadius)) {}

void ScreenLoop::prepare(std::int32_t width, std::int32_t height, const ChannelMasks& masks) {
    // Made whole before the old ones go, so that a failure leaves the loop as it was.
    auto water = std::make_unique<WaterSurface>(width, height, settings_.dropRadiusMax());
    auto field = std::make_unique<RainField>(width, height, water.get(), random_, tuning_);
    field->configure(settings_);
    rainField_.reset();
    waterSurface_ = std::move(water);
    rainField_ = std::move(field);
    // Rectangles of the old pane mean nothing on the new one.
    trace_ = WaterTrace();
    tracer_.setup(cosntable_, masks);
    presentation_.presentWholeNextFrame();
}

void ScreenLoop::frame(ScreenPictures& pictures, std::uint32_t now) {
    if (!prepared()) return;
    const bool due = restartEnabled_ && RestartSchedule::isDue(now, nextRestartTick_);
    if (due || restartOwed_) {
        rainField_->clear();
        waterSurface_->clear();
        pictures.restoreWork();
        presentation_.presentWholeNextFrame();
        restartOwed_ = false;
        if (due)
            nextRestartTick_ = RestartSchedule::advance(nextRestartTick_, restartPeriodMs_, now);
    }
    rainField_->step();
    // A picture that does not lock is left alone; its rectangles wait for the next frame.
    trace_.run(*waterSurface_, pictures.work(), pictures.clean(), tracer_);
}

FramePresentation::Send ScreenLoop::plan(std::uint32_t now) {
    if (!prepared()) return FramePresentation::Send::Nothing;
    return presentation_.plan(trace_.traced(), waterSurface_->width(), waterSurface_->height(),
                              now);
}
