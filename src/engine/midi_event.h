#pragma once

namespace tvx {

// Kinds of queued MIDI events; the numbers are stored in MidiEvent::kind.
enum EventKind : int {
    EventNoteOn = 1,
    EventNoteOff = 2,
    EventAllNotesOff = 3,
    EventSustain = 4,
    EventPitchBend = 5,
    EventModWheel = 6,
    EventChannelPressure = 7,
    EventKeyPressure = 8,
    EventFootPedal = 9,
    EventExpression = 10,
    EventBrightness = 11,
    EventController = 12,
};

// One MIDI event stamped with its sample position in the current block.
// Notes made by the step sequencer carry channel -1.
struct MidiEvent {
    int kind = 0;
    int deltaFrames = 0;
    int channel = 0;
    int data1 = 0;
    int data2 = 0;
};

}  // namespace tvx
