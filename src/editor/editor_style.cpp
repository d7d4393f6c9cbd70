#include "editor/editor_style.h"

#include <cmath>

#include "persist/theme.h"

namespace tvx {

namespace {

StyledFont styled(const ThemeFont& font, double factor) {
    StyledFont result;
    result.desc = CFontDesc(font.name, static_cast<int32_t>(font.size * factor), font.style);
    result.color = toColor(font.color);
    result.back = toColor(font.backColor);
    return result;
}

// Theme files store margins unchecked; a negative or huge one would make a
// window of no size or beyond what the host's 16-bit rectangle can carry.
constexpr int kMaxMargin = 32;
int saneMargin(int margin) { return margin < 0 ? 0 : margin > kMaxMargin ? kMaxMargin : margin; }

}  // namespace

CColor toColor(const ThemeColor& color) { return CColor(color.red, color.green, color.blue, color.alpha); }

double EditorStyle::factorForScale(int scale) {
    switch (scale) {
        case 1: return 1.25;
        case 2: return 1.5;
        case 3: return 1.75;
        case 4: return 2.0;
        default: return 1.0;
    }
}

EditorStyle EditorStyle::fromTheme(const Theme& theme, int scale) {
    EditorStyle s;
    s.factor = factorForScale(scale);
    s.textCorrection = scale == 1 ? 1 : scale == 3 ? 2 : 0;
    s.background = toColor(theme.backgroundColor);
    s.header = toColor(theme.headerColor);
    s.divider1 = toColor(theme.divider1Color);
    s.divider2 = toColor(theme.divider2Color);
    s.voiceOn = toColor(theme.voiceOnColor);
    s.voiceOff = toColor(theme.voiceOffColor);
    s.presetButton = toColor(theme.presetButtonColor);
    s.logo = styled(theme.logoFont, s.factor);
    s.title = styled(theme.titleFont, s.factor);
    s.menu = styled(theme.menuFont, s.factor);
    s.display = styled(theme.displayFont, s.factor);
    s.label = styled(theme.labelFont, s.factor);
    s.onTab = styled(theme.onTabFont, s.factor);
    s.offTab = styled(theme.offTabFont, s.factor);
    s.seqLabel[0] = styled(theme.seqLabel1Font, s.factor);
    s.seqLabel[1] = styled(theme.seqLabel2Font, s.factor);
    s.seqLabel[2] = styled(theme.seqLabel3Font, s.factor);
    s.sideMargin = saneMargin(theme.sideMargin);
    s.topMargin = saneMargin(theme.topMargin);
    s.bottomMargin = saneMargin(theme.bottomMargin);
    return s;
}

CCoord EditorStyle::scaled(double coordinate) const { return static_cast<CCoord>(std::trunc(coordinate * factor)); }

CRect EditorStyle::rect(double left, double top, double right, double bottom) const {
    return CRect(scaled(left), scaled(top), scaled(right), scaled(bottom));
}

CRect EditorStyle::textRect(double left, double top, double right, double bottom) const {
    CRect r = rect(left, top, right, bottom);
    r.top += textCorrection;
    return r;
}

CRect EditorStyle::windowRect() const {
    return rect(0, 0, 1056.0 + 16.0 * sideMargin, 624.0 + 8.0 * topMargin + 8.0 * bottomMargin);
}

CPoint EditorStyle::contentOrigin() const { return CPoint(scaled(8.0 * sideMargin), scaled(8.0 * topMargin)); }

}  // namespace tvx
