#pragma once

#include "gui/c_bitmap.h"
#include "gui/c_color.h"
#include "gui/c_font_desc.h"
#include "gui/c_rect.h"

namespace tvx {

struct Theme;
struct ThemeFont;

// A theme font as the toolkit draws it.
struct StyledFont {
    CFontDesc desc;
    CColor color;
    CColor back;
};

// The theme and the size of one opening of the editor, in toolkit terms:
// colours, fonts scaled to the window size, the knob film strip, and the
// conversion of layout coordinates (pixels at 100 %) to window pixels.
struct EditorStyle {
    double factor = 1.0;
    // Text controls sit this many pixels lower at 125 % and 175 %, where
    // truncated font sizes would otherwise ride high.
    int textCorrection = 0;

    CColor background, header, divider1, divider2, voiceOn, voiceOff, presetButton;
    StyledFont logo, title, menu, display, label, onTab, offTab;
    StyledFont seqLabel[3];
    int sideMargin = 0, topMargin = 0, bottomMargin = 0;
    SharedBitmap knob, knobBipolar;

    static double factorForScale(int scale);
    static EditorStyle fromTheme(const Theme& theme, int scale);

    CCoord scaled(double coordinate) const;
    // A rectangle given by its corners at 100 %.
    CRect rect(double left, double top, double right, double bottom) const;
    // The same for a text control, with the placement correction.
    CRect textRect(double left, double top, double right, double bottom) const;
    // The window size at this scale with the theme's margins.
    CRect windowRect() const;
    // Where the 1056 x 624 content area starts inside the window.
    CPoint contentOrigin() const;
};

CColor toColor(const struct ThemeColor& color);

}  // namespace tvx
