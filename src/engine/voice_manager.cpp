#include "engine/voice_manager.h"

#include <algorithm>
#include <cmath>

#include "engine/filter_lanes.h"

#include "params/parameter_id.h"
#include "params/value_mappings.h"

namespace tvx {

namespace {

// Every key of every channel, and the sequencer's notes besides: the lists
// never grow while rendering.
constexpr int kMaxHeldNotes = MidiProcessor::kNumKeys + 128;
constexpr int kNumKnobControllers = 120;

}  // namespace

VoiceManager::VoiceManager(float* params, MidiSettings* midi, ParameterSink* sink)
    : params_(params), midi_(midi), sink_(sink) {
    for (Voice& v : voices_) v.attachRandom(&random_);
    for (Lfo& l : globalLfos_) l.random = &random_;
    heldNotes_.reserve(kMaxHeldNotes);
    keyEvents_.reserve(MidiProcessor::kMaxEvents + MidiProcessor::kNumKeys);
}

void VoiceManager::setSampleRate(float fs) {
    if (!(fs > 0.0f) || !std::isfinite(fs)) fs = 44100.0f;
    sampleRate_ = fs;
    tables_.build(fs);
    Oscillator::prepareTables(tables_);
    // The voices restart below; keys remembered from before would otherwise
    // block their own next press in mono.
    allNotesOff();
    for (Voice& v : voices_) {
        v.prepare(fs, &tables_);
        v.reset(params_);
    }
    for (Lfo& l : globalLfos_) l.prepare(fs);
    sequencer_.prepare(fs);
    effects_.prepare(fs);
}

// The sequencer keeps running with its held keys: only starting or stopping
// it by UseSequencer resets it.
void VoiceManager::reset() {
    allNotesOff();
    for (Voice& v : voices_) v.reset(params_);
    resetControllers();
    effects_.reset();
}

void VoiceManager::setTempo(float tempo, int denominator) {
    // Synced rates and step lengths divide by both.
    tempo_ = std::isfinite(tempo) && tempo > 0.0f ? tempo : 120.0f;
    denominator_ = denominator > 0 ? denominator : 4;
    for (Voice& v : voices_) v.setTempo(tempo_, denominator_);
}

bool VoiceManager::isVoiceSounding(int voice) const {
    return voice >= 0 && voice < kNumVoices && voices_[voice].active();
}

int VoiceManager::shownStep() const { return sequencer_.shownStep(); }

int VoiceManager::voiceCount() const { return voiceCountFromPolyphony(params_[Polyphony]); }

// ---- rendering ----

void VoiceManager::collectKeyEvents(int s) {
    keyEvents_.clear();
    if (overflowDue()) {
        // Releases that found an earlier block's queue full come first.
        for (int key = 0; key < kNumKeys; ++key) {
            if (!overflowDueAt(key)) continue;
            StepSequencer::KeyEvent release;
            release.kind = EventNoteOff;
            release.note = key % 128;
            keyEvents_.push_back(release);
        }
    }
    int first = 0, last = 0;
    eventsAt(s, first, last);
    for (int i = first; i < last; ++i) {
        const MidiEvent& e = event(i);
        if (e.kind != EventNoteOn && e.kind != EventNoteOff) continue;
        StepSequencer::KeyEvent key;
        // MIDI's note-off by velocity 0 releases the key here too.
        key.kind = e.kind == EventNoteOn && e.data2 == 0 ? EventNoteOff : e.kind;
        key.note = e.data1;
        keyEvents_.push_back(key);
    }
}

// Parameters and tempo hold for the block (MIDI learn aside), so the global
// LFOs and the scan for per-sample matrix targets are set up once.
void VoiceManager::setUpGlobalLfos() {
    for (int i = 0; i < 3; ++i) {
        Lfo& l = globalLfos_[i];
        l.setShape(params_[Lfo1Type + i]);
        l.setRate(params_[Lfo1Rate + i], params_[Lfo1Sync + i] > 0.0f, tempo_, denominator_);
        l.setOffset(params_[Lfo1Offset + i]);
    }
}

// Unheard (no voice plays), they only move on: their phases and draws are
// those of the samples they skip.
void VoiceManager::renderGlobalLfos(int count, bool heard) {
    if (!heard) {
        float last[3];
        Lfo::advanceSideBySide(globalLfos_, 3, count, last);
        return;
    }
    for (int i = 0; i < 3; ++i) {
        // Voices read a global LFO only when they use it instead of their own.
        if (!(params_[Lfo1Global + i] > 0.0f)) {
            globalLfos_[i].advance(count);
            continue;
        }
        for (int n = 0; n < count; ++n) {
            const float out = globalLfos_[i].process();
            globalLfoOut_[i][n] = std::isfinite(out) ? out : 0.0f;
        }
    }
}

void VoiceManager::beginSample(int blockLength, int s) {
    if (s == 0) {
        playSequencerNotes(sequencer_.beginBlock(params_, tempo_, denominator_));
        effects_.beginBlock(params_, tempo_, denominator_, blockLength);
    }
    if (sequencer_.running()) {
        collectKeyEvents(s);
        playSequencerNotes(sequencer_.step(params_, s, keyEvents_.data(), static_cast<int>(keyEvents_.size())));
    }
    controllers_.seqModA = sequencer_.seqModA();
    controllers_.seqModB = sequencer_.seqModB();
    dispatchAt(s, sequencer_.running());
    if (s == 0 || parametersChanged_) {
        setUpGlobalLfos();
        perSample_ = findPerSampleTargets(params_);
        routing_ = ModRouting(params_);
        parametersChanged_ = false;
    }
}

int VoiceManager::runLength(int blockLength, int s) {
    // The running sequencer acts at every sample.
    if (sequencer_.running()) return 1;
    const int run = nextActionAfter(s, blockLength) - s;
    return run > 1 ? run : 1;
}

bool VoiceManager::renderRun(float* left, float* right, int count) {
    int playing = 0;
    for (int v = 0; v < kNumVoices; ++v)
        if (voices_[v].active()) playingVoices_[playing++] = v;
    renderGlobalLfos(count, playing > 0);
    VoiceContext context;
    context.params = params_;
    context.controllers = &controllers_;
    context.globalLfo = globalLfoOut_[0];
    context.globalLfoStride = kMaxRun;
    context.voiceCount = voiceCount();
    context.perSample = perSample_;
    context.routing = &routing_;
    for (int i = 0; i < count; ++i) left[i] = right[i] = 0.0f;

    for (int p = 0; p < playing; ++p) soundingSamples_[p] = voices_[playingVoices_[p]].renderSources(context, count);
    const int routing = Voice::filterRouting(params_);
    for (int p = 0; p < playing; ++p) voices_[playingVoices_[p]].mixFilterInputs(routing, soundingSamples_[p]);
    for (int first = 0; first < playing; first += FilterLanes::kLanes)
        filterSideBySide(routing, first, std::min(FilterLanes::kLanes, playing - first));
    // Voice by voice in rising order, so every sample is summed as before.
    for (int p = 0; p < playing; ++p) {
        Voice& v = voices_[playingVoices_[p]];
        v.mixFilterOutputs(routing, soundingSamples_[p]);
        v.addOutput(left, right, soundingSamples_[p]);
    }
    return effects_.processRun(params_, left, right, count, playing == 0);
}

// Both filters of the playing voices first..first + used, side by side for
// the samples they all sound in, alone for the rest.
void VoiceManager::filterSideBySide(int routing, int first, int used) {
    int common = soundingSamples_[first];
    for (int l = 1; l < used; ++l) common = std::min(common, soundingSamples_[first + l]);
    for (int j = 0; j < 2; ++j) {
        FilterLanes::Lane lanes[FilterLanes::kLanes];
        for (int l = 0; l < used; ++l) {
            Voice& v = voices_[playingVoices_[first + l]];
            lanes[l].filter = &v.filter(j);
            lanes[l].left = v.filterLeft(routing, j);
            lanes[l].right = v.filterRight(routing, j);
            lanes[l].cutoffTargets = v.cutoffTargets(j);
            lanes[l].resonanceTargets = v.resonanceTargets(j);
        }
        FilterLanes::process(lanes, used, common);
        for (int l = 0; l < used; ++l) {
            const int rest = soundingSamples_[first + l] - common;
            if (rest <= 0) continue;
            const FilterLanes::Lane& lane = lanes[l];
            lane.filter->processRun(lane.left + common, lane.right + common, rest, lane.cutoffTargets + common,
                                    lane.resonanceTargets + common);
        }
    }
}

bool VoiceManager::render(float* left, float* right, int blockLength, int start, int count) {
    bool silent = true;
    int s = start;
    const int end = start + count;
    while (s < end) {
        beginSample(blockLength, s);
        int run = runLength(blockLength, s);
        if (run > end - s) run = end - s;
        if (run > kMaxRun) run = kMaxRun;
        silent = renderRun(left + (s - start), right + (s - start), run) && silent;
        s += run;
    }
    return silent;
}

void VoiceManager::renderTail(float* left, float* right, int count) {
    // Block ramps are aimed over the tail, not left to run past their block.
    effects_.beginBlock(params_, tempo_, denominator_, count);
    for (int done = 0; done < count; done += kMaxRun)
        renderRun(left + done, right + done, std::min(kMaxRun, count - done));
}

// ---- notes ----

bool VoiceManager::legatoForNewNote(int channel, int count, bool tiedStep) const {
    if (count != 1) return false;
    if (params_[GlideMode] > 0.0f) return true;
    return channel == -1 && tiedStep;
}

void VoiceManager::noteEvent(const MidiEvent& event) { playNote(event, false); }

void VoiceManager::playNote(const MidiEvent& event, bool tiedStep) {
    const float velocity = static_cast<float>(event.data2) / 127.0f;
    const int count = voiceCount();
    if (event.kind == EventNoteOn && velocity > 0.0f)
        noteOn(event, velocity, count, tiedStep);
    else
        noteOff(event, velocity, count, tiedStep);
}

void VoiceManager::noteOn(const MidiEvent& event, float velocity, int count, bool tiedStep) {
    for (const HeldNote& h : heldNotes_) {
        if (h.channel != event.channel || h.note != event.data1) continue;
        // The key is already down: mono ignores it, poly restarts its voice.
        if (count < 2) return;
        for (Voice& v : voices_) {
            if (v.sounding() && v.held.note == event.data1) {
                v.retrigger(params_);
                return;
            }
        }
        return;
    }
    HeldNote note;
    note.channel = event.channel;
    note.note = event.data1;
    note.velocity = velocity;
    note.legato = legatoForNewNote(event.channel, count, tiedStep);
    note.glideMs = glideMilliseconds(params_[GlideTime]);
    appendGrowing(heldNotes_, note);
    allocateVoice(note, count, tiedStep);
}

void VoiceManager::noteOff(const MidiEvent& event, float velocity, int count, bool tiedStep) {
    bool removedNewest = false;
    for (std::size_t i = 0; i < heldNotes_.size(); ++i) {
        if (heldNotes_[i].channel == event.channel && heldNotes_[i].note == event.data1) {
            removedNewest = i + 1 == heldNotes_.size();
            heldNotes_.erase(heldNotes_.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    if (count == 1 && removedNewest && !heldNotes_.empty()) {
        // Mono last-note priority: fall back to the newest key still held.
        HeldNote& previous = heldNotes_.back();
        previous.legato = true;
        previous.glideMs = glideMilliseconds(params_[GlideTime]);
        allocateVoice(previous, 1, tiedStep);
    }
    for (Voice& v : voices_)
        if (v.held.note == event.data1) v.release(velocity);
}

int VoiceManager::findFreeVoice(int count) const {
    for (int i = 0; i < count; ++i)
        if (!voices_[i].active()) return i;
    return -1;
}

int VoiceManager::findVoiceToSteal(int count) const {
    if (count == 1) return 0;
    int oldestReleased = -1;
    int oldest = 0;
    for (int i = 0; i < count; ++i) {
        const Voice& v = voices_[i];
        if (!v.sounding() && (oldestReleased < 0 || v.startOrder < voices_[oldestReleased].startOrder))
            oldestReleased = i;
        if (v.startOrder < voices_[oldest].startOrder) oldest = i;
    }
    return oldestReleased >= 0 ? oldestReleased : oldest;
}

void VoiceManager::allocateVoice(HeldNote note, int count, bool tiedStep) {
    note.alternate = alternateBit_;
    alternateBit_ = !alternateBit_;
    const int free = findFreeVoice(count);
    if (free >= 0) {
        voices_[free].reset(params_);
        voices_[free].start(note, startCounter_++);
        return;
    }
    Voice& v = voices_[findVoiceToSteal(count)];
    const bool wasSounding = v.sounding();
    if (!note.legato) note.legato = wasSounding;
    bool restart = true;
    if (params_[MonoMode] <= 0.0f) {
        restart = note.channel == -1 ? !tiedStep : !wasSounding;
    }
    if (restart) v.retrigger(params_);
    v.start(note, startCounter_++);
}

void VoiceManager::allNotesOff() {
    for (Voice& v : voices_) v.release(0.0f);
    heldNotes_.clear();
}

void VoiceManager::playSequencerNotes(const SequencerNotes& notes) {
    for (const SequencerNote& n : notes) {
        if (n.kind == SequencerNote::AllNotesOff) {
            allNotesOff();
            continue;
        }
        MidiEvent e;
        e.kind = n.kind;
        e.deltaFrames = n.deltaFrames;
        e.channel = -1;
        e.data1 = n.note;
        // Step velocities come from stored values that may lie outside 0..127.
        e.data2 = n.velocity < 0 ? 0 : (n.velocity > 127 ? 127 : n.velocity);
        playNote(e, n.tied);
    }
}

// ---- controllers ----

void VoiceManager::controllerValue(int cc, int value) {
    if (cc == midi_->modCC1) controllers_.modCC1 = static_cast<float>(value) / 127.0f;
    if (cc == midi_->modCC2) controllers_.modCC2 = static_cast<float>(value) / 127.0f;
}

void VoiceManager::learnController(int cc) {
    if (cc < 0 || cc >= kNumKnobControllers || !midi_->midiLearnListening) return;
    const int selected = midi_->midiLearnParam;
    for (auto& entry : midi_->knobCC)
        if (entry.load(std::memory_order_relaxed) == selected) entry.store(-1, std::memory_order_relaxed);
    midi_->knobCC[cc].store(selected, std::memory_order_relaxed);
}

void VoiceManager::controllerToParameter(int cc, float value) {
    if (cc < 0 || cc >= kNumKnobControllers) return;
    learnController(cc);
    const int index = midi_->knobCC[cc];
    // A map read from the settings file may hold anything.
    if (index >= 0 && index < kNumParameters && sink_) {
        sink_->setParameter(index, value);
        parametersChanged_ = true;
    }
}

}  // namespace tvx
