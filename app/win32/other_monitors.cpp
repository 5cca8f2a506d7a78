#include "app/win32/other_monitors.h"

#include <algorithm>

#include "app/monitor_places.h"
#include "foundation/win32/callback_boundary.h"
#include "foundation/win32/gdi.h"
#include "rain/rain_random.h"

namespace {

// Every monitor the system reports, and which one is the primary.
struct MonitorList {
    std::vector<NamedMonitor> all;
    PixelArea primary{0, 0, 0, 0};
};

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context) {
    return CallbackBoundary::enumeration([&] {
        auto& list = *reinterpret_cast<MonitorList*>(context);
        MONITORINFOEXA info = {};
        info.cbSize = sizeof(info);
        if (!GetMonitorInfoA(monitor, &info)) return;
        const RECT& r = info.rcMonitor;
        const PixelArea area{r.left, r.top, r.right, r.bottom};
        list.all.push_back(NamedMonitor{info.szDevice, area});
        if (info.dwFlags & MONITORINFOF_PRIMARY) list.primary = area;
    });
}

MonitorList listMonitors() {
    MonitorList list;
    EnumDisplayMonitors(nullptr, nullptr, &addMonitor, reinterpret_cast<LPARAM>(&list));
    CallbackBoundary::rethrow();
    return list;
}

// Runs the primary's frame, then the other monitors'.
class AllMonitorsTick : public TickHandler {
  public:
    AllMonitorsTick(TickHandler* primary, OtherMonitors& others, const DisplayPower& power)
        : primary_(primary), others_(others), power_(power) {}
    void invoke(SaverWindow& window) override {
        if (primary_) primary_->invoke(window);
        // One tick for all, so that they restart together.
        if (power_.running()) others_.frame(power_.rainTick(GetTickCount()));
    }

  private:
    std::unique_ptr<TickHandler> primary_;
    OtherMonitors& others_;
    const DisplayPower& power_;
};

}  // namespace

void OtherMonitors::capture() {
    monitors_.clear();
    const MonitorList list = listMonitors();
    // Without a primary reported there is nothing to tell the display device's monitor from
    // the others: leave it to the device alone.
    if (list.primary.empty()) return;

    Gdi::WindowDc screen(nullptr);
    if (screen.get() == nullptr) return;
    std::vector<PixelArea> areas;
    for (const NamedMonitor& m : list.all) areas.push_back(m.area);
    for (const PixelArea& area : secondaryAreas(areas, list.primary)) {
        // Kept monitors do not overlap: the area tells which device it is.
        const auto named =
            std::find_if(list.all.begin(), list.all.end(), [&](const NamedMonitor& m) {
                return m.area.left == area.left && m.area.top == area.top &&
                       m.area.right == area.right && m.area.bottom == area.bottom;
            });
        if (named == list.all.end()) continue;
        auto picture = std::make_unique<DibPicture>(area.width(), area.height());
        if (!picture->valid()) continue;
        BitBlt(picture->dc(), 0, 0, area.width(), area.height(), screen.get(), area.left, area.top,
               SRCCOPY);
        monitors_.push_back(Monitor{area, named->device, std::move(picture), nullptr, nullptr});
    }
    // The tracer reads the bits next; GDI must have finished writing them.
    GdiFlush();
}

void OtherMonitors::start(HWND saverWindow, const SaverSettings& settings,
                          const std::int32_t* cosntable, std::uint32_t start,
                          std::uint32_t runSeed) {
    followModeChange();
    std::uint32_t screen = 0;
    for (Monitor& m : monitors_) {
        m.rain = std::make_unique<MonitorRain>(m.area, settings, cosntable, start,
                                               screenSeed(runSeed, ++screen), m.picture->bits(),
                                               m.picture->pitch());
        m.window = std::make_unique<MonitorWindow>(m.area, saverWindow, m.picture->dc());
        m.window->show();
    }
}

void OtherMonitors::followModeChange() {
    if (monitors_.empty()) return;
    const MonitorList list = listMonitors();
    // Without a primary reported the places cannot be checked: they stay as captured.
    if (list.primary.empty()) return;
    std::vector<NamedMonitor> captured;
    for (const Monitor& m : monitors_) captured.push_back(NamedMonitor{m.device, m.area});
    const std::vector<PixelArea> places = placesAfterModeChange(captured, list.all, list.primary);
    for (std::size_t i = 0; i < monitors_.size(); ++i) monitors_[i].area = places[i];
    // A monitor without a place gets no window: better its desktop than the saver elsewhere.
    monitors_.erase(std::remove_if(monitors_.begin(), monitors_.end(),
                                   [](const Monitor& m) { return m.area.empty(); }),
                    monitors_.end());
}

TickHandler* OtherMonitors::alongside(TickHandler* primary, const DisplayPower& power) {
    if (monitors_.empty()) return primary;
    return new AllMonitorsTick(primary, *this, power);
}

void OtherMonitors::frame(std::uint32_t now) {
    for (Monitor& m : monitors_) {
        if (!m.rain || !m.window) continue;
        m.window->paint(m.rain->frame(now));
    }
}

void OtherMonitors::showWhole() {
    for (Monitor& m : monitors_) {
        if (m.window) m.window->paint({PixelArea{0, 0, m.area.width(), m.area.height()}});
    }
}

void OtherMonitors::end() {
    for (Monitor& m : monitors_) {
        if (m.rain) m.rain->clean();
    }
    showWhole();
    // Each window shows its clean picture until it goes, and goes before its picture.
    for (Monitor& m : monitors_) m.window.reset();
    monitors_.clear();
}
