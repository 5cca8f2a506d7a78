#pragma once

#include <string>

#include "render/display_mode.h"
#include "settings/saver_settings.h"
#include "settings/win32/options_page.h"

// The "Display" page: the desktop's own mode or one chosen from the display's modes, and the
// restart of the rain after minutes and seconds.
class DisplayPage : public OptionsPage {
  public:
    // Lists the display's modes at once, so a display that cannot be opened fails the sheet
    // before it shows.
    explicit DisplayPage(DisplayParametersEditor& settings);
    ~DisplayPage() override;

    void onInit() override;
    void onApply() override;
    bool validate() override;
    bool onCommand(int code, int id, HWND control) override;
    void fillPage(PROPSHEETPAGEA& page) override;

  private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static DisplayPage* live_;

    bool checked(HWND button) const;
    void enableRestartFields(bool enable);
    static std::string text(HWND edit);
    // The typed number of an edit field, or -1 when it is not a usable count.
    int typedValue(HWND edit) const;

    DisplayParametersEditor& settings_;
    DisplayModeList modes_;
    HWND desktopMode_ = nullptr;
    HWND chosenMode_ = nullptr;
    HWND modeList_ = nullptr;
    HWND restart_ = nullptr;
    HWND minutes_ = nullptr;
    HWND minutesSpinner_ = nullptr;
    HWND seconds_ = nullptr;
    HWND secondsSpinner_ = nullptr;
};
