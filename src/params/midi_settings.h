#pragma once
// MIDI controller settings shared by the configuration and the MIDI input.
struct MidiSettings { int modCC1 = -1, modCC2 = -1; int knobCC[120]; bool midiLearnListening = false; int midiLearnParam = -1; MidiSettings() { for (int& cc : knobCC) cc = -1; } };
