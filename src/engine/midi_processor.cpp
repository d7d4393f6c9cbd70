#include "engine/midi_processor.h"

namespace {

constexpr int kInitialQueueCapacity = 256;

float unitFromByte(int value) { return static_cast<float>(value) / 127.0f; }

}  // namespace

MidiProcessor::MidiProcessor() {
    queue_.reserve(kInitialQueueCapacity);
    deferredNoteOffs_.reserve(kInitialQueueCapacity);
}

void MidiProcessor::controllerValue(int, int) {}
void MidiProcessor::noteEvent(const MidiEvent&) {}
void MidiProcessor::allNotesOff() {}
void MidiProcessor::learnController(int) {}
void MidiProcessor::controllerToParameter(int, float) {}

void MidiProcessor::clearEvents() { queue_.clear(); }

void MidiProcessor::append(int kind, int deltaFrames, int channel, int data1, int data2) {
    MidiEvent event;
    event.kind = kind;
    event.deltaFrames = deltaFrames;
    event.channel = channel;
    event.data1 = data1;
    event.data2 = data2;
    appendGrowing(queue_, event);
}

void MidiProcessor::addMidiMessage(int deltaFrames, int status, int data1, int data2) {
    // A position before the block can never be reached by the dispatch; keep
    // it out of the queue altogether.
    if (deltaFrames < 0) return;
    status &= 0xFF;
    const int channel = status & 0x0F;
    data1 &= 0x7F;
    data2 &= 0x7F;
    switch (status & 0xF0) {
        case 0x80: append(EventNoteOff, deltaFrames, channel, data1, data2); break;
        case 0x90: append(EventNoteOn, deltaFrames, channel, data1, data2); break;
        case 0xA0: append(EventKeyPressure, deltaFrames, channel, data1, data2); break;
        case 0xB0: translateControlChange(deltaFrames, channel, data1, data2); break;
        case 0xD0: append(EventChannelPressure, deltaFrames, channel, data1, data2); break;
        case 0xE0: append(EventPitchBend, deltaFrames, channel, data1, data2); break;
        default: break;  // program change and system messages
    }
}

void MidiProcessor::translateControlChange(int deltaFrames, int channel, int cc, int value) {
    // Controllers with a dedicated meaning also go through the generic path,
    // so they can be learned like any other controller.
    if (cc == 1) append(EventModWheel, deltaFrames, channel, cc, value);
    if (cc == 4) append(EventFootPedal, deltaFrames, channel, cc, value);
    if (cc == 11) append(EventExpression, deltaFrames, channel, cc, value);
    if (cc == 64) append(EventSustain, deltaFrames, channel, cc, value);
    if (cc == 74) append(EventBrightness, deltaFrames, channel, cc, value);
    if (cc <= 119) {
        append(EventController, deltaFrames, channel, cc, value);
        learnController(cc);
    }
    if (cc >= 123) append(EventAllNotesOff, deltaFrames, channel, cc, value);
}

void MidiProcessor::dispatchAt(int s, bool sequencerRunning) {
    // Notes held by the pedal are released one sample after the pedal went up,
    // after this sample's own events.
    if (!sequencerRunning && !sustain_ && !deferredNoteOffs_.empty()) {
        for (MidiEvent event : deferredNoteOffs_) {
            event.deltaFrames = s;
            appendGrowing(queue_, event);
        }
        deferredNoteOffs_.clear();
    }
    // Indexing (not iterators): a note off re-deferred here never moves the
    // queue, but the growth above may have.
    for (std::size_t i = 0; i < queue_.size(); ++i) {
        const MidiEvent event = queue_[i];
        if (event.deltaFrames != s) continue;
        if (!sequencerRunning) applyNoteEvent(event);
        applyControllerEvent(event);
    }
}

void MidiProcessor::applyNoteEvent(const MidiEvent& event) {
    const bool noteOff = event.kind == EventNoteOff || (event.kind == EventNoteOn && event.data2 == 0);
    if (noteOff) {
        if (sustain_)
            appendGrowing(deferredNoteOffs_, event);
        else
            noteEvent(event);
    } else if (event.kind == EventNoteOn) {
        noteEvent(event);
    } else if (event.kind == EventAllNotesOff) {
        allNotesOff();
    } else if (event.kind == EventSustain) {
        sustain_ = event.data2 > 63;
    }
}

void MidiProcessor::applyControllerEvent(const MidiEvent& event) {
    switch (event.kind) {
        case EventPitchBend:
            controllers_.pitchBend = static_cast<float>(event.data1 + 128 * event.data2 - 8192) / 8192.0f;
            break;
        case EventModWheel: controllers_.modWheel = unitFromByte(event.data2); break;
        case EventChannelPressure: controllers_.channelPressure = unitFromByte(event.data1); break;
        case EventKeyPressure: controllers_.keyPressure[event.data1 & 0x7F] = unitFromByte(event.data2); break;
        case EventFootPedal: controllers_.footPedal = unitFromByte(event.data2); break;
        case EventExpression: controllers_.expression = unitFromByte(event.data2); break;
        case EventBrightness: controllers_.brightness = unitFromByte(event.data2); break;
        case EventController:
            controllerValue(event.data1, event.data2);
            controllerToParameter(event.data1, unitFromByte(event.data2));
            break;
        default: break;
    }
}

void MidiProcessor::resetControllers() { controllers_ = ControllerState(); }
