#pragma once
// MIDI controller assignments and MIDI-learn state shared by the editor, the MIDI input and the settings file.
struct MidiSettings { int modCC1 = -1, modCC2 = -1; int knobCC[120]; bool midiLearnListening = false; int midiLearnParam = -1; MidiSettings() { for (int& cc : knobCC) cc = -1; } };
