#include "settings/win32/wind_direction_control.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "foundation/win32/module.h"
#include "settings/wind_dial.h"

namespace {

const float minAngle = static_cast<float>(kPi / 36);
const float maxAngle = static_cast<float>(35 * kPi / 36);

// A plain top-level window to hold the control; while `stealCapture` is set its next paint
// takes the mouse capture, which is how another window interrupts a drag.
bool stealCapture = false;

LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        ValidateRect(window, nullptr);
        if (stealCapture) SetCapture(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class WindDirectionControlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Module::store(GetModuleHandleA(nullptr), "");
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &ownerProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "WindControlOwner";
        RegisterClassA(&windowClass);
        owner = CreateWindowExA(0, "WindControlOwner", "owner", WS_POPUP, 0, 0, 200, 100, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        const RECT r = {10, 10, 110, 50};
        control = WindDirectionControl::create(owner, r);
        ASSERT_NE(nullptr, control);
        control->setLimits(minAngle, maxAngle);
    }
    void TearDown() override {
        stealCapture = false;
        if (GetCapture() != nullptr) ReleaseCapture();
        DestroyWindow(owner);
        MSG drained;
        while (PeekMessageA(&drained, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    // Presses the left button at (x, y) of the control; returns when its drag has ended.
    void press(int x, int y) {
        SendMessageA(control->window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    }

    HWND owner = nullptr;
    WindDirectionControl* control = nullptr;
};

}  // namespace

TEST_F(WindDirectionControlTest, DragFollowsTheMouseUntilTheButtonComesUp) {
    RECT client = {};
    GetClientRect(control->window(), &client);
    // The press straight below the hub points the needle down; a move level with the hub on
    // the left is clamped to the lower limit; the release ends the drag and frees the mouse.
    PostMessageA(control->window(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1, 0));
    PostMessageA(control->window(), WM_LBUTTONUP, 0, MAKELPARAM(1, 0));
    press(client.right / 2, client.bottom - 2);
    EXPECT_EQ(minAngle, control->angle());
    EXPECT_EQ(nullptr, GetCapture());

    PostMessageA(control->window(), WM_LBUTTONUP, 0, 0);
    press(client.right / 2, client.bottom - 2);
    EXPECT_EQ(static_cast<float>(kPi / 2), control->angle());
}

TEST_F(WindDirectionControlTest, DragEndsOnQuitAndKeepsTheQuitForTheRealLoop) {
    PostQuitMessage(7);
    press(5, 5);
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, quit.wParam);
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(WindDirectionControlTest, DragEndsWhenAnotherWindowTakesTheCapture) {
    stealCapture = true;
    ShowWindow(owner, SW_SHOWNA);
    InvalidateRect(owner, nullptr, FALSE);
    press(5, 5);
    EXPECT_EQ(owner, GetCapture());
}

TEST_F(WindDirectionControlTest, KeysTurnTheNeedleWithinItsLimits) {
    HWND window = control->window();
    EXPECT_EQ(DLGC_WANTARROWS, SendMessageA(window, WM_GETDLGCODE, 0, 0));
    SendMessageA(window, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(maxAngle, control->angle());
    SendMessageA(window, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(maxAngle, control->angle());
    SendMessageA(window, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_FLOAT_EQ(static_cast<float>(170 * kPi / 180), control->angle());
    SendMessageA(window, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(minAngle, control->angle());
}

TEST_F(WindDirectionControlTest, AResizedControlMeasuresItselfAgain) {
    // As the dialog does when the sheet moves to a screen of another DPI: twice the size.
    SetWindowPos(control->window(), nullptr, 0, 0, 200, 80, SWP_NOMOVE | SWP_NOZORDER);
    RECT client = {};
    GetClientRect(control->window(), &client);
    ASSERT_GT(client.right, 150);
    // Straight below the new middle is straight down; with the hub left where it was, the
    // needle would lean far to the right.
    PostMessageA(control->window(), WM_LBUTTONUP, 0, 0);
    press(client.right / 2, client.bottom - 2);
    EXPECT_EQ(static_cast<float>(kPi / 2), control->angle());
}
