#include "settings/win32/display_page.h"

#include <commctrl.h>

#include <string>

#include "render/win32/enumerated_display_mode.h"
#include "settings/display_mode_choices.h"
#include "settings/restart_time_input.h"
#include "settings/typed_number.h"

namespace {

// Control ids of template 121.
const int desktopModeId = 1018;
const int chosenModeId = 1019;
const int modeListId = 1020;
const int restartId = 1021;
const int minutesId = 1022;
const int minutesSpinnerId = 1023;
const int secondsId = 1024;
const int secondsSpinnerId = 1025;

// The field shows the stored count itself, written after the spinner has set it: the spinner
// keeps its position within its range (UDM_SETPOS within 16 bits too), so a stored 40000 came
// back as 0 and a plain OK then stored that.
void showCount(HWND spinner, HWND edit, int count, int minimum, int maximum) {
    SendMessageA(spinner, UDM_SETRANGE, 0, MAKELONG(maximum, minimum));
    SendMessageA(spinner, UDM_SETPOS32, 0, count);
    SetWindowTextA(edit, std::to_string(count).c_str());
}

}  // namespace

DisplayPage* DisplayPage::live_ = nullptr;

DisplayPage::DisplayPage(DisplayParametersEditor& settings)
    : OptionsPage(121, 122), settings_(settings) {
    DDraw::enumerate_modes(modes_);
    sortModes(modes_);
    live_ = this;
}

DisplayPage::~DisplayPage() { live_ = nullptr; }

INT_PTR CALLBACK DisplayPage::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return route(live_, dialog, message, wParam, lParam);
}

void DisplayPage::fillPage(PROPSHEETPAGEA& page) { describe(page, &DisplayPage::dialogProc); }

bool DisplayPage::checked(HWND button) const {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DisplayPage::enableRestartFields(bool enable) {
    for (HWND control : {minutes_, minutesSpinner_, seconds_, secondsSpinner_})
        EnableWindow(control, enable);
}

void DisplayPage::onInit() {
    desktopMode_ = GetDlgItem(window_, desktopModeId);
    chosenMode_ = GetDlgItem(window_, chosenModeId);
    modeList_ = GetDlgItem(window_, modeListId);
    restart_ = GetDlgItem(window_, restartId);
    minutes_ = GetDlgItem(window_, minutesId);
    minutesSpinner_ = GetDlgItem(window_, minutesSpinnerId);
    seconds_ = GetDlgItem(window_, secondsId);
    secondsSpinner_ = GetDlgItem(window_, secondsSpinnerId);

    // A click, not a check: the command it sends sets the list's enabled state too.
    SendMessageA(settings_.useDesktopMode() ? desktopMode_ : chosenMode_, BM_CLICK, 0, 0);

    for (const auto& mode : modes_) {
        if (!mode) continue;
        const LRESULT item = SendMessageA(modeList_, CB_ADDSTRING, 0,
                                          reinterpret_cast<LPARAM>(modeText(*mode).c_str()));
        SendMessageA(modeList_, CB_SETITEMDATA, item, reinterpret_cast<LPARAM>(mode.get()));
    }
    int width = 0, height = 0, bits = 0, refresh = 0;
    settings_.displayMode(width, height, bits, refresh);
    const int stored = storedModeIndex(modes_, width, height, bits, refresh);
    if (stored >= 0) SendMessageA(modeList_, CB_SETCURSEL, stored, 0);

    if (settings_.restartEnabled()) {
        SendMessageA(restart_, BM_SETCHECK, BST_CHECKED, 0);
    } else {
        enableRestartFields(false);
    }
    int minimum = 0, maximum = 0;
    settings_.restartMinutesRange(minimum, maximum);
    showCount(minutesSpinner_, minutes_, settings_.restartMinutes(), minimum, maximum);
    settings_.restartSecondsRange(minimum, maximum);
    showCount(secondsSpinner_, seconds_, settings_.restartSeconds(), minimum, maximum);
}

bool DisplayPage::onCommand(int code, int id, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
        case desktopModeId:
        case chosenModeId:
            EnableWindow(modeList_, id == chosenModeId);
            return true;
        case restartId:
            enableRestartFields(checked(restart_));
            return true;
        default:
            return false;
    }
}

std::string DisplayPage::text(HWND edit) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(edit, &text[0], static_cast<int>(text.size()))));
    return text;
}

int DisplayPage::typedValue(HWND edit) const { return typedCount(text(edit)).value_or(-1); }

bool DisplayPage::validate() {
    switch (RestartTimeInput::refusedField(text(minutes_), text(seconds_), checked(restart_))) {
        case RestartTimeInput::Refused::Minutes:
            refuse(10, minutes_);
            return false;
        case RestartTimeInput::Refused::Seconds:
            refuse(11, seconds_);
            return false;
        case RestartTimeInput::Refused::Nothing:
            break;
    }
    if (checked(chosenMode_) && SendMessageA(modeList_, CB_GETCURSEL, 0, 0) == CB_ERR) {
        refuse(12, modeList_);
        return false;
    }
    return true;
}

void DisplayPage::onApply() {
    settings_.setUseDesktopMode(checked(desktopMode_));
    if (checked(chosenMode_)) {
        const LRESULT item = SendMessageA(modeList_, CB_GETCURSEL, 0, 0);
        const auto* mode =
            reinterpret_cast<const DisplayMode*>(SendMessageA(modeList_, CB_GETITEMDATA, item, 0));
        settings_.setDisplayMode(static_cast<int>(mode->width()), static_cast<int>(mode->height()),
                                 static_cast<int>(mode->bits_per_pixel()),
                                 static_cast<int>(mode->refresh_rate()));
    }
    settings_.setRestartEnabled(checked(restart_));
    settings_.setRestartMinutes(typedValue(minutes_));
    settings_.setRestartSeconds(typedValue(seconds_));
}
