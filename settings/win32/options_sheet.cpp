#include "settings/win32/options_sheet.h"

#include <commctrl.h>
#include <prsht.h>

#include <string>

#include "foundation/resources.h"
#include "foundation/win32/callback_boundary.h"
#include "foundation/win32/module.h"
#include "settings/configuration.h"
#include "settings/win32/display_page.h"
#include "settings/win32/rain_page.h"

static_assert(sizeof(void*) == 8 || sizeof(PROPSHEETHEADERA) == 52,
              "the 32-bit sheet header has the size the sheet expects");

namespace OptionsSheet {

void run(HWND owner) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS |
                                                        ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);

    SaverSettings& settings = Configuration::settings();
    RainPage rain(settings);
    DisplayPage display(settings);
    PROPSHEETPAGEA pages[2];
    rain.fillPage(pages[0]);
    display.fillPage(pages[1]);

    const std::string caption = Resources::loadString(8);
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    header.hwndParent = owner;
    header.hInstance = Module::instance();
    header.pszCaption = caption.c_str();
    header.nPages = 2;
    header.nStartPage = 0;
    header.ppsp = pages;
    const INT_PTR result = PropertySheetA(&header);
    CallbackBoundary::rethrow();
    if (result == 1) Configuration::save(ConfigurationRoot::PerUser);
}

}  // namespace OptionsSheet
