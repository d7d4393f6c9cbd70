#include "engine/voice_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "params/parameter_id.h"
#include "params/parameter_table.h"

// Counts every allocation of the test program, so a test can prove that a
// stretch of rendering allocates nothing.
static std::atomic<long> gVoiceManagerTestAllocations{0};

void* operator new(std::size_t size) {
    ++gVoiceManagerTestAllocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
// GCC takes the free() of memory from the operator new above for a
// mismatch once both are inlined; they are a pair.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace tvx {

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

struct RecordingSink : ParameterSink {
    std::vector<std::pair<int, float>> calls;
    void setParameter(int index, float value) override { calls.push_back({index, value}); }
};

// Polyphony value that gives exactly `count` voices.
float polyphonyFor(int count) { return (static_cast<float>(count - 1) + 0.5f) / 31.0f; }

class VoiceManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        fillDefaultValues(params);
        params[Osc1Type] = 1.0f;
        engine = std::make_unique<VoiceManager>(params, &midi, &sink);
        engine->setSampleRate(44100.0f);
        engine->setTempo(120.0f, 4);
        engine->reset();
    }

    // One block in which the message falls on sample 0.
    void send(int status, int data1, int data2, int blockLength = 1) {
        engine->addMidiMessage(0, status, data1, data2);
        render(blockLength);
    }
    // Straight to the voice manager, so states can be checked before any rendering.
    void noteOn(int key, int channel = 0) { engine->noteEvent(noteMessage(EventNoteOn, key, channel, 100)); }
    void noteOff(int key, int channel = 0) { engine->noteEvent(noteMessage(EventNoteOff, key, channel, 64)); }
    static MidiEvent noteMessage(int kind, int key, int channel, int velocity) {
        MidiEvent e;
        e.kind = kind;
        e.channel = channel;
        e.data1 = key;
        e.data2 = velocity;
        return e;
    }

    void render(int blockLength) {
        for (int s = 0; s < blockLength; ++s) {
            float l = 0.0f, r = 0.0f;
            engine->renderSample(l, r, blockLength, s);
            lastLeft = l;
            lastRight = r;
            allFinite = allFinite && std::isfinite(l) && std::isfinite(r);
        }
        engine->clearEvents();
    }

    const Voice& voice(int i) const { return engine->voice(i); }
    int voicePlaying(int key) const {
        for (int i = 0; i < VoiceManager::kNumVoices; ++i)
            if (voice(i).sounding() && voice(i).held.note == key) return i;
        return -1;
    }
    int activeVoices() const {
        int n = 0;
        for (int i = 0; i < VoiceManager::kNumVoices; ++i) n += engine->isVoiceSounding(i) ? 1 : 0;
        return n;
    }
    void setMono(float monoMode, float glideMode, float glideTime) {
        params[Polyphony] = 0.0f;
        params[MonoMode] = monoMode;
        params[GlideMode] = glideMode;
        params[GlideTime] = glideTime;
    }

    float params[kNumParameters];
    MidiSettings midi;
    RecordingSink sink;
    std::unique_ptr<VoiceManager> engine;
    float lastLeft = 0.0f, lastRight = 0.0f;
    bool allFinite = true;
};

TEST_F(VoiceManagerTest, ModWheelAlsoDrivesItsMappedParameter) {
    midi.knobCC[1] = Flt1Cut;
    send(0xB0, 1, 127);
    EXPECT_FLOAT_EQ(engine->controllers().modWheel, 1.0f);
    ASSERT_EQ(sink.calls.size(), 1u);
    EXPECT_EQ(sink.calls[0].first, Flt1Cut);
    EXPECT_FLOAT_EQ(sink.calls[0].second, 1.0f);
}

TEST_F(VoiceManagerTest, OneControllerMayFeedBothModSources) {
    midi.modCC1 = midi.modCC2 = 20;
    send(0xB0, 20, 127);
    EXPECT_FLOAT_EQ(engine->controllers().modCC1, 1.0f);
    EXPECT_FLOAT_EQ(engine->controllers().modCC2, 1.0f);
    engine->reset();
    EXPECT_EQ(engine->controllers().modCC1, 0.0f);
}

TEST_F(VoiceManagerTest, LearnedBindingMovesToTheLatestController) {
    midi.midiLearnListening = true;
    midi.midiLearnParam = Osc2Pos;
    midi.knobCC[7] = Osc2Pos;
    send(0xB0, 20, 64);
    EXPECT_EQ(midi.knobCC[7], -1);
    EXPECT_EQ(midi.knobCC[20], Osc2Pos);
    send(0xB0, 21, 127);
    EXPECT_EQ(midi.knobCC[20], -1);
    EXPECT_EQ(midi.knobCC[21], Osc2Pos);
    ASSERT_FALSE(sink.calls.empty());
    EXPECT_EQ(sink.calls.back().first, Osc2Pos);
    EXPECT_FLOAT_EQ(sink.calls.back().second, 1.0f);
}

TEST_F(VoiceManagerTest, BadMapEntriesNeverReachTheSink) {
    midi.knobCC[5] = 9999;
    midi.knobCC[6] = -7;
    send(0xB0, 5, 10);
    send(0xB0, 6, 10);
    EXPECT_TRUE(sink.calls.empty());
}

TEST_F(VoiceManagerTest, SustainHoldsNotesUntilThePedalGoesUp) {
    send(0x90, 60, 100);
    send(0x90, 62, 100);
    send(0xB0, 64, 127);
    send(0x80, 60, 0);
    send(0x90, 62, 0);  // velocity 0 behaves as a note off under the pedal too
    render(100);
    EXPECT_GE(voicePlaying(60), 0);
    engine->addMidiMessage(0, 0xB0, 64, 63);
    float l = 0, r = 0;
    engine->renderSample(l, r, 2, 0);
    EXPECT_GE(voicePlaying(60), 0);  // released one sample later
    EXPECT_GE(voicePlaying(62), 0);
    engine->renderSample(l, r, 2, 1);
    engine->clearEvents();
    EXPECT_EQ(voicePlaying(60), -1);
    EXPECT_EQ(voicePlaying(62), -1);
    EXPECT_TRUE(engine->isVoiceSounding(0));  // in release
}

TEST_F(VoiceManagerTest, AllNotesOffOnAnyChannelReleasesEverything) {
    params[Polyphony] = 1.0f;
    for (int k = 0; k < 5; ++k) send(0x90 | k, 60 + k, 100);
    EXPECT_EQ(engine->heldNoteCount(), 5);
    send(0xB7, 123, 0);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(voicePlaying(60 + k), -1);
    EXPECT_EQ(engine->heldNoteCount(), 0);
}

TEST_F(VoiceManagerTest, ProgramChangeAndLateEventsDoNothing) {
    send(0xC0, 3, 0);
    engine->addMidiMessage(16, 0x90, 60, 100);   // beyond a 16-sample block
    engine->addMidiMessage(-3, 0x90, 61, 100);
    render(16);
    render(32);
    EXPECT_EQ(activeVoices(), 0);
}

TEST_F(VoiceManagerTest, MonoLegatoGlidesWithoutRestart) {
    setMono(0.0f, 0.0f, 0.2f);
    params[Env1Att] = 0.5f;  // still in its attack when the second key comes
    noteOn(60);
    render(500);
    const float level1 = voice(0).envelopes[0].level;
    const float level2 = voice(0).envelopes[1].level;
    ASSERT_EQ(voice(0).envelopes[1].state, Envelope::Sustain);
    noteOn(64);
    EXPECT_EQ(voice(0).held.note, 64);
    EXPECT_TRUE(voice(0).held.legato);
    for (const Envelope& e : voice(0).envelopes) EXPECT_EQ(e.state, Envelope::Attack);
    EXPECT_FLOAT_EQ(voice(0).envelopes[0].level, level1);  // no drop to 0
    EXPECT_FLOAT_EQ(voice(0).envelopes[1].level, level2);
    render(100);
    EXPECT_GT(voice(0).currentPitch, 60.0f);
    EXPECT_LT(voice(0).currentPitch, 64.0f);
    EXPECT_FALSE(engine->isVoiceSounding(1));

    render(20000);
    const float before = voice(0).envelopes[0].level;
    noteOff(64);  // back to the key still held, gliding
    EXPECT_EQ(voice(0).held.note, 60);
    EXPECT_TRUE(voice(0).sounding());
    EXPECT_EQ(voice(0).envelopes[0].state, Envelope::Attack);
    EXPECT_FLOAT_EQ(voice(0).envelopes[0].level, before);
    render(100);
    EXPECT_GT(voice(0).currentPitch, 60.0f);
    EXPECT_LT(voice(0).currentPitch, 64.0f);
    noteOff(60);
    EXPECT_EQ(voice(0).envelopes[0].state, Envelope::Release);
}

TEST_F(VoiceManagerTest, MonoNoteAfterReleaseRetriggersWithoutGlide) {
    for (float monoMode : {0.0f, 1.0f}) {
        engine->reset();
        setMono(monoMode, 0.0f, 0.2f);
        noteOn(60);
        render(500);
        noteOff(60);
        render(10);
        ASSERT_EQ(voice(0).envelopes[0].state, Envelope::Release);
        const float level1 = voice(0).envelopes[0].level;
        noteOn(64);
        EXPECT_FLOAT_EQ(voice(0).currentPitch, 64.0f);
        EXPECT_FALSE(voice(0).held.legato);
        EXPECT_FLOAT_EQ(voice(0).envelopes[0].level, level1);  // re-attack from where it is
        EXPECT_EQ(voice(0).envelopes[1].level, 0.0f);
        EXPECT_EQ(voice(0).envelopes[1].state, Envelope::Attack);
    }
}

TEST_F(VoiceManagerTest, GlideAllGlidesAfterSilenceToo) {
    setMono(1.0f, 1.0f, 0.1f);
    params[Env1Rel] = 0.0f;
    noteOn(60);
    render(500);
    noteOff(60);
    render(500);
    ASSERT_FALSE(engine->isVoiceSounding(0));
    noteOn(64);
    EXPECT_FLOAT_EQ(voice(0).currentPitch, 60.0f);
    render(1);
    EXPECT_FLOAT_EQ(voice(0).currentPitch, 60.0f + (64.0f - 60.0f) * (1.0f - voice(0).glide));
    render(200);
    EXPECT_LT(voice(0).currentPitch, 64.0f);
}

TEST_F(VoiceManagerTest, StealsTheOldestAndPrefersAReleasedVoice) {
    params[Polyphony] = polyphonyFor(4);
    for (int k = 0; k < 4; ++k) noteOn(60 + k);
    ASSERT_EQ(voicePlaying(60), 0);
    noteOn(64);
    EXPECT_EQ(voicePlaying(64), 0);
    EXPECT_EQ(voicePlaying(60), -1);
    noteOff(62);  // voice 2 now in release, voice 1 is the oldest sounding
    noteOn(65);
    EXPECT_EQ(voicePlaying(65), 2);
    EXPECT_EQ(voicePlaying(61), 1);
    EXPECT_FALSE(engine->isVoiceSounding(4));
}

TEST_F(VoiceManagerTest, SameKeyTwiceRetriggersInPolyAndIsIgnoredInMono) {
    params[Polyphony] = 1.0f;
    noteOn(60);
    render(500);
    noteOn(60);
    EXPECT_EQ(activeVoices(), 1);
    EXPECT_EQ(voice(0).envelopes[1].level, 0.0f);

    engine->reset();
    setMono(1.0f, 0.0f, 0.0f);
    noteOn(60);
    render(500);
    const float level2 = voice(0).envelopes[1].level;
    noteOn(60);
    EXPECT_FLOAT_EQ(voice(0).envelopes[1].level, level2);
    EXPECT_EQ(engine->heldNoteCount(), 1);
}

TEST_F(VoiceManagerTest, NoteOffOnAnotherChannelReleasesTheNote) {
    params[Polyphony] = 1.0f;
    noteOn(60, 0);
    noteOff(60, 1);
    EXPECT_EQ(voicePlaying(60), -1);
    EXPECT_TRUE(engine->isVoiceSounding(0));
    EXPECT_EQ(engine->heldNoteCount(), 1);  // the held key is tracked per channel
}

TEST_F(VoiceManagerTest, LoweringPolyphonyLetsVoicesEndNaturally) {
    params[Polyphony] = 1.0f;
    for (int k = 0; k < 8; ++k) noteOn(60 + k);
    params[Polyphony] = polyphonyFor(2);
    noteOn(80);
    EXPECT_EQ(activeVoices(), 8);
    const int v = voicePlaying(80);
    EXPECT_TRUE(v == 0 || v == 1);
    for (int k = 2; k < 8; ++k) EXPECT_GE(voicePlaying(60 + k), 2);
}

TEST_F(VoiceManagerTest, PolyphonyOutOfRangeStaysWithinTheVoices) {
    for (float poly : {std::numeric_limits<float>::quiet_NaN(), 7.0f, -3.0f,
                       std::numeric_limits<float>::infinity()}) {
        engine->reset();
        params[Polyphony] = poly;
        for (int k = 0; k < 40; ++k) noteOn(20 + k);
        render(64);
        EXPECT_LE(activeVoices(), VoiceManager::kNumVoices);
        EXPECT_TRUE(allFinite);
    }
}

TEST_F(VoiceManagerTest, BrokenParametersNeverReachTheOutputAndNeverStick) {
    params[Polyphony] = 1.0f;
    params[Flt1Type] = 1.0f;
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), 1e30f, -1e30f};
    float saved[kNumParameters];
    std::copy(params, params + kNumParameters, saved);
    for (float b : bad) {
        for (int p = 1; p < kNumParameters; ++p) params[p] = b;
        noteOn(60);
        send(0xE0, 127, 127, 256);
        noteOff(60);
        render(256);
    }
    EXPECT_TRUE(allFinite);

    std::copy(saved, saved + kNumParameters, params);
    engine->reset();
    noteOn(69);
    float peak = 0.0f;
    for (int b = 0; b < 40; ++b) {
        render(64);
        peak = std::max(peak, std::fabs(lastLeft));
    }
    EXPECT_TRUE(allFinite);
    EXPECT_GT(peak, 0.01f);
}

TEST_F(VoiceManagerTest, SequencerPlaysTheKeysAndIgnoresThePedal) {
    params[UseSequencer] = 1.0f;
    render(8);  // started at the block start
    ASSERT_TRUE(engine->sequencer().running());
    send(0xB0, 64, 127);
    EXPECT_FALSE(engine->sustainHeld());
    send(0x90, 60, 100);
    render(64);
    bool sequencerVoice = false;
    for (int i = 0; i < VoiceManager::kNumVoices; ++i)
        sequencerVoice = sequencerVoice || (voice(i).sounding() && voice(i).held.channel == -1);
    EXPECT_TRUE(sequencerVoice);
}

TEST_F(VoiceManagerTest, SteadyRenderingAllocatesNothing) {
    params[Polyphony] = 1.0f;
    params[Flt1Type] = 1.0f;
    params[Osc2Type] = 3.0f;
    params[Osc3Type] = 2.0f;
    params[DelayMix] = 0.3f;
    params[ChorusMix] = 0.3f;
    params[ReverbMix] = 0.3f;
    auto playBlocks = [&](int blocks) {
        for (int b = 0; b < blocks; ++b) {
            engine->addMidiMessage(b % 64, 0x90, 40 + b % 40, 100);
            engine->addMidiMessage(63 - b % 64, 0x80, 40 + (b + 20) % 40, 0);
            engine->addMidiMessage(10, 0xB0, 1, b % 128);
            engine->addMidiMessage(11, 0xB0, 64, b % 3 ? 0 : 127);
            engine->addMidiMessage(12, 0xE0, 0, b % 128);
            render(64);
        }
    };
    playBlocks(200);
    const long before = gVoiceManagerTestAllocations.load();
    playBlocks(200);
    EXPECT_EQ(gVoiceManagerTestAllocations.load(), before);
}

// Notes through every effect, then silence long enough for every tail to
// end and the effects to rest, then notes again: nothing is allocated, and
// the resting engine writes silence.
TEST_F(VoiceManagerTest, RestingThroughSilenceAllocatesNothing) {
    params[DriveAmount] = params[ChorusMix] = params[DelayMix] = params[ReverbMix] = 0.5f;
    params[EQ1Gain] = 0.8f;
    params[DelayLoCut] = 0.3f;
    float left[128], right[128];
    auto renderBlocks = [&](int blocks) {
        bool silent = true;
        for (int b = 0; b < blocks; ++b) {
            silent = engine->render(left, right, 128, 0, 128);
            engine->clearEvents();
        }
        return silent;
    };
    const long before = gVoiceManagerTestAllocations.load();
    for (int round = 0; round < 2; ++round) {
        engine->addMidiMessage(0, 0x90, 60, 100);
        renderBlocks(100);
        engine->addMidiMessage(0, 0x80, 60, 0);
        EXPECT_TRUE(renderBlocks(3000));
        for (int i = 0; i < 128; ++i) ASSERT_EQ(left[i] + right[i], 0.0f);
    }
    EXPECT_EQ(gVoiceManagerTestAllocations.load(), before);
}

// A pedal held through 10 000 notes on every channel: nothing is allocated,
// neither while the notes pile up nor at the pedal-up, and every key is
// released then.
TEST_F(VoiceManagerTest, PedalHeldThroughTenThousandNotesAllocatesNothing) {
    params[Polyphony] = 1.0f;
    send(0xB0, 64, 127);
    const long before = gVoiceManagerTestAllocations.load();
    for (int n = 0; n < 10000; n += 50) {
        for (int i = 0; i < 50; ++i) {
            const int note = n + i;
            engine->addMidiMessage(i, 0x90 | (note % 16), (note / 16) % 128, 100);
            engine->addMidiMessage(i, 0x80 | (note % 16), (note / 16) % 128, 0);
        }
        render(64);
    }
    EXPECT_EQ(engine->heldBackNoteOffs(), 2048);
    send(0xB0, 64, 0, 64);
    EXPECT_EQ(gVoiceManagerTestAllocations.load(), before);
    EXPECT_EQ(engine->heldBackNoteOffs(), 0);
    EXPECT_EQ(engine->heldNoteCount(), 0);
    for (int i = 0; i < VoiceManager::kNumVoices; ++i) EXPECT_FALSE(voice(i).sounding()) << i;
}

// Voices render a run at a time, up to the next event, and each stage a span
// at a time, up to the next control step; whatever the block length, the
// result must be that of rendering sample by sample.
class StretchRendering : public ::testing::Test {
protected:
    struct Message { int at, status, data1, data2; };

    // Writes mapped controllers into the parameters, as the plug-in does.
    struct ApplyingSink : ParameterSink {
        float* params = nullptr;
        void setParameter(int index, float value) override { params[index] = value; }
    };

    std::vector<float> play(const float* sound, const std::vector<Message>& messages, int frames, int block) {
        float params[kNumParameters];
        std::copy(sound, sound + kNumParameters, params);
        MidiSettings midi;
        midi.knobCC[1] = Osc2Pos;
        ApplyingSink sink;
        sink.params = params;
        VoiceManager engine(params, &midi, &sink);
        engine.seedRandom(7);
        engine.setSampleRate(44100.0f);
        engine.setTempo(120.0f, 4);
        engine.reset();
        std::vector<float> out;
        for (int start = 0; start < frames; start += block) {
            const int length = std::min(block, frames - start);
            for (const Message& m : messages)
                if (m.at >= start && m.at < start + length)
                    engine.addMidiMessage(m.at - start, m.status, m.data1, m.data2);
            std::vector<float> left(length), right(length);
            engine.render(left.data(), right.data(), length, 0, length);
            for (int s = 0; s < length; ++s) {
                out.push_back(left[s]);
                out.push_back(right[s]);
            }
            engine.clearEvents();
        }
        return out;
    }

    void expectSameInEveryBlockLength(const float* sound, const std::vector<Message>& messages, int frames) {
        const std::vector<float> reference = play(sound, messages, frames, 1);
        float peak = 0.0f;
        for (float v : reference) peak = std::max(peak, std::fabs(v));
        ASSERT_GT(peak, 0.01f);
        for (int block : {2, 64, 65, 300, 4096}) {
            SCOPED_TRACE(block);
            const std::vector<float> out = play(sound, messages, frames, block);
            ASSERT_EQ(out.size(), reference.size());
            for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], reference[i]) << "sample " << i / 2;
        }
    }
};

TEST_F(StretchRendering, NotesControllersAndParameterChangesLandOnTheirSample) {
    float sound[kNumParameters];
    fillDefaultValues(sound);
    for (int i = 0; i < 3; ++i) {
        sound[Osc1Type + i] = static_cast<float>(1 + i % 2);  // "Wave", "Pulse", "Wave"
        sound[Osc1UniCount + i] = 0.3f + 0.35f * static_cast<float>(i);
        sound[Osc1UniMix + i] = 0.6f;
        sound[Osc1UniDet + i] = 0.4f;
        sound[Osc1Pos + i] = 0.3f + 0.2f * static_cast<float>(i);
        sound[Lfo1Mod1 + i] = 0.8f;
        sound[Lfo1Rate + i] = 0.6f;
    }
    sound[Flt1Type] = 1.0f;
    sound[Flt2Type] = 4.0f;
    sound[NoiseVol] = 0.2f;
    // Random shapes draw while noise draws too, voice by voice.
    sound[Lfo2Type] = 4.0f;  // "Random Hold"
    sound[Lfo3Type] = 5.0f;  // "Random Glide"
    sound[Lfo2Rate] = sound[Lfo3Rate] = 0.9f;
    const std::vector<Message> messages = {
        {0, 0x90, 48, 100},   {37, 0x90, 55, 90},  {130, 0xE0, 0, 90}, {200, 0xB0, 1, 127},
        {333, 0x90, 62, 110}, {500, 0xB0, 1, 10},  {701, 0x80, 48, 0},  {702, 0x90, 48, 60},
        {1200, 0x80, 55, 0},  {1500, 0xB0, 123, 0},
    };
    expectSameInEveryBlockLength(sound, messages, 3000);
}

TEST_F(StretchRendering, SequencerStepsLandOnTheirSample) {
    float sound[kNumParameters];
    fillDefaultValues(sound);
    sound[Osc1Type] = 1.0f;
    sound[Osc1UniCount] = 1.0f;
    sound[Osc1UniMix] = 0.5f;
    sound[UseSequencer] = 1.0f;
    sound[SeqStepSize] = 0.0f;  // short steps
    sound[Polyphony] = 0.0f;  // one voice, still releasing when the next step takes it over
    sound[Env1Rel] = 0.5f;
    const std::vector<Message> messages = {{0, 0x90, 60, 100}, {10, 0x90, 64, 100}, {2500, 0x80, 60, 0}};
    expectSameInEveryBlockLength(sound, messages, 6000);
}

}  // namespace

}  // namespace tvx
