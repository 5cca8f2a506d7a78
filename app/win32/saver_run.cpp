#include <windows.h>

#include "app/win32/desktop_capture.h"
#include "app/win32/display_state_notification.h"
#include "app/win32/highlight_table.h"
#include "app/win32/present_frame.h"
#include "app/win32/screen_saver_app.h"
#include "app/win32/surface_pictures.h"
#include "foundation/win32/test_fault.h"
#include "rain/rain_random.h"
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

    // Every screen restarts in the same rhythm, counted from the same tick.
    const std::uint32_t start = rainTick();
    screenLoop.reset(new ScreenLoop(settings, highlightTable(), start, screenSeed(rainSeed, 0)));
    startRainForScreen();
    otherMonitors.start(window.handle(), settings, highlightTable(), start, rainSeed);

    window.setFrameHandler(otherMonitors.alongside(
        new FrameHandler<ScreenSaverApp>(*this, &ScreenSaverApp::onFrame), displayPower));
    {
        const DisplayStateNotification displayState(window.handle());
        pumpMessages();
    }
    // No more frames: the slots below go away while the window still ticks.
    window.setFrameHandler(nullptr);

    if (backgroundSurface && primarySurface) backgroundSurface->blt_to(*primarySurface);
    otherMonitors.end();
    screenLoop.reset();
}

void ScreenSaverApp::startRainForScreen() {
    // The map must be exactly as large as the surfaces the tracer walks, so it takes the size
    // of the screen as it really is, not of the mode that was asked for.
    DDraw::SurfaceDescription screen;
    screen.read_from(*primarySurface);
    const auto width = static_cast<std::int32_t>(screen.width());
    const auto height = static_cast<std::int32_t>(screen.height());
    if (width <= 0 || height <= 0) throw DDraw::Exception(DDraw::ScreenNotPreparedText);
    DDraw::SurfaceDescription format;
    format.read_from(*workSurface);
    screenLoop->prepare(width, height,
                        ChannelMasks{format.red_mask(), format.green_mask(), format.blue_mask()});
}

void ScreenSaverApp::onFrame() {
    // A tick queued before the timer stopped may still arrive while the display is off.
    if (busy || !displayPower.running()) return;
    if (!primarySurface || !workSurface || !backgroundSurface || !screenLoop) return;
    BusyFlag running(busy);

    // A screen that is lost and cannot be brought back is not drawn on this frame, unless the
    // display now runs another mode: then everything is made again for it.
    if (!primarySurface->recover(*workSurface) && !followDisplayChange()) return;

    TestFault::throwIfRequested("frame");
    TestFault::faultIfRequested("frame-fault");
    TestFault::systemFaultIfRequested("frame-system-fault");
    SurfacePictures pictures(*workSurface, *backgroundSurface);
    screenLoop->frame(pictures, rainTick());

    if (!primarySurface->recover(*workSurface)) return;
    presentFrame(*screenLoop, *workSurface, *primarySurface, rainTick());
}

void ScreenSaverApp::displayStateChanged(std::uint32_t state) {
    switch (displayPower.report(state, currentTick())) {
        case DisplayPower::Change::Paused:
            window.stopTimer();
            return;
        case DisplayPower::Change::Resumed:
            // The screen may have lost what it showed while it was off.
            if (screenLoop) screenLoop->presentWholeNextFrame();
            otherMonitors.showWhole();
            window.startTimer();
            return;
        case DisplayPower::Change::None:
            return;
    }
}

std::uint32_t ScreenSaverApp::currentTick() { return GetTickCount(); }

void ScreenSaverApp::releaseSaverRun() {
    workSurface.reset();
    backgroundSurface.reset();
    primarySurface.reset();
    screenLoop.reset();
    // With the wrappers gone the device can go too, while the window it was given still
    // exists: the display gets its mode back before an error box or the desktop shows.
    DDraw::release_device();
}
