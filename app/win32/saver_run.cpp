#include <windows.h>

#include "app/restart_schedule.h"
#include "app/win32/desktop_capture.h"
#include "app/win32/present_frame.h"
#include "app/win32/screen_saver_app.h"
#include "app/win32/setup_tracer.h"
#include "foundation/win32/test_fault.h"
#include "rain/drop.h"
#include "rain/rain_tuning.h"
#include "render/win32/ddraw_device.h"
#include "render/win32/surface_description.h"
#include "settings/configuration.h"

namespace {

// Clears the frame's re-entry flag however the frame ends.
class BusyFlag {
  public:
    explicit BusyFlag(std::uint8_t& flag) : flag_(flag) { flag_ = 1; }
    ~BusyFlag() { flag_ = 0; }
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;

  private:
    std::uint8_t& flag_;
};

}  // namespace

void ScreenSaverApp::runSaver() {
    SaverSettings& settings = Configuration::settings();

    // The picture first: once the window shows, the screen holds the window, not the desktop.
    std::unique_ptr<DDraw::Surface> snapshot = captureDesktop(window.handle());
    otherMonitors.capture();
    window.show();
    prepareDisplay(window.handle(), settings, std::move(snapshot));

    startRainForScreen();

    restartEnabled = settings.restartEnabled() ? 1 : 0;
    restartPeriodMs =
        RestartSchedule::periodMs(settings.restartMinutes(), settings.restartSeconds());
    nextRestartTick = RestartSchedule::firstDue(GetTickCount(), restartPeriodMs);
    otherMonitors.start(window.handle(), settings, restartEnabled != 0, restartPeriodMs,
                        nextRestartTick);

    window.setFrameHandler(
        otherMonitors.alongside(new FrameHandler<ScreenSaverApp>(*this, &ScreenSaverApp::onFrame)));
    pumpMessages();
    // No more frames: the slots below go away while the window still ticks.
    window.setFrameHandler(nullptr);

    if (backgroundSurface && primarySurface) backgroundSurface->blt_to(*primarySurface);
    otherMonitors.end();
    rainField.reset();
    waterSurface.reset();
}

void ScreenSaverApp::startRainForScreen() {
    const SaverSettings& settings = Configuration::settings();
    // The map must be exactly as large as the surfaces the tracer walks, so it takes the size
    // of the screen as it really is, not of the mode that was asked for.
    DDraw::SurfaceDescription screen;
    screen.read_from(*primarySurface);
    const auto width = static_cast<std::int32_t>(screen.width());
    const auto height = static_cast<std::int32_t>(screen.height());
    if (width <= 0 || height <= 0) throw DDraw::Exception(DDraw::ScreenNotPreparedText);
    rainField.reset();
    waterSurface.reset(new WaterSurface(width, height, settings.dropRadiusMax()));
    rainField.reset(new RainField(width, height, waterSurface.get()));
    rainField->configure(settings);

    setUpRainTuning(Drop::MaxDropRadius);
    setup_tracer(*workSurface);
}

void ScreenSaverApp::onFrame() {
    if (busy) return;
    if (!primarySurface || !workSurface || !backgroundSurface || !rainField || !waterSurface)
        return;
    BusyFlag running(busy);

    // A screen that is lost and cannot be brought back is not drawn on this frame, unless the
    // display now runs another mode: then everything is made again for it.
    if (!primarySurface->recover(*workSurface) && !followDisplayChange()) return;

    const std::uint32_t now = GetTickCount();
    if (restartEnabled && RestartSchedule::isDue(now, nextRestartTick)) {
        rainField->clear();
        waterSurface->clear();
        backgroundSurface->blt_to(*workSurface);
        presentation.presentWholeNextFrame();
        nextRestartTick = RestartSchedule::advance(nextRestartTick, restartPeriodMs, now);
    }

    TestFault::throwIfRequested("frame");
    TestFault::faultIfRequested("frame-fault");
    TestFault::systemFaultIfRequested("frame-system-fault");
    rainField->step();
    // A surface that does not lock is left alone; its rectangles wait for the next frame.
    waterSurface->flush(*workSurface, *backgroundSurface);

    if (!primarySurface->recover(*workSurface)) return;
    presentFrame(presentation, *waterSurface, *workSurface, *primarySurface);
}

void ScreenSaverApp::releaseSaverRun() {
    workSurface.reset();
    backgroundSurface.reset();
    primarySurface.reset();
    rainField.reset();
    waterSurface.reset();
    // With the wrappers gone the device can go too, while the window it was given still
    // exists: the display gets its mode back before an error box or the desktop shows.
    DDraw::release_device();
}
