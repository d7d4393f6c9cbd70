#include "editor/selection_menus.h"

#include "params/modulation_codes.h"

namespace tvx {

namespace {

std::vector<std::string> menuTexts(int count, const char* (*text)(int)) {
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i) entries.emplace_back(text(i));
    return entries;
}

}  // namespace

OscTypeMenu::OscTypeMenu(const CRect& size, CControlListener* listener, int32_t tag, const StyledFont& font)
    : ParamMenu(size, listener, tag, font, {"--", "Wave", "Pulse", "FM"}) {}

NoiseTypeMenu::NoiseTypeMenu(const CRect& size, CControlListener* listener, int32_t tag, const StyledFont& font)
    : ParamMenu(size, listener, tag, font, {"White", "Pink", "Stereo White", "Stereo Pink"}) {}

FltTypeMenu::FltTypeMenu(const CRect& size, CControlListener* listener, int32_t tag, const StyledFont& font)
    : ParamMenu(size, listener, tag, font,
                {"--", "Lowpass 24", "Lowpass 12", "Highpass", "Bandpass", "Bandstop", "Peaking"},
                {"--", "LP24", "LP12", "HP", "BP", "BS", "PK"}) {}

FltModeMenu::FltModeMenu(const CRect& size, CControlListener* listener, int32_t tag, const StyledFont& font)
    : ParamMenu(size, listener, tag, font, {"Serial", "Parallel", "Split"}) {}

LfoTypeMenu::LfoTypeMenu(const CRect& size, CControlListener* listener, int32_t tag, const StyledFont& font)
    : ParamMenu(size, listener, tag, font,
                {"Triangle", "Sine", "Square", "Sawtooth", "Random Hold", "Random Glide", "Random Pulse"},
                {"Tri", "Sin", "Sqr", "Saw", "R-Hld", "R-Gld", "R-Pls"}) {}

ModSourceMenu::ModSourceMenu(const CRect& size, CControlListener* listener, int32_t tag, const StyledFont& font)
    : ParamMenu(size, listener, tag, font, menuTexts(kNumModSources, modSourceMenuText)) {}

SeqModeMenu::SeqModeMenu(const CRect& size, CControlListener* listener, int32_t tag, const StyledFont& font)
    : ParamMenu(size, listener, tag, font, {"Up", "Down", "Up/Down"}, {"Up", "Dn", "Up/Dn"}) {}

}  // namespace tvx
