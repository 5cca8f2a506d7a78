#include "foundation/win32/callback_boundary.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>

#include "app/win32/saver_window.h"
#include "foundation/basic_error.h"

// Errors thrown inside procedures the system calls come out of the call that started the loop,
// in the 32-bit build too, whose unwinder cannot pass the system's frames.
namespace {

class FailingTick : public TickHandler {
  public:
    void invoke(SaverWindow&) override {
        ++ticks;
        throw BasicError("a frame failed");
    }
    int ticks = 0;
};

std::string messageOf(void (*run)()) {
    try {
        run();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

INT_PTR CALLBACK failingDialog(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    CallbackBoundary::dialog(dialog, [] { throw std::runtime_error("a dialog failed"); });
    return TRUE;
}

void runFailingDialog() {
    // An empty modal dialog from an in-memory template.
    alignas(4) WORD dialogTemplate[16] = {};
    auto* header = reinterpret_cast<DLGTEMPLATE*>(dialogTemplate);
    header->style = WS_POPUP | WS_CAPTION;
    header->cx = 100;
    header->cy = 50;
    const INT_PTR result =
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), header, nullptr, &failingDialog, 0);
    EXPECT_EQ(result, IDCANCEL) << "the dialog ended as Cancel would";
    CallbackBoundary::rethrow();
}

BOOL CALLBACK failingEnumeration(HWND, LPARAM calls) {
    ++*reinterpret_cast<int*>(calls);
    return CallbackBoundary::enumeration([] { throw BasicError("an enumeration failed"); });
}

}  // namespace

TEST(CallbackBoundary, ErrorsInSystemCallbacksComeOutOfTheCallThatStartedThem) {
    // A frame: the window procedure keeps the error, the loop ends, pumpMessages rethrows.
    {
        SaverWindow window;
        auto* tick = new FailingTick;
        window.setFrameHandler(tick);
        EXPECT_EQ(messageOf(&pumpMessages), "a frame failed");
        EXPECT_EQ(tick->ticks, 1) << "no frame runs after a failed one";
        EXPECT_FALSE(CallbackErrors::pending());
    }
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no quit left over";

    EXPECT_EQ(messageOf(&runFailingDialog), "a dialog failed");
    EXPECT_FALSE(PeekMessageA(&left, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

    // A window of this thread, so the enumeration has something to call back for.
    SaverWindow enumerated;
    int calls = 0;
    EnumThreadWindows(GetCurrentThreadId(), &failingEnumeration, reinterpret_cast<LPARAM>(&calls));
    EXPECT_EQ(calls, 1) << "the enumeration stops at the failure";
    EXPECT_THROW(CallbackBoundary::rethrow(), BasicError);
    EXPECT_NO_THROW(CallbackBoundary::rethrow()) << "rethrown once, then forgotten";
}
