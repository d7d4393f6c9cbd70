#pragma once

#include <cstddef>
#include <vector>

#include "engine/midi_event.h"

// Appends to a list that grows by half again when full and keeps its storage
// when cleared, so steady operation does not allocate.
template <class T>
void appendGrowing(std::vector<T>& list, const T& item) {
    if (list.size() == list.capacity()) {
        const std::size_t capacity = list.capacity();
        list.reserve(capacity < 8 ? 16 : capacity + capacity / 2);
    }
    list.push_back(item);
}

// Controller values read by the modulation matrix; all 0 after a reset.
struct ControllerState {
    float pitchBend = 0.0f;        // -1 .. 8191/8192
    float modWheel = 0.0f;
    float channelPressure = 0.0f;
    float keyPressure[128] = {};
    float footPedal = 0.0f;
    float expression = 0.0f;
    float brightness = 0.0f;
    float modCC1 = 0.0f;
    float modCC2 = 0.0f;
    float seqModA = 0.0f;          // written by the step sequencer, -1..1
    float seqModB = 0.0f;

    // Key pressure of a note; notes outside 0..127 (transposed sequencer
    // notes) have none.
    float keyPressureOf(int note) const { return note >= 0 && note < 128 ? keyPressure[note] : 0.0f; }
};

// The per-block MIDI queue, its translation from raw messages, the dispatch of
// the events of one sample and the controller state. The note and controller
// actions are virtual and do nothing here; the voice manager supplies them.
class MidiProcessor {
public:
    MidiProcessor();
    virtual ~MidiProcessor() = default;

    virtual void controllerValue(int cc, int value);
    virtual void noteEvent(const MidiEvent& event);
    virtual void allNotesOff();
    virtual void learnController(int cc);
    virtual void controllerToParameter(int cc, float value);

    void clearEvents();
    // Raw bytes of one short MIDI message; they are masked here.
    void addMidiMessage(int deltaFrames, int status, int data1, int data2);
    // Applies the events whose position is sample s.
    void dispatchAt(int s, bool sequencerRunning);

    void resetControllers();
    const ControllerState& controllers() const { return controllers_; }
    bool sustainHeld() const { return sustain_; }
    int eventCount() const { return static_cast<int>(queue_.size()); }
    const MidiEvent& event(int index) const { return queue_[static_cast<std::size_t>(index)]; }

protected:
    ControllerState controllers_;

private:
    void append(int kind, int deltaFrames, int channel, int data1, int data2);
    void translateControlChange(int deltaFrames, int channel, int cc, int value);
    void applyNoteEvent(const MidiEvent& event);
    void applyControllerEvent(const MidiEvent& event);

    std::vector<MidiEvent> queue_;
    std::vector<MidiEvent> deferredNoteOffs_;
    bool sustain_ = false;
};
