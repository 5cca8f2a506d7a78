#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "app/display_power.h"
#include "app/win32/screen_saver_app.h"
#include "ddraw_fake_surface.h"
#include "render/tracer/cosntable.h"
#include "render/win32/ddraw_surface.h"
#include "settings/saver_settings.h"

TEST(SurfaceLock, RefusedOrImplausibleLocksHoldNothing) {
    FakeDirectDrawSurface fake(16, 4);
    DDraw::Surface surface(&fake);
    SurfaceDesc desc{};

    fake.lockFails = true;
    EXPECT_FALSE(surface.lock(desc));
    fake.lockFails = false;

    fake.lockGivesNoMemory = true;
    EXPECT_FALSE(surface.lock(desc));
    fake.lockGivesNoMemory = false;

    // A pitch shorter than a row, or none at all, would lead the tracer past the memory.
    for (std::int32_t pitch : {60, 0, -64}) {
        fake.pitch = pitch;
        fake.unlocked.clear();
        EXPECT_FALSE(surface.lock(desc)) << pitch;
        ASSERT_EQ(fake.unlocked.size(), 1u) << "a granted lock is given back";
        EXPECT_EQ(fake.unlocked[0], fake.pixels.data());
    }
    fake.pitch = 64;
    fake.unlocked.clear();
    surface.unlock();
    EXPECT_TRUE(fake.unlocked.empty()) << "nothing held, nothing to give back";

    ASSERT_TRUE(surface.lock(desc));
    EXPECT_EQ(desc.bitsPerPixel, 32u);
    EXPECT_EQ(desc.pitch, 64u);
    EXPECT_EQ(desc.width, 16u);
    EXPECT_EQ(desc.height, 4u);
    EXPECT_EQ(desc.bits, fake.pixels.data());
    surface.unlock();
    ASSERT_EQ(fake.unlocked.size(), 1u);
    EXPECT_EQ(fake.unlocked[0], fake.pixels.data());
}

TEST(SurfaceRecovery, RestoresAndRepaintsOrReportsTheScreenUnusable) {
    FakeDirectDrawSurface screenFake(16, 4), pictureFake(16, 4);
    DDraw::Surface screen(&screenFake), picture(&pictureFake);

    EXPECT_TRUE(screen.recover(picture));
    EXPECT_EQ(screenFake.restores, 0);
    EXPECT_TRUE(screenFake.bltSources.empty());

    screenFake.lost = true;
    EXPECT_TRUE(screen.is_lost());
    EXPECT_TRUE(screen.recover(picture));
    EXPECT_EQ(screenFake.restores, 1);
    ASSERT_EQ(screenFake.bltSources.size(), 1u);
    EXPECT_EQ(screenFake.bltSources[0], &pictureFake);

    screenFake.lost = true;
    screenFake.restorable = false;
    screenFake.bltSources.clear();
    EXPECT_FALSE(screen.recover(picture));
    EXPECT_TRUE(screenFake.bltSources.empty());
}

namespace {

// The saver's frame step over fake surfaces and a small pane.
class FrameStep : public ScreenSaverApp, public ::testing::Test {
  protected:
    FrameStep() : primaryFake(64, 48), workFake(64, 48), backgroundFake(64, 48) {
        primarySurface.reset(new DDraw::Surface(&primaryFake));
        workSurface.reset(new DDraw::Surface(&workFake));
        backgroundSurface.reset(new DDraw::Surface(&backgroundFake));
        SaverSettings pouring;
        pouring.setDensity(50);
        // A restart every 150 s of the test's clock, which stands still unless a test moves it.
        pouring.setRestartEnabled(true);
        pouring.setRestartMinutes(2);
        pouring.setRestartSeconds(30);
        screenLoop.reset(new ScreenLoop(pouring, kCosnTable, tick, 1));
        startRainForScreen();
    }
    ~FrameStep() override { releaseSaverRun(); }

    void TestBody() override {}

    // The display as DirectDraw would report it, and the surfaces it would make for it.
    std::uint32_t modeWidth = 64, modeHeight = 48;
    std::vector<std::unique_ptr<FakeDirectDrawSurface>> made;
    std::vector<IDirectDrawSurface3*> released;
    std::uint32_t tick = 1000;

    bool readDisplayMode(DDraw::SurfaceDescription& mode) override {
        FakeDirectDrawSurface display(modeWidth, modeHeight);
        return mode.read_from(DDraw::Surface(&display));
    }
    std::unique_ptr<DDraw::Surface> newPrimarySurface() override {
        made.push_back(std::make_unique<FakeDirectDrawSurface>(modeWidth, modeHeight));
        return std::make_unique<DDraw::Surface>(made.back().get());
    }
    std::unique_ptr<DDraw::Surface> newSurfaceLike(const DDraw::Surface&) override {
        return newPrimarySurface();
    }
    void releaseSurface(DDraw::Surface& surface) override { released.push_back(surface.get()); }
    std::uint32_t currentTick() override { return tick; }

    RainField& rainField() { return screenLoop->rainField(); }
    WaterSurface& waterSurface() { return screenLoop->waterSurface(); }

    // Frames until drops exist, so that the water surface has something to trace.
    void rainUntilDrops() {
        for (int i = 0; i < 200 && rainField().drops().empty(); ++i) onFrame();
        ASSERT_FALSE(rainField().drops().empty());
    }

    // What the system sends the saver's window about a power setting, here in-process, where
    // the setting's address is valid (across processes it would not be carried over).
    LRESULT reportPowerSetting(const GUID& setting, DWORD state) {
        POWERBROADCAST_SETTING report = {};
        report.PowerSetting = setting;
        report.DataLength = sizeof(DWORD);
        std::memcpy(report.Data, &state, sizeof state);
        return SendMessageA(window.handle(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                            reinterpret_cast<LPARAM>(&report));
    }

    // The area of the screen the last frame copied.
    LONG copiedToScreen() const {
        LONG copied = 0;
        for (const RECT& r : primaryFake.bltRects)
            copied += (r.right - r.left) * (r.bottom - r.top);
        return copied;
    }

    FakeDirectDrawSurface primaryFake, workFake, backgroundFake;
};

}  // namespace

TEST_F(FrameStep, EachFrameEndsWithTheWorkPictureOnTheScreen) {
    onFrame();
    ASSERT_EQ(primaryFake.bltSources.size(), 1u);
    EXPECT_EQ(primaryFake.bltSources[0], &workFake);
    EXPECT_EQ(busy, 0);

    // A frame entered while one runs does nothing.
    busy = 1;
    primaryFake.bltSources.clear();
    onFrame();
    EXPECT_TRUE(primaryFake.bltSources.empty());
}

TEST_F(FrameStep, AnUnrestorableScreenSkipsTheFrame) {
    primaryFake.lost = true;
    primaryFake.restorable = false;
    const int locksBefore = workFake.locks;
    for (int i = 0; i < 20; ++i) onFrame();
    EXPECT_TRUE(rainField().drops().empty()) << "the rain waits while the screen is gone";
    EXPECT_EQ(workFake.locks, locksBefore);
    EXPECT_TRUE(primaryFake.bltSources.empty());
    EXPECT_EQ(busy, 0);

    // Back again: restored, repainted from the work picture, and the frames go on.
    primaryFake.restorable = true;
    onFrame();
    ASSERT_GE(primaryFake.bltSources.size(), 2u);
    EXPECT_EQ(primaryFake.bltSources.front(), &workFake);
}

TEST_F(FrameStep, AWorkSurfaceThatDoesNotLockIsNeverWritten) {
    workFake.lockFails = true;
    rainUntilDrops();
    for (int i = 0; i < 20; ++i) onFrame();
    for (std::uint8_t b : workFake.pixels) ASSERT_EQ(b, 0);
    EXPECT_TRUE(workFake.unlocked.empty());
    EXPECT_TRUE(backgroundFake.unlocked.empty());
    // The screen still gets its picture.
    EXPECT_FALSE(primaryFake.bltSources.empty());
}

TEST_F(FrameStep, ADueRestartEmptiesThePaneAndRepaintsTheWorkPicture) {
    rainUntilDrops();
    for (int i = 0; i < 10; ++i) onFrame();
    // No new drops from here on, so whatever is left after the restart would be old rain.
    SaverSettings dry;
    dry.setDensity(0);
    rainField().configure(dry);
    EXPECT_TRUE(screenLoop->restartEnabled());
    EXPECT_EQ(screenLoop->restartPeriodMs(), 150000);
    const std::uint32_t due = screenLoop->nextRestartTick();
    EXPECT_EQ(due, 1000u + 150000u) << "one period after the start";
    workFake.bltSources.clear();
    tick = due;
    onFrame();
    EXPECT_TRUE(workFake.bltSources.empty()) << "due once the tick is past it, not at it";
    tick = due + 10;
    onFrame();
    ASSERT_FALSE(workFake.bltSources.empty());
    EXPECT_EQ(workFake.bltSources[0], &backgroundFake);
    EXPECT_EQ(screenLoop->nextRestartTick(), due + 150000u);
    EXPECT_TRUE(rainField().drops().empty());
    for (std::int32_t y = 0; y < 48; ++y)
        for (std::int32_t x = 0; x < 64; ++x) ASSERT_EQ(waterSurface().heightAt(x, y), 0u);

    // Not due again within the period.
    workFake.bltSources.clear();
    tick = due + 150000;
    onFrame();
    EXPECT_TRUE(workFake.bltSources.empty());
}

TEST_F(FrameStep, AScreenInAnotherModeIsPreparedAgainAndRainsOn) {
    rainUntilDrops();
    // The same mode: a screen that cannot come back only skips frames.
    primaryFake.lost = true;
    primaryFake.restorable = false;
    onFrame();
    EXPECT_TRUE(made.empty());
    EXPECT_EQ(primarySurface->get(), &primaryFake);

    // Another program switched the display to 80x60: new surfaces, pane and rain of that size.
    modeWidth = 80;
    modeHeight = 60;
    onFrame();
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(released[0], &primaryFake) << "the old screen goes before a new one is made";
    ASSERT_EQ(made.size(), 3u);
    EXPECT_EQ(primarySurface->get(), made[0].get());
    EXPECT_EQ(workSurface->get(), made[1].get());
    EXPECT_EQ(backgroundSurface->get(), made[2].get());
    EXPECT_EQ(waterSurface().width(), 80);
    EXPECT_EQ(waterSurface().height(), 60);
    EXPECT_EQ(made[2]->bltSources.front(), made[1].get()) << "the clean picture, scaled";

    // And it rains on the new screen, every frame shown.
    FakeDirectDrawSurface& screen = *made[0];
    screen.bltSources.clear();
    rainUntilDrops();
    for (int i = 0; i < 20; ++i) onFrame();
    EXPECT_GE(screen.bltSources.size(), 20u);
    bool wet = false;
    for (std::uint8_t b : made[1]->pixels) wet = wet || b != 0;
    EXPECT_TRUE(wet) << "drops were traced into the new work picture";
}

TEST_F(FrameStep, AfterEveryFrameTheScreenShowsExactlyTheWorkPicture) {
    // A desktop with detail everywhere, so that every refracted pixel differs from the clean one.
    std::uint32_t state = 12345;
    for (std::uint8_t& b : backgroundFake.pixels) b = (state = state * 1103515245u + 12345u) >> 24;
    workFake.pixels = backgroundFake.pixels;
    primaryFake.pixels = backgroundFake.pixels;
    SaverSettings pouring, dry;
    pouring.setDensity(50);
    dry.setDensity(0);
    // Areas copied as they are, so that on this small pane they stay apart.
    screenLoop->presentation() = FramePresentation(0);

    const LONG wholeArea = 64 * 48;
    int partialFrames = 0, emptyFrames = 0, wholeFrames = 0;
    for (int frame = 0; frame < 700; ++frame) {
        // Restarts, now and then into a dry spell with frames that change nothing.
        // Frames 20 ms apart, and from time to time a restart falls due.
        tick += 20;
        if (frame % 170 == 120) {
            tick = screenLoop->nextRestartTick() + 1;
            rainField().configure(frame == 290 ? dry : pouring);
        }
        if (frame == 360) rainField().configure(pouring);
        // A screen lost between frames comes back repainted; one that stays lost skips frames.
        if (frame == 200 || frame == 450) primaryFake.lost = true;
        primaryFake.restorable = !(frame >= 450 && frame < 460);
        // A work surface that does not lock keeps its rectangles for a later frame.
        workFake.lockFails = frame % 97 == 50;

        primaryFake.bltRects.clear();
        const auto drawn = workFake.unlocked.size();
        onFrame();
        if (primaryFake.lost) continue;
        ASSERT_TRUE(primaryFake.pixels == workFake.pixels) << "frame " << frame;

        LONG copied = 0;
        for (const RECT& r : primaryFake.bltRects)
            copied += (r.right - r.left) * (r.bottom - r.top);
        if (primaryFake.bltRects.empty()) {
            ++emptyFrames;
            EXPECT_EQ(workFake.unlocked.size(), drawn) << "frame " << frame << " drew nothing";
        } else if (copied < wholeArea) {
            ++partialFrames;
        } else {
            ++wholeFrames;
        }
    }
    // The sequence really went through every kind of frame.
    EXPECT_GT(partialFrames, 300);
    EXPECT_GT(emptyFrames, 20);
    EXPECT_GE(wholeFrames, 5);
    EXPECT_LT(wholeFrames, 60);
}

TEST_F(FrameStep, WhileTheDisplayIsOffNothingIsDrawnAndTheRainGoesOnWhereItWas) {
    // Areas copied as they are, so that a frame shows only what it changed.
    screenLoop->presentation() = FramePresentation(0);
    rainUntilDrops();
    const std::uint32_t due = screenLoop->nextRestartTick();
    tick = due - 1000;  // a second of rain before the restart
    for (int i = 0; i < 3; ++i) onFrame();
    primaryFake.bltRects.clear();
    onFrame();
    ASSERT_LT(copiedToScreen(), 64 * 48) << "a frame in the rain shows what it changed";

    // Reports of other settings, and a dimmed display, which is still seen, change nothing.
    EXPECT_EQ(reportPowerSetting(GUID_ACDC_POWER_SOURCE, DisplayPower::Off), TRUE);
    EXPECT_EQ(reportPowerSetting(GUID_CONSOLE_DISPLAY_STATE, DisplayPower::Dimmed), TRUE);
    EXPECT_TRUE(displayPower.running());

    EXPECT_EQ(reportPowerSetting(GUID_CONSOLE_DISPLAY_STATE, DisplayPower::Off), TRUE);
    EXPECT_FALSE(KillTimer(window.handle(), 0)) << "no timer wakes the thread while it is off";
    const std::size_t drops = rainField().drops().size();
    const int locks = workFake.locks;
    primaryFake.bltRects.clear();
    workFake.bltSources.clear();
    tick += 600000;  // ten minutes off: far past the restart, and past the whole-picture copy
    // Ticks queued before the timer stopped still arrive.
    for (int i = 0; i < 5; ++i) onFrame();
    EXPECT_TRUE(primaryFake.bltRects.empty()) << "nothing shown";
    EXPECT_EQ(workFake.locks, locks) << "nothing traced";
    EXPECT_EQ(rainField().drops().size(), drops) << "no step";

    // Back on: the timer runs again, the whole screen is shown once, and the rain goes on from
    // where it was: the restart is still a second of rain away.
    EXPECT_EQ(reportPowerSetting(GUID_CONSOLE_DISPLAY_STATE, DisplayPower::On), TRUE);
    EXPECT_TRUE(KillTimer(window.handle(), 0)) << "the timer runs again";
    onFrame();
    EXPECT_EQ(copiedToScreen(), 64 * 48) << "the whole picture, once";
    EXPECT_TRUE(workFake.bltSources.empty()) << "no restart: the rain's clock stood still";
    EXPECT_EQ(screenLoop->nextRestartTick(), due);
    primaryFake.bltRects.clear();
    onFrame();
    EXPECT_LT(copiedToScreen(), 64 * 48) << "then only what changed";
    tick += 1001;
    onFrame();
    ASSERT_FALSE(workFake.bltSources.empty()) << "the restart comes after a second more of rain";
    EXPECT_EQ(workFake.bltSources[0], &backgroundFake);
}
