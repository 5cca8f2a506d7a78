#include "settings/win32/rain_page.h"

#include "settings/win32/wind_direction_control.h"
#include "settings/wind_dial.h"

namespace {

// Control ids of template 118.
const int densityPlaceholder = 1016;
const int minRadiusPlaceholder = 1012;
const int maxRadiusPlaceholder = 1013;
const int windForcePlaceholder = 1014;
const int windDirectionPlaceholder = 1015;

// A tenth of the range per page, rounded.
int pageSizeFor(int maximum) { return static_cast<int>(maximum * 0.1 + 0.5); }

}  // namespace

RainPage* RainPage::live_ = nullptr;

RainPage::RainPage(RainParametersEditor& settings) : OptionsPage(118, 120), settings_(settings) {
    live_ = this;
}

RainPage::~RainPage() { live_ = nullptr; }

INT_PTR CALLBACK RainPage::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return route(live_, dialog, message, wParam, lParam);
}

void RainPage::fillPage(PROPSHEETPAGEA& page) { describe(page, &RainPage::dialogProc); }

void RainPage::onInit() {
    const RainParametersEditor& s = settings_;
    density_ = createSlider(densityPlaceholder, s.densityMin(), s.densityMax(), 1,
                            pageSizeFor(s.densityMax()), s.density());
    minRadius_ = createSlider(minRadiusPlaceholder, s.dropRadiusMin(), s.dropRadiusMax(), 1,
                              pageSizeFor(s.dropRadiusMax()), boundedMinDropRadius(s));
    maxRadius_ = createSlider(maxRadiusPlaceholder, s.dropRadiusMin(), s.dropRadiusMax(), 1,
                              pageSizeFor(s.dropRadiusMax()), boundedMaxDropRadius(s));
    windForce_ = createSlider(windForcePlaceholder, s.windForceMin(), s.windForceMax(), 1,
                              pageSizeFor(s.windForceMax()), s.windForce());

    HWND label = nullptr;
    const RECT r = removePlaceholder(windDirectionPlaceholder, label);
    windDirection_ = WindDirectionControl::create(window_, r);
    if (windDirection_ != nullptr) {
        placeAfter(windDirection_->window(), label);
        const float minimum = static_cast<float>(kPi / 36);
        const float maximum = static_cast<float>(35 * kPi / 36);
        windDirection_->setLimits(minimum, maximum);
        windDirection_->setAngle(WindDial::shownAngle(s.windDirection(), minimum, maximum));
    }
    SetFocus(density_);
}

bool RainPage::validate() {
    if (sliderPosition(maxRadius_) >= sliderPosition(minRadius_)) return true;
    refuse(9, minRadius_);
    return false;
}

void RainPage::onApply() {
    const int minRadius = sliderPosition(minRadius_);
    settings_.setDensity(sliderPosition(density_));
    settings_.setMinDropRadius(minRadius);
    settings_.setDropRadiusSpread(sliderPosition(maxRadius_) - minRadius);
    settings_.setWindForce(sliderPosition(windForce_));
    // Without its control (the window could not be made) the direction stays as it was.
    if (windDirection_ != nullptr) settings_.setWindDirection(windDirection_->angle());
}
