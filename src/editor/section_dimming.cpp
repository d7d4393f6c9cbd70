#include "editor/section_dimming.h"

#include <cmath>

#include "editor/dim_overlay.h"
#include "editor/editor_host.h"
#include "editor/editor_style.h"
#include "gui/c_view_container.h"
#include "params/parameter_id.h"

namespace tvx {

namespace {

// The veil is the theme's background, opaque enough to push the controls
// back yet leave their values readable.
constexpr uint8_t kVeilAlpha = 150;

int wholeNumber(float value) { return std::isfinite(value) ? static_cast<int>(value) : -1; }

}  // namespace

void SectionDimming::add(CViewContainer& container, const EditorStyle& style, Module module, int index, int left,
                         int top, int right, int bottom) {
    const CColor veil(style.background.red, style.background.green, style.background.blue, kVeilAlpha);
    auto* overlay = new DimOverlay(style.rect(left, top, right, bottom), veil);
    container.addView(overlay);
    veils_.push_back({overlay, module, index});
}

void SectionDimming::addModuleRows(CViewContainer& mainView, const EditorStyle& style) {
    // Under each row's title bar, down to the row's end.
    const int tops[3] = {32, 176, 320};
    for (int row = 0; row < 3; ++row) {
        const int top = tops[row], bottom = top + 116;
        add(mainView, style, kOscillator, row, 8, top, 360, bottom);
        if (row < 2) add(mainView, style, kFilter, row, 376, top, 504, bottom);
        else add(mainView, style, kNoise, 0, 376, top, 504, bottom);
    }
}

void SectionDimming::addEffects(CViewContainer& mainPage, const EditorStyle& style) {
    add(mainPage, style, kDrive, 0, 288, 24, 352, 140);
    add(mainPage, style, kEqualiser, 0, 368, 24, 496, 140);
    add(mainPage, style, kChorus, 0, 512, 24, 640, 140);
    add(mainPage, style, kDelay, 0, 656, 24, 848, 140);
    add(mainPage, style, kReverb, 0, 864, 24, 992, 140);
}

bool SectionDimming::isIdle(const EditorHost& host, Module module, int index) {
    const auto value = [&host](int parameter) { return host.parameterValue(parameter); };
    switch (module) {
        case kOscillator: return wholeNumber(value(Osc1Type + index)) == 0;
        case kFilter: return wholeNumber(value(Flt1Type + index)) == 0;
        case kNoise: return !(value(NoiseVol) > 0.0f);
        case kDrive: return !(value(DriveAmount) > 0.0f) && value(DriveGain) == 0.5f;
        case kEqualiser: return value(EQ1Gain) == 0.5f && value(EQ2Gain) == 0.5f;
        case kChorus: return !(value(ChorusMix) > 0.0f);
        case kDelay: return !(value(DelayMix) > 0.0f);
        case kReverb: return !(value(ReverbMix) > 0.0f);
        case kModSlot:
            return wholeNumber(value(Mod1Source + index)) == 0 || wholeNumber(value(Mod1Target + index)) == 0 ||
                   value(Mod1Amount + index) == 0.5f;
    }
    return false;
}

void SectionDimming::update(const EditorHost& host) {
    for (const Veil& veil : veils_) veil.overlay->setDimmed(isIdle(host, veil.module, veil.index));
}

}  // namespace tvx
