#pragma once

namespace tvx {

// Modulation sources and targets are stored in the parameter array as codes;
// the editor's menus list them in another order. These functions translate
// between the two, in both directions.
constexpr int kNumModSources = 24;
constexpr int kNumModTargets = 70;

// Stored code for a menu position; 0 ("--") for an unknown position.
int modSourceFromMenu(int menuPosition);
int modTargetFromMenu(int menuPosition);

// Menu position for a stored code; 0 ("--") for an unknown code.
int menuFromModSource(int code);
int menuFromModTarget(int code);

// Menu text of a menu position, or nullptr outside the menu.
const char* modSourceMenuText(int menuPosition);
const char* modTargetMenuText(int menuPosition);

// Source and target codes named after their meaning.
enum ModSourceId : int {
    SrcNone = 0, SrcLfo1 = 1, SrcLfo2 = 2, SrcLfo3 = 3, SrcNoteOnVel = 4,
    SrcEnv1 = 5, SrcEnv2 = 6, SrcEnv3 = 7, SrcPitchBend = 8, SrcModWheel = 9,
    SrcChnPressure = 10, SrcKeyPressure = 11, SrcUnipolarRnd = 12, SrcConstant = 13,
    SrcSeqModA = 14, SrcSeqModB = 15, SrcFootPedal = 16, SrcExpression = 17,
    SrcBrightness = 18, SrcNoteOffVel = 19, SrcModCC1 = 20, SrcModCC2 = 21,
    SrcAlternate = 22, SrcBipolarRnd = 23,
};

enum ModTargetId : int {
    TgtNone = 0,
    TgtOsc1Tune = 1, TgtOsc1Semi, TgtOsc1Fine, TgtOsc1Pos, TgtOsc1Pan, TgtOsc1Vol,
    TgtOsc2Tune = 7, TgtOsc2Semi, TgtOsc2Fine, TgtOsc2Pos, TgtOsc2Pan, TgtOsc2Vol,
    TgtOsc3Tune = 13, TgtOsc3Semi, TgtOsc3Fine, TgtOsc3Pos, TgtOsc3Pan, TgtOsc3Vol,
    TgtFlt1Cut = 19, TgtFlt1Res = 20, TgtFlt2Cut = 21, TgtFlt2Res = 22,
    TgtNoiseVol = 23, TgtNoisePan = 24,
    TgtLfo1Rate = 25, TgtLfo2Rate = 26, TgtLfo3Rate = 27,
    TgtMod1Amt = 28,  // .. TgtMod1Amt + 11 = "Mod 12 Amt" (39)
    TgtOscTune = 40, TgtOscSemi, TgtOscFine, TgtOscPos, TgtOscPan, TgtOscVol,
    TgtOsc1Mod1 = 46, TgtOsc1Mod2, TgtOsc2Mod1, TgtOsc2Mod2, TgtOsc3Mod1, TgtOsc3Mod2,
    TgtOsc1Ratio1 = 52, TgtOsc1Ratio2, TgtOsc2Ratio1, TgtOsc2Ratio2, TgtOsc3Ratio1, TgtOsc3Ratio2,
    TgtEnv1Att = 58, TgtEnv1Dec, TgtEnv1Sus, TgtEnv1Rel,
    TgtEnv2Att = 62, TgtEnv2Dec, TgtEnv2Sus, TgtEnv2Rel,
    TgtEnv3Att = 66, TgtEnv3Dec, TgtEnv3Sus, TgtEnv3Rel,
};

}  // namespace tvx
