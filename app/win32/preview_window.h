#pragma once

#include <windows.h>

// The still picture of preview mode: a child of the host's window showing bitmap 104
// stretched to the child's size. Its destruction by the host ends the message loop.
class PreviewWindow {
  public:
    explicit PreviewWindow(HWND host);
    ~PreviewWindow();
    PreviewWindow(const PreviewWindow&) = delete;
    PreviewWindow& operator=(const PreviewWindow&) = delete;

    // Null when the window could not be made (no such host).
    HWND handle() const { return handle_; }

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    void paint();

    HWND handle_ = nullptr;
};

// Shows the preview in `host` until the host destroys it. A host that is no window, or the
// desktop window, ends the preview at once: nothing could ever end its loop.
void runPreview(HWND host);
