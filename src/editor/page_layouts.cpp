#include "editor/page_layouts.h"

#include <algorithm>
#include <string>

#include "editor/bar_display.h"
#include "editor/control_factory.h"
#include "editor/editor_base.h"
#include "editor/editor_host.h"
#include "editor/main_menu.h"
#include "editor/module_menus.h"
#include "editor/on_off_display.h"
#include "editor/param_label.h"
#include "editor/preset_menu.h"
#include "editor/preset_step_button.h"
#include "editor/selection_menus.h"
#include "editor/text_conversion.h"
#include "editor/text_button.h"
#include "editor/step_column.h"
#include "editor/text_kick_button.h"
#include "gui/c_view_container.h"
#include "params/command_index.h"
#include "params/parameter_id.h"

namespace tvx {

namespace {


// Page sections: their titles sit on the title bar (page y 0..20).
void sectionTitle(ControlFactory& f, const char* text, int left, int right) { f.title(text, left, 0, right, 20); }

void controlSection(ControlFactory& f) {
    sectionTitle(f, "CONTROL", 16, 160);
    f.labelledField(Polyphony, 16, 24, "Voices");
    f.labelledField(GlideTime, 16, 64, "Glide");
    f.labelledField(MasterTune, 16, 104, "Tuning", 64);
    f.label("Mono Mode", 88, 24, 160, 40);
    f.textButton(MonoMode, 96, 40, 152, 56, "Retrig", "Legato");
    f.label("Glide Mode", 88, 56, 160, 72);
    f.textButton(GlideMode, 96, 72, 152, 88, "Legato", "All");
    f.labelledField(PitchBend, 96, 104, "Bend", 56);
}

void midiLearnSection(ControlFactory& f, MidiLearnViews& learn) {
    const EditorStyle& style = f.style();
    sectionTitle(f, "MIDI LEARN", 176, 272);
    f.label("Selected", 176, 24, 272, 40);
    learn.selected = new ParamLabel(style.textRect(176, 40, 272, 56), "", style.display, kCenterText, true);
    f.container().addView(learn.selected);
    f.label("Assigned CC", 176, 64, 272, 80);
    learn.assigned = new ParamLabel(style.textRect(176, 80, 272, 96), "", style.display, kCenterText, true);
    f.container().addView(learn.assigned);
    // The learn switch is the editor's own state, not a parameter.
    auto* listen = new TextButton(style.textRect(176, 112, 224, 128), nullptr, -1, "Listen", "Active", style.menu);
    f.container().addView(listen);
    learn.listen = listen;
    f.container().addView(new TextKickButton(style.textRect(232, 112, 272, 128), &f.editor(), kCmdClearLearn, "Clear",
                                             style.menu, true));
}

void effectSections(ControlFactory& f) {
    sectionTitle(f, "DRIVE", 288, 352);
    f.knobWithCaption(DriveAmount, 296, 32, "Amount");
    f.labelledField(DriveGain, 296, 104, "Gain");

    sectionTitle(f, "EQUALISER", 368, 496);
    f.container().addView(new EqualiserMenu(f.style().rect(368, 0, 496, 20), &f.editor(), kCmdEqMenu));
    f.knobWithCaption(EQ1Freq, 376, 32, "Freq 1");
    f.knobWithCaption(EQ2Freq, 432, 32, "Freq 2");
    f.labelledField(EQ1Gain, 376, 104, "Gain 1");
    f.labelledField(EQ2Gain, 432, 104, "Gain 2");

    sectionTitle(f, "CHORUS", 512, 640);
    f.knobWithCaption(ChorusRate, 520, 32, "Rate");
    f.knobWithCaption(ChorusDelay, 576, 32, "Delay");
    f.labelledField(ChorusDepth, 520, 104, "Depth");
    f.labelledField(ChorusMix, 576, 104, "Mix");

    sectionTitle(f, "DELAY", 656, 848);
    // A wider pitch here: "Feedback" is the longest caption.
    f.knobWithCaption(DelayTime, 664, 32, "Time", 8);
    f.knobWithCaption(DelayFeedback, 728, 32, "Feedback", 8);
    f.knobWithCaption(DelayLoCut, 792, 32, "Lo Cut", 8);
    f.labelledField(DelayWidth, 664, 104, "Width");
    f.labelledField(DelayMix, 728, 104, "Mix");
    f.label("Tempo", 788, 104, 844, 120);
    f.textButton(DelaySync, 792, 120, 840, 136, "Free", "Sync");

    sectionTitle(f, "REVERB", 864, 992);
    f.knobWithCaption(ReverbSize, 872, 32, "Size");
    f.knobWithCaption(ReverbDamp, 928, 32, "Damping");
    f.labelledField(ReverbWidth, 872, 104, "Width");
    f.labelledField(ReverbMix, 928, 104, "Mix");
}

}  // namespace

void buildHeader(ControlFactory& f, HeaderViews& views) {
    EditorBase& editor = f.editor();
    const EditorStyle& style = f.style();
    CViewContainer& c = f.container();
    c.addView(new MainMenu(style.rect(0, 0, 1056, 40), &editor, editor.host()));
    auto* logo = new ParamLabel(style.textRect(16, 16, 176, 32), "T E S S A R A V O X", style.logo, kLeftText);
    c.addView(logo);
    views.presetName = new ParamLabel(style.textRect(408, 11, 648, 35), toUtf8(editor.host().presetName()),
                                      style.display, kCenterText, true);
    c.addView(views.presetName);
    c.addView(new PresetMenu(style.rect(408, 11, 648, 35), &editor, editor.host()));
    c.addView(new PresetStepButton(style.rect(392, 11, 408, 35), &editor, kCmdPreviousPreset, false, style.presetButton,
                                   style.display.back));
    c.addView(new PresetStepButton(style.rect(648, 11, 664, 35), &editor, kCmdNextPreset, true, style.presetButton,
                                   style.display.back));
    for (int k = 0; k < 32; ++k) {
        auto* light = new OnOffDisplay(style.rect(400 + 8 * k, 38, 406 + 8 * k, 40), style.voiceOn, style.voiceOff);
        c.addView(light);
        views.voiceLights[k] = light;
    }
    f.label("Filter Mode", 800, 12, 888, 28, kRightText);
    f.addChoice(FltMode, new FltModeMenu(style.textRect(896, 12, 976, 28), &editor, kCmdFltMode, style.menu));
    f.valueField(Volume, 992, 12, 1040, 28);
    f.label("Volume", 984, 28, 1048, 40);
}

void buildMainPage(ControlFactory& f, MidiLearnViews& learn) {
    controlSection(f);
    midiLearnSection(f, learn);
    effectSections(f);
}

void buildSeqPage(ControlFactory& f, std::array<ParamLabel*, 16>& stepLabels, std::array<StepColumn*, 16>& columns) {
    EditorBase& editor = f.editor();
    const EditorStyle& style = f.style();
    f.container().addView(new SequencerMenu(style.rect(8, 0, 992, 20), &editor, kCmdSequenceMenu));
    sectionTitle(f, "SEQUENCER", 16, 992);
    f.textButton(UseSequencer, 16, 24, 56, 40, "Off", "On");
    f.addChoice(SeqMode, new SeqModeMenu(style.textRect(64, 24, 112, 40), &editor, kCmdSeqMode, style.menu));
    f.label("Time", 16, 42, 56, 58, kRightText);
    f.valueField(SeqStepSize, 64, 42, 112, 58);
    f.label("Steps", 16, 61, 56, 77, kRightText);
    f.valueField(SeqStepCount, 64, 61, 112, 77);
    // Each glide switch sits on the row of the lane it smooths.
    f.label("Glide A", 10, 99, 60, 115, kRightText);
    f.textButton(SeqSmoothModA, 64, 99, 112, 115, "Step", "Smooth");
    f.label("Glide B", 10, 118, 60, 134, kRightText);
    f.textButton(SeqSmoothModB, 64, 118, 112, 134, "Step", "Smooth");

    const char* rows[5] = {"Note", "Gate", "Vel", "Mod A", "Mod B"};
    const int rowTop[5] = {42, 61, 80, 99, 118};
    const int firstParameter[5] = {SeqNote1, SeqLen1, SeqVel1, SeqModA1, SeqModB1};
    for (int r = 0; r < 5; ++r) f.label(rows[r], 116, rowTop[r], 160, rowTop[r] + 16, kRightText);
    // Gate and velocity fill from the left (a rest is empty), Mod A and B
    // from the middle.
    const BarDisplay::Origin bars[5] = {BarDisplay::kFromLeft, BarDisplay::kFromLeft, BarDisplay::kFromLeft,
                                        BarDisplay::kFromCentre, BarDisplay::kFromCentre};
    EditorHost& host = editor.host();
    for (int j = 0; j < 16; ++j) {
        const int x = 176 + 51 * j;
        stepLabels[j] = new ParamLabel(style.textRect(x, 24, x + 48, 40), std::to_string(j + 1), style.seqLabel[0],
                                       kCenterText, true);
        f.container().addView(stepLabels[j]);
        f.valueField(firstParameter[0] + j, x, rowTop[0], x + 48, rowTop[0] + 16);
        for (int r = 1; r < 5; ++r)
            f.valueField(firstParameter[r] + j,
                         new BarDisplay(style.textRect(x, rowTop[r], x + 48, rowTop[r] + 16), host,
                                        firstParameter[r] + j, style.display, bars[r]));
    }
    const CColor veil(style.background.red, style.background.green, style.background.blue, 150);
    const CCoord frameWidth = std::max<CCoord>(2, style.scaled(2));
    for (int j = 0; j < 16; ++j) {
        const int x = 176 + 51 * j;
        columns[j] = new StepColumn(style.rect(x - 1, 22, x + 49, 136), veil, style.seqLabel[2].back, frameWidth);
        f.container().addView(columns[j]);
    }
}

}  // namespace tvx
