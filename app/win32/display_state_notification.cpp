#include "app/win32/display_state_notification.h"

DisplayStateNotification::DisplayStateNotification(HWND window)
    : handle_(RegisterPowerSettingNotification(window, &GUID_CONSOLE_DISPLAY_STATE,
                                               DEVICE_NOTIFY_WINDOW_HANDLE)) {}

DisplayStateNotification::~DisplayStateNotification() {
    if (handle_ != nullptr) UnregisterPowerSettingNotification(handle_);
}
