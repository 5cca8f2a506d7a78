#pragma once

#include "settings/saver_settings.h"
#include "settings/win32/options_page.h"

class WindDirectionControl;

// The "Rain" page: density, drop radii and wind force on sliders, the wind direction on the
// wind-direction control.
class RainPage : public OptionsPage {
  public:
    explicit RainPage(RainParametersEditor& settings);
    ~RainPage() override;

    void onInit() override;
    void onApply() override;
    bool validate() override;
    void fillPage(PROPSHEETPAGEA& page) override;

  private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static RainPage* live_;

    RainParametersEditor& settings_;
    HWND density_ = nullptr;
    HWND minRadius_ = nullptr;
    HWND maxRadius_ = nullptr;
    HWND windForce_ = nullptr;
    WindDirectionControl* windDirection_ = nullptr;
};
