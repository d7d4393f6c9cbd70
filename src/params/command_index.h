#pragma once

#include <cstdint>

namespace tvx {

// The command parameters: values of setParameterAutomated from 1000 up carry
// the editor's menu and button actions to the plug-in. A command that belongs
// to one of several modules or slots counts up from its first one
// (kCmdOsc1Type + 2 is oscillator 3's type). The numbers are the protocol
// between the editor and the plug-in and never change.
enum CommandIndex : int32_t {
    kCmdNothing = 1000,
    kCmdOsc1Type = 1001,
    kCmdNoiseType = 1004,
    kCmdFlt1Type = 1005,
    kCmdLfo1Type = 1007,
    kCmdLfo3Type = 1009,
    kCmdMod1Source = 1010,
    kCmdMod12Source = 1021,
    kCmdMod1Target = 1022,
    kCmdMod12Target = 1033,
    kCmdFltMode = 1034,
    kCmdSeqMode = 1035,
    kCmdOsc1Menu = 1036,
    kCmdFlt1Menu = 1039,
    kCmdEnv1Menu = 1041,
    kCmdLfo1Menu = 1044,
    kCmdEqMenu = 1047,
    kCmdSequenceMenu = 1048,
    kCmdMainMenu = 1049,
    kCmdScale = 1050,
    kCmdTheme = 1051,
    kCmdPresetBank = 1052,
    kCmdModCC1 = 1053,
    kCmdModCC2 = 1054,
    kCmdLoadPreset = 1055,
    kCmdPreviousPreset = 1056,
    kCmdNextPreset = 1057,
    kCmdClearLearn = 1058,
};

// The menu parameters 213..247 are set by the command kMenuCommandOffset +
// their index (1001..1035): a menu's tag less this offset is its parameter.
constexpr int32_t kMenuCommandOffset = 788;

}  // namespace tvx
