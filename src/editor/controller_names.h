#pragma once

#include <string>

namespace tvx {

// The menu text of a MIDI controller number: the number, and the name of
// the controller where it has a common one ("1 Mod Wheel", "64 Sustain").
std::string controllerMenuText(int controller);

}  // namespace tvx
