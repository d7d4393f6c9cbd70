#include "editor/module_layout.h"

#include <string>

#include "editor/control_factory.h"
#include "editor/editor_base.h"
#include "editor/module_menus.h"
#include "editor/param_label.h"
#include "editor/selection_menus.h"
#include "editor/text_button.h"
#include "gui/c_view_container.h"
#include "params/command_index.h"
#include "params/parameter_id.h"

namespace tvx {

namespace {

// Module rows: their title bars and the offset of their controls.
struct Row {
    int titleTop, titleBottom, dy;
};
constexpr Row kRows[3] = {{4, 28, 0}, {152, 172, 144}, {296, 316, 288}};

// Layout lines inside a row: the knob row and the field row under it.
constexpr int kKnobTop = 32;
constexpr int kFieldTop = 104;


std::string numbered(const char* prefix, int n) { return prefix + std::to_string(n); }

// The views added to the factory's container since `first`.
std::vector<CView*> viewsSince(ControlFactory& f, int first) {
    std::vector<CView*> views;
    for (int i = first; i < f.container().getNbViews(); ++i) views.push_back(f.container().getView(i));
    return views;
}

template <typename Menu>
void addSectionMenu(ControlFactory& f, EditorBase& editor, const EditorStyle& style, int left, int right,
                    const Row& row, int tag) {
    f.container().addView(new Menu(style.rect(left, row.titleTop, right, row.titleBottom), &editor, tag));
}

struct RowBuilder {
    ControlFactory& f;
    EditorBase& editor;
    const EditorStyle& style;

    void title(const std::string& text, int left, int right, const Row& row) {
        f.title(text, left + 8, row.titleTop, right, row.titleBottom);
    }

    void oscillator(int n, const Row& row, OscillatorViews& views) {
        const int i = n - 1, y = row.dy;
        addSectionMenu<OscillatorMenu>(f, editor, style, 8, 360, row, kCmdOsc1Menu + i);
        title(numbered("OSC ", n), 8, 200, row);
        f.knobWithCaption(Osc1Fine + i, 16, kKnobTop + y, "Fine");
        f.knobWithCaption(Osc1Vol + i, 72, kKnobTop + y, "Volume");
        f.label("Type", 124, kKnobTop + y, 212, kKnobTop + 16 + y, kLeftText);
        f.addChoice(Osc1Type + i, new OscTypeMenu(style.textRect(128, 48 + y, 208, 64 + y), &editor,
                                                  kCmdOsc1Type + i, style.menu));
        views.positionLabel = f.label(numbered("O", n) + " Pos", 124, 64 + y, 212, 80 + y, kLeftText);
        f.labelledField(Osc1Semi + i, 16, kFieldTop + y, "Semi");
        f.labelledField(Osc1Pan + i, 72, kFieldTop + y, "Pan");
        f.labelledField(Osc1Phase + i, 128, kFieldTop + y, "Phase");

        int first = f.container().getNbViews();
        f.valueField(Osc1Pos + i, 128, 80 + y, 176, 96 + y);
        f.knobWithCaption(Osc1UniDet + i, 240, kKnobTop + y, "Detune");
        f.knobWithCaption(Osc1UniMix + i, 296, kKnobTop + y, "Mix");
        f.labelledField(Osc1UniCount + i, 240, kFieldTop + y, "Unison");
        f.labelledField(Osc1UniSprd + i, 296, kFieldTop + y, "Spread");
        views.waveSet = viewsSince(f, first);

        first = f.container().getNbViews();
        f.valueField(Osc1Mod1Amt + i, 128, 80 + y, 176, 96 + y);
        f.knobWithCaption(Osc1Mod1Ratio + i, 240, kKnobTop + y, "Ratio 1");
        f.knobWithCaption(Osc1Mod2Ratio + i, 296, kKnobTop + y, "Ratio 2");
        f.labelledField(Osc1Mod2Amt + i, 240, kFieldTop + y, "Mod 2");
        views.fmSet = viewsSince(f, first);
    }

    void filter(int n, const Row& row) {
        const int i = n - 1, y = row.dy;
        addSectionMenu<FilterMenu>(f, editor, style, 376, 504, row, kCmdFlt1Menu + i);
        title(numbered("FILTER ", n), 376, 504, row);
        f.knobWithCaption(Flt1Cut + i, 384, kKnobTop + y, "Cut");
        f.knobWithCaption(Flt1Res + i, 440, kKnobTop + y, "Res");
        f.labelledField(Flt1Track + i, 384, kFieldTop + y, "Key");
        f.label("Type", 436, kFieldTop + y, 500, kFieldTop + 16 + y);
        f.addChoice(Flt1Type + i, new FltTypeMenu(style.textRect(440, 120 + y, 496, 136 + y), &editor,
                                                  kCmdFlt1Type + i, style.menu));
    }

    void noise(const Row& row) {
        const int y = row.dy;
        title("NOISE", 376, 504, row);
        f.knobWithCaption(NoiseVol, 384, kKnobTop + y, "Volume");
        f.knobWithCaption(NoisePan, 440, kKnobTop + y, "Pan");
        f.label("Type", 380, kFieldTop + y, 500, kFieldTop + 16 + y);
        f.addChoice(NoiseType, new NoiseTypeMenu(style.textRect(384, 120 + y, 496, 136 + y), &editor,
                                                 kCmdNoiseType, style.menu));
    }

    // The three fixed modulation amounts of envelope or LFO n: oscillator n's
    // position, its tuning, and a filter's cutoff.
    static std::string modLabel(int amount, int n) {
        if (amount == 0) return numbered("O", n) + " Pos";
        if (amount == 1) return numbered("O", n) + " Tune";
        return numbered("F", n == 2 ? 2 : 1) + " Cut";
    }

    void envelope(int n, const Row& row) {
        const int i = n - 1, y = row.dy;
        addSectionMenu<EnvMenu>(f, editor, style, 520, 776, row, kCmdEnv1Menu + i);
        title(n == 1 ? "ENV 1 / AMP" : numbered("ENV ", n), 520, 776, row);
        f.knobWithCaption(Env1Att + i, 528, kKnobTop + y, "Attack");
        f.knobWithCaption(Env1Dec + i, 584, kKnobTop + y, "Decay");
        f.knobWithCaption(Env1Sus + i, 640, kKnobTop + y, "Sustain");
        f.knobWithCaption(Env1Rel + i, 696, kKnobTop + y, "Release");
        f.labelledField(Env1VelSens + i, 528, kFieldTop + y, "Velocity");
        f.labelledField(Env1Mod1 + i, 584, kFieldTop + y, modLabel(0, n));
        f.labelledField(Env1Mod2 + i, 640, kFieldTop + y, modLabel(1, n));
        f.labelledField(Env1Mod3 + i, 696, kFieldTop + y, modLabel(2, n));
    }

    void lfo(int n, const Row& row) {
        const int i = n - 1, y = row.dy;
        addSectionMenu<LfoMenu>(f, editor, style, 792, 1048, row, kCmdLfo1Menu + i);
        title(numbered("LFO ", n), 792, 1048, row);
        f.knobWithCaption(Lfo1Rate + i, 800, kKnobTop + y, "Rate");
        f.knobWithCaption(Lfo1Offset + i, 856, kKnobTop + y, "Offset");
        f.label("Shape", 908, kKnobTop + y, 964, kKnobTop + 16 + y);
        f.addChoice(Lfo1Type + i, new LfoTypeMenu(style.textRect(912, 48 + y, 960, 64 + y), &editor,
                                                  kCmdLfo1Type + i, style.menu));
        f.labelledField(Lfo1Mod3 + i, 968, kKnobTop + y, modLabel(2, n));
        f.label("Tempo", 908, 64 + y, 964, 80 + y);
        f.textButton(Lfo1Sync + i, 912, 80 + y, 960, 96 + y, "Free", "Sync");
        f.label("Scope", 964, 64 + y, 1020, 80 + y);
        f.textButton(Lfo1Global + i, 968, 80 + y, 1016, 96 + y, "Voice", "Global");
        f.labelledField(Lfo1Phase + i, 800, kFieldTop + y, "Phase");
        f.labelledField(Lfo1Attack + i, 856, kFieldTop + y, "Attack");
        f.labelledField(Lfo1Mod1 + i, 912, kFieldTop + y, modLabel(0, n));
        f.labelledField(Lfo1Mod2 + i, 968, kFieldTop + y, modLabel(1, n));
    }
};

}  // namespace

bool OscillatorViews::show(bool fm) {
    const int wanted = fm ? 1 : 0;
    if (shown == wanted) return false;
    shown = wanted;
    for (CView* view : waveSet) view->setVisible(!fm);
    for (CView* view : fmSet) view->setVisible(fm);
    return true;
}

void buildModuleRows(ControlFactory& factory, std::array<OscillatorViews, 3>& oscillators) {
    RowBuilder b{factory, factory.editor(), factory.style()};
    for (int n = 1; n <= 3; ++n) {
        const Row& row = kRows[n - 1];
        b.oscillator(n, row, oscillators[n - 1]);
        if (n < 3) b.filter(n, row);
        else b.noise(row);
        b.envelope(n, row);
        b.lfo(n, row);
    }
}

}  // namespace tvx
