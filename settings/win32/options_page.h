#pragma once

#include <windows.h>
// windows.h first: prsht.h relies on its types.
#include <prsht.h>

// One page of the Options sheet: its dialog template and tab icon, and the routing of its
// dialog messages to the page's init, command, validation and apply steps. Each page class keeps
// one process-wide pointer to its live object, through which its dialog procedure reaches it.
class OptionsPage {
  public:
    OptionsPage(int templateId, int iconId) : templateId_(templateId), iconId_(iconId) {}
    virtual ~OptionsPage() = default;
    OptionsPage(const OptionsPage&) = delete;
    OptionsPage& operator=(const OptionsPage&) = delete;

    virtual HWND window() const { return window_; }
    virtual void onInit() {}
    // Copies the controls' values into the settings; runs only after validate said yes.
    virtual void onApply() {}
    // Shows why the input cannot be taken and moves the focus there; false keeps the sheet open.
    virtual bool validate() { return true; }
    virtual bool onCommand(int code, int id, HWND control) {
        (void)code, (void)id, (void)control;
        return false;
    }
    virtual bool onNotify(const NMHDR& header) {
        (void)header;
        return false;
    }
    // Describes the page to the sheet, with the page class's dialog procedure.
    virtual void fillPage(PROPSHEETPAGEA& page) = 0;

  protected:
    void describe(PROPSHEETPAGEA& page, DLGPROC procedure) const;
    // The common dialog procedure of the pages, run inside the sheet's error boundary.
    static INT_PTR route(OptionsPage* page, HWND dialog, UINT message, WPARAM wParam,
                         LPARAM lParam);

    // Puts a trackbar in the place of placeholder `id` (which goes) and answers it.
    HWND createSlider(int id, int minimum, int maximum, int lineSize, int pageSize, int position);
    static int sliderPosition(HWND trackbar);
    // A child's rectangle in the page's coordinates.
    RECT controlRect(HWND child) const;
    // Destroys placeholder `id` and answers its rectangle, and in `label` the window before it
    // in the z-order (none when it was first).
    RECT removePlaceholder(int id, HWND& label) const;
    // Moves `control` right after `label` in the z-order (to the top without a label).
    static void placeAfter(HWND control, HWND label);
    // The error box with string `textId`, owned by the page; then the focus goes to `focus`, once
    // the sheet shows this page.
    void refuse(int textId, HWND focus) const;

    HWND window_ = nullptr;

  private:
    INT_PTR dispatch(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    int iconId_;
};
