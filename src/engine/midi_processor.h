#pragma once

#include <cstddef>
#include <vector>

#include "engine/midi_event.h"

namespace tvx {

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
//
// The work per block is bounded: the queue holds at most kMaxEvents and is
// walked once in sample order, and the note-offs held back by the sustain
// pedal are at most one per channel and key.
class MidiProcessor {
public:
    static constexpr int kMaxEvents = 4096;
    static constexpr int kNumKeys = 16 * 128;   // channel and key

    MidiProcessor();
    virtual ~MidiProcessor() = default;

    virtual void controllerValue(int cc, int value);
    virtual void noteEvent(const MidiEvent& event);
    virtual void allNotesOff();
    virtual void learnController(int cc);
    virtual void controllerToParameter(int cc, float value);

    void clearEvents();
    // Raw bytes of one short MIDI message; they are masked here. A full queue
    // drops new events, except note-offs, which are kept as flags and
    // released after the block's own events (a stuck note is worse than a
    // lost controller).
    void addMidiMessage(int deltaFrames, int status, int data1, int data2);
    // Applies the events whose position is sample s; samples come in rising
    // order within a block.
    void dispatchAt(int s, bool sequencerRunning);

    void resetControllers();
    const ControllerState& controllers() const { return controllers_; }
    bool sustainHeld() const { return sustain_; }
    int eventCount() const { return static_cast<int>(queue_.size()); }
    const MidiEvent& event(int index) const { return queue_[static_cast<std::size_t>(index)]; }
    int heldBackNoteOffs() const { return static_cast<int>(deferred_.size()); }

protected:
    // The events of sample s, in host order: [first, last) of event().
    void eventsAt(int s, int& first, int& last);
    // The first position after s that holds an event, or `limit`.
    int nextEventAfter(int s, int limit);
    // The first position after s at which dispatchAt acts: an event, or the
    // release of notes the pedal held back; `limit` if none.
    int nextActionAfter(int s, int limit);
    // Note-offs that found the queue full in an earlier block, released now.
    bool overflowDue() const { return overflowDueCount_ > 0; }
    bool overflowDueAt(int key) const { return overflowDue_[key]; }

    ControllerState controllers_;

private:
    void append(int kind, int deltaFrames, int channel, int data1, int data2);
    void translateControlChange(int deltaFrames, int channel, int cc, int value);
    void sortPending();
    void applyNoteEvent(const MidiEvent& event);
    void applyControllerEvent(const MidiEvent& event);
    void holdBack(const MidiEvent& event);
    void releaseHeldBack(int s);
    void releaseOverflow(int s, bool sequencerRunning);

    std::vector<MidiEvent> queue_;
    std::vector<MidiEvent> scratch_;      // merge space for sorting, as large as the queue
    std::size_t sortedUpTo_ = 0;          // the queue is in sample order below this
    std::size_t cursor_ = 0;              // the first event not yet dispatched
    int locatedSample_ = -1;
    std::size_t locatedEnd_ = 0;

    std::vector<MidiEvent> deferred_;     // held back by the pedal, in the order they came
    std::vector<MidiEvent> releasing_;
    bool isDeferred_[kNumKeys] = {};

    bool overflowNew_[kNumKeys] = {};
    bool overflowDue_[kNumKeys] = {};
    int overflowNewCount_ = 0;
    int overflowDueCount_ = 0;

    bool sustain_ = false;
};

}  // namespace tvx
