#include "app/x11/x_rain_visual.h"

#include "app/x11/x_pixels.h"
#include "foundation/basic_error.h"
#include "picture/pixel_format.h"

std::string unsupportedVisual(const Visual* visual, int depth) {
    // A DirectColor window shows its pixels through a colour map its owner sets (Xvfb's
    // default one shows nearly every pixel black), so the rain's pixels are no colours of their
    // own there: refused as colour-mapped depths are, rather than drawing what nobody sees.
    // misto's own windows take a TrueColor visual instead (createRainWindow).
    const bool trueColor = visual->c_class == TrueColor;
    const ChannelMasks masks = masksOf(visual);
    // Ten bits a channel in the one layout the widening writes.
    const bool tenBit = depth == 30 && masks.r == kTenBitMasks.r && masks.g == kTenBitMasks.g &&
                        masks.b == kTenBitMasks.b;
    if (trueColor && (depth == 16 || depth == 24 || tenBit)) return "";
    const char* kind = trueColor                        ? "true colour"
                       : visual->c_class == DirectColor ? "direct colour, through a colour map"
                                                        : "with a colour map";
    return "the window's visual (depth " + std::to_string(depth) + ", " + kind +
           ") is not supported: misto draws on true-colour windows of depth 16, 24 or 30";
}

RainWindow createRainWindow(Display* display, Window parent, int x, int y, int width, int height,
                            XSetWindowAttributes attributes, unsigned long mask) {
    XWindowAttributes parentAttributes{};
    XGetWindowAttributes(display, parent, &parentAttributes);
    const int screen = XScreenNumberOfScreen(parentAttributes.screen);
    Visual* visual = DefaultVisual(display, screen);
    int depth = DefaultDepth(display, screen);
    Colormap colormap = XNone;
    const std::string why = unsupportedVisual(visual, depth);
    if (!why.empty()) {
        // A screen whose default visual is DirectColor (or colour-mapped) may still offer a
        // TrueColor one: the window takes that, with the colour map a visual other than its
        // parent's needs, and shows the rain's colours as they are.
        XVisualInfo found{};
        bool any = false;
        for (int d : {24, 30, 16}) {
            if (XMatchVisualInfo(display, screen, d, TrueColor, &found) &&
                unsupportedVisual(found.visual, d).empty()) {
                any = true;
                break;
            }
        }
        if (!any) throw BasicError(why);
        visual = found.visual;
        depth = found.depth;
        colormap = XCreateColormap(display, parent, visual, AllocNone);
        attributes.colormap = colormap;
        attributes.border_pixel = 0;
        mask |= CWColormap | CWBorderPixel;
    }
    const Window window = XCreateWindow(display, parent, x, y, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, depth, InputOutput,
                                        visual, mask, &attributes);
    return RainWindow{window, colormap};
}
