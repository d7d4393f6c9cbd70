#include "editor/bar_display.h"

#include <algorithm>
#include <cmath>

#include "editor/editor_style.h"
#include "gui/c_draw_context.h"

namespace tvx {

namespace {

// The bar is the value colour, faint enough that the number stays legible.
constexpr uint8_t kBarAlpha = 96;

}  // namespace

BarDisplay::BarDisplay(const CRect& size, EditorHost& host, int32_t parameter, const StyledFont& font,
                       Origin origin)
    : ParamDisplay(size, host, parameter, font),
      origin_(origin),
      bar_(font.color.red, font.color.green, font.color.blue, kBarAlpha) {}

CRect BarDisplay::barRect() const {
    const float raw = getValue();
    const double value = std::isfinite(raw) ? std::fmin(std::fmax(double(raw), 0.0), 1.0) : 0.0;
    CRect inner = size_;
    inner.inset(1, 1);
    const double width = double(inner.right - inner.left);
    if (origin_ == kFromLeft) {
        inner.right = inner.left + static_cast<CCoord>(std::lround(width * value));
        return inner;
    }
    const CCoord middle = inner.left + static_cast<CCoord>(std::lround(width * 0.5));
    const CCoord end = inner.left + static_cast<CCoord>(std::lround(width * value));
    inner.left = std::min(middle, end);
    inner.right = std::max(middle, end);
    return inner;
}

void BarDisplay::draw(CDrawContext* context) {
    drawBackAndFrame(context);
    const CRect bar = barRect();
    if (bar.right > bar.left) context->fillRect(bar, bar_);
    drawText(context, getDisplayText());
}

}  // namespace tvx
