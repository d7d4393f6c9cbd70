#include "engine/midi_processor.h"

#include <algorithm>

namespace tvx {

namespace {

float unitFromByte(int value) { return static_cast<float>(value) / 127.0f; }

bool isNoteOff(int kind, int velocity) { return kind == EventNoteOff || (kind == EventNoteOn && velocity == 0); }

int keyIndex(int channel, int note) { return (channel & 0x0F) * 128 + (note & 0x7F); }

// Stable bottom-up merge sort by position, in the space given; hosts that
// send one block in several calls may interleave the positions.
void sortByPosition(MidiEvent* events, MidiEvent* space, std::size_t count) {
    MidiEvent* from = events;
    MidiEvent* to = space;
    for (std::size_t width = 1; width < count; width *= 2) {
        for (std::size_t lo = 0; lo < count; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, count), hi = std::min(lo + 2 * width, count);
            std::size_t a = lo, b = mid, out = lo;
            while (a < mid && b < hi) to[out++] = from[b].deltaFrames < from[a].deltaFrames ? from[b++] : from[a++];
            while (a < mid) to[out++] = from[a++];
            while (b < hi) to[out++] = from[b++];
        }
        std::swap(from, to);
    }
    if (from != events) std::copy(from, from + count, events);
}

}  // namespace

MidiProcessor::MidiProcessor() {
    queue_.reserve(kMaxEvents);
    scratch_.resize(kMaxEvents);
    deferred_.reserve(kNumKeys);
    releasing_.reserve(kNumKeys);
}

void MidiProcessor::controllerValue(int, int) {}
void MidiProcessor::noteEvent(const MidiEvent&) {}
void MidiProcessor::allNotesOff() {}
void MidiProcessor::learnController(int) {}
void MidiProcessor::controllerToParameter(int, float) {}

void MidiProcessor::clearEvents() {
    queue_.clear();
    cursor_ = 0;
    sortedUpTo_ = 0;
    locatedSample_ = -1;
    locatedEnd_ = 0;
    if (overflowNewCount_ > 0) {
        for (int key = 0; key < kNumKeys; ++key) {
            if (!overflowNew_[key]) continue;
            overflowNew_[key] = false;
            if (!overflowDue_[key]) ++overflowDueCount_;
            overflowDue_[key] = true;
        }
        overflowNewCount_ = 0;
    }
}

void MidiProcessor::append(int kind, int deltaFrames, int channel, int data1, int data2) {
    if (queue_.size() >= static_cast<std::size_t>(kMaxEvents)) {
        if (isNoteOff(kind, data2)) {
            const int key = keyIndex(channel, data1);
            if (!overflowNew_[key]) ++overflowNewCount_;
            overflowNew_[key] = true;
        }
        return;
    }
    MidiEvent event;
    event.kind = kind;
    event.deltaFrames = deltaFrames;
    event.channel = channel;
    event.data1 = data1;
    event.data2 = data2;
    queue_.push_back(event);
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

void MidiProcessor::sortPending() {
    if (sortedUpTo_ == queue_.size()) return;
    const std::size_t from = cursor_ < sortedUpTo_ ? cursor_ : sortedUpTo_;
    bool inOrder = true;
    for (std::size_t i = from + 1; i < queue_.size() && inOrder; ++i)
        inOrder = queue_[i - 1].deltaFrames <= queue_[i].deltaFrames;
    if (!inOrder) sortByPosition(queue_.data() + from, scratch_.data(), queue_.size() - from);
    sortedUpTo_ = queue_.size();
}

void MidiProcessor::eventsAt(int s, int& first, int& last) {
    if (s < locatedSample_) cursor_ = 0;  // a new block without clearEvents
    if (s != locatedSample_ || sortedUpTo_ != queue_.size()) {
        sortPending();
        while (cursor_ < queue_.size() && queue_[cursor_].deltaFrames < s) ++cursor_;
        std::size_t end = cursor_;
        while (end < queue_.size() && queue_[end].deltaFrames == s) ++end;
        locatedSample_ = s;
        locatedEnd_ = end;
    }
    first = static_cast<int>(cursor_);
    last = static_cast<int>(locatedEnd_);
}

int MidiProcessor::nextEventAfter(int s, int limit) {
    sortPending();
    std::size_t i = cursor_;
    while (i < queue_.size() && queue_[i].deltaFrames <= s) ++i;
    if (i == queue_.size()) return limit;
    return queue_[i].deltaFrames < limit ? queue_[i].deltaFrames : limit;
}

int MidiProcessor::nextActionAfter(int s, int limit) {
    if (overflowDueCount_ > 0 || (!sustain_ && !deferred_.empty())) return s + 1 < limit ? s + 1 : limit;
    return nextEventAfter(s, limit);
}

void MidiProcessor::dispatchAt(int s, bool sequencerRunning) {
    // Notes held by the pedal are released one sample after the pedal went up,
    // after this sample's own events.
    const bool releaseHeld = !sequencerRunning && !sustain_ && !deferred_.empty();
    if (overflowDueCount_ > 0) releaseOverflow(s, sequencerRunning);
    int first = 0, last = 0;
    eventsAt(s, first, last);
    for (int i = first; i < last; ++i) {
        const MidiEvent event = queue_[static_cast<std::size_t>(i)];
        if (!sequencerRunning) applyNoteEvent(event);
        applyControllerEvent(event);
    }
    cursor_ = static_cast<std::size_t>(last);
    if (releaseHeld) releaseHeldBack(s);
}

void MidiProcessor::holdBack(const MidiEvent& event) {
    // One held-back release per key is all a key needs, however often it was
    // played under the pedal.
    const int key = keyIndex(event.channel, event.data1);
    if (isDeferred_[key]) return;
    isDeferred_[key] = true;
    deferred_.push_back(event);
}

void MidiProcessor::releaseHeldBack(int s) {
    releasing_.swap(deferred_);
    for (const MidiEvent& event : releasing_) isDeferred_[keyIndex(event.channel, event.data1)] = false;
    // A pedal pressed again at this sample holds them back once more.
    for (MidiEvent& event : releasing_) {
        event.deltaFrames = s;
        applyNoteEvent(event);
    }
    releasing_.clear();
}

void MidiProcessor::releaseOverflow(int s, bool sequencerRunning) {
    for (int key = 0; key < kNumKeys; ++key) {
        if (!overflowDue_[key]) continue;
        overflowDue_[key] = false;
        if (sequencerRunning) continue;  // the sequencer took them as key releases
        MidiEvent event;
        event.kind = EventNoteOff;
        event.deltaFrames = s;
        event.channel = key / 128;
        event.data1 = key % 128;
        applyNoteEvent(event);
    }
    overflowDueCount_ = 0;
}

void MidiProcessor::applyNoteEvent(const MidiEvent& event) {
    const bool noteOff = event.kind == EventNoteOff || (event.kind == EventNoteOn && event.data2 == 0);
    if (noteOff) {
        if (sustain_)
            holdBack(event);
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

}  // namespace tvx
