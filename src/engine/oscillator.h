#pragma once

#include "dsp/random_source.h"

#include "dsp/settling_smoother.h"
#include "tables/wt_collection.h"

namespace tvx {

// One main oscillator of a voice with its eight unison copies and its
// smoothers. Types: 0 off, 1 "Wave" (two-row crossfade over 17 position
// slots), 2 "Pulse" (difference of two ramp reads), 3 "FM" (three sine
// operators in series).
class Oscillator {
public:
    RandomSource* random = nullptr;   // the instance's; none attached: random start phases are 0

    enum Type { Off = 0, Wave = 1, Pulse = 2, Fm = 3 };
    static constexpr int kMaxUnison = 8;
    static constexpr int kPositionSlots = 17;
    static constexpr int kRows = 4;
    // Where each unison copy sits in the stereo field, before the spread.
    alignas(32) static constexpr float kUnisonPan[kMaxUnison] = {+0.8f, -0.8f, +0.6f, -0.6f,
                                                                 +0.4f, -0.4f, +0.2f, -0.2f};

    Oscillator();

    // Cached table levels are dropped: they belong to the tables of the old rate.
    void prepare(float sampleRate, const WtCollection* tables);
    // Adds to freshly built tables the row pairs that "Wave" blends, read
    // where the copies run side by side.
    static void prepareTables(WtCollection& tables);
    void resetPhase(float phaseParam);   // start phase in cycles; random 0..32767 / 32767 when exactly 1.0
    void jumpSmoothers();                // next update takes the target at once (voice reset)
    // Control rate (every 65 samples): type, increment from total semitones, unison increments, FM set-up.
    // osc is 0..2; semitones is the full sum of the pitch formula except (P - 69) is included by the caller;
    // a4 is the reference frequency in Hz.
    void controlStep(const float* params, const float* T, int osc, float semitones, float a4);
    // One sample: position/pan/volume smoothing and clamping with T, unison mix/spread, the sample by type.
    // Writes (does not add to) left and right.
    void render(const float* params, const float* T, int osc, float& left, float& right);
    // count samples of render, added to left and right. Rendering one
    // oscillator for a stretch keeps its tables in the nearest cache.
    void renderAdding(const float* params, const float* T, int osc, float* left, float* right, int count);

    // The two steps of renderAdding for the oscillators of a voice, at most
    // kChunk samples: the smoothers of all of them move side by side, then
    // each renders with its values. Oscillator k of the array is oscillator k
    // of the sound.
    static constexpr int kChunk = 65;   // a control period: the longest stretch a voice asks for
    static constexpr int kPerVoice = 3;
    struct Smoothed {
        alignas(16) float position[kChunk];
        alignas(16) float pan[kChunk];
        alignas(16) float volume[kChunk];
        alignas(16) float mix[kChunk];
        alignas(16) float spread[kChunk];
    };
    static void smoothSideBySide(Oscillator* oscillators, int n, const float* params, const float* T,
                                 Smoothed* out, int count);
    void renderSmoothed(const Smoothed& smoothed, float* left, float* right, int count);

    int type() const { return type_; }
    float increment() const { return main_.increment; }        // main oscillator, after unison detune
    float baseIncrement() const { return baseIncrement_; }     // before unison detune
    int unisonCount() const { return unisonCount_; }            // copies rendered while the mix is > 0
    float unisonIncrement(int copy) const;
    float phase() const { return main_.phase; }

private:
    // What the smoothers head for during one stretch, from parameters and modulation.
    struct Targets { float position, pan, volume, mix, spread; };
    static Targets targetsOf(const float* params, const float* T, int osc);
    static void smooth(Oscillator* const* oscillators, const Targets* targets, int n, Smoothed* out, int count);
    template <class Sound>
    void renderSounds(const Smoothed& smoothed, float* left, float* right, int count, Sound sound);
    bool settledAt(const Targets& targets) const;

    struct OscState {
        float phase = 0.0f;
        float increment = 0.0f;
        const WtLevel* levels[kRows];
        const float* pairs[kRows];   // row r interleaved with pairPartner(r)
    };
    // The unison copies side by side, so that four of them fill one SSE
    // register. Copies beyond the count keep their phase (step 0) and are
    // weighted 0; their table pointers repeat copy 0's, so reading them is safe.
    struct alignas(16) UnisonLanes {
        float phase[kMaxUnison] = {};
        float increment[kMaxUnison] = {};
        float step[kMaxUnison] = {};
        float live[kMaxUnison] = {};
        const WtLevel* levels[kRows][kMaxUnison];
        const float* samples[kRows][kMaxUnison];
        // Row r interleaved with pairPartner(r), at each copy's level.
        const float* pairs[kRows][kMaxUnison];
    };

    void loadWaveSlots();
    void setUpUnison(const float* params, int osc, float increment);
    void setUpFm(const float* params, const float* T, int osc, float increment);
    void cacheLevels();
    void cacheRowPairs(int rows, bool shared, int mainIndex, const int* copyIndex);
    // The row that row blends towards: that of the next filled position slot.
    static int pairPartner(int row);
    bool levelsCachedFor(int rows, int mainIndex, const int* copyIndex);
    void selectRows(float position);

    static float blendRows(const WtLevel& levelA, const WtLevel& levelB, float weight, float phase);
    // What each sample of a "Wave" chunk takes from the smoothers and the
    // position map, a list per value.
    struct WaveFrames {
        const float* mix;
        const float* spread;
        alignas(16) float gainLeft[kChunk];
        alignas(16) float gainRight[kChunk];
        alignas(16) float weight[kChunk];
        int rowA[kChunk];
        int rowB[kChunk];
        // Every sample reads the same rows, blends or not alike and uses the copies or none.
        bool uniform;
    };
    void renderWave(const Smoothed& smoothed, float* left, float* right, int count);
    void waveFrames(const Smoothed& smoothed, WaveFrames& frames, int count);
    void selectFrameRows(const float* position, WaveFrames& frames, int count);
    static bool sameThroughout(const WaveFrames& frames, int count);
    int selectRowsFourAtATime(const float* position, WaveFrames& frames, int count);
    int fillRestingRows(const float* position, WaveFrames& frames, int count) const;
    void renderWaveFrames(const WaveFrames& frames, float* left, float* right, int count);
    void renderWaveSpan(const WaveFrames& frames, float* left, float* right, int count);
    void stepMainPhases(float* phases, int count);
    void readMainSpan(const float* weights, const float* phases, int rowA, int rowB, bool blend, float* out,
                      int count);
    // readMainSpan's work eight samples at a time from the row pairs, with
    // AVX2; returns the samples done.
    int readMainEightAtATime(const float* weights, const float* phases, int rowA, bool blend, float* out,
                             int count);
    int finishFourAtATime(const WaveFrames& frames, const float* mainSamples, float (*termsLeft)[4],
                          float (*termsRight)[4], float* left, float* right, int from, int count) const;
    // The same eight samples at a time with AVX2, from sample 0.
    int finishEightAtATime(const WaveFrames& frames, const float* mainSamples, float (*termsLeft)[4],
                           float (*termsRight)[4], float* left, float* right, int count) const;
    // All eight copies in one AVX2 register, read from the row pairs; the
    // terms come out as the two groups of sumCopyGroupSpan added. Steps the
    // main copy's phases besides, as stepMainPhases does.
    void sumEightCopiesSpan(const WaveFrames& frames, int rowA, bool blend, float* mainPhases,
                            float (*termsLeft)[4], float (*termsRight)[4], int count);
    template <bool kBlend>
    void sumCopyGroupSpan(const WaveFrames& frames, int rowA, int rowB, int first, float (*termsLeft)[4],
                          float (*termsRight)[4], int count);
    void mixWave(int rowA, int rowB, float weight, float mix, float spread, float& left, float& right);
    void mixPulse(float width, float mix, float spread, float& left, float& right);
    float pulseSample(const WtLevel& ramp, float phase, float width) const;
    // One sample of "FM" (the scalar form), and a chunk with the samples side
    // by side (oscillator_fm_lanes.cpp).
    float fmSample();
    void renderFm(const Smoothed& smoothed, float* left, float* right, int count);
    // Sum the unison copies into left and right with their pan weights and
    // advance them. Both forms add in the same order, bit for bit.
    void sumWaveCopies(int rowA, int rowB, float weight, float spread, float& sumLeft, float& sumRight);
    template <bool kBlend>
    void sumWaveCopiesSse(int rowA, int rowB, float weight, float spread, float& sumLeft, float& sumRight);
    void sumLanes(const float* values, float spread, float& sumLeft, float& sumRight) const;
    void finishUnison(float mainSample, float mix, float spread, float sumLeft, float sumRight, float& left,
                      float& right) const;

    const WtCollection* tables_ = nullptr;
    float inverseSampleRate_ = 1.0f / 44100.0f;

    int type_ = Off;
    float baseIncrement_ = 0.0f;
    OscState main_;
    UnisonLanes lanes_;
    int unisonCount_ = 1;
    int uniformLength_ = 0;   // the length every cached level shares, or 0
    // The level indices the cached levels were found for; rows 0: none cached.
    struct CachedLevels {
        int rows = 0, copies = 0, main = -1;
        int copy[kMaxUnison] = {};
    } cached_;
    bool useAvx2_ = false;
    bool pairsReady_ = false;   // main_.pairs and lanes_.pairs hold every row's pair for every copy

    // "Wave" position map: row per slot (-1 empty), and per integer part of
    // 16 * position the rows of the lower and upper slots (-1 without any),
    // the lower slot and the reciprocal of the slots' distance.
    struct SlotRows {
        int rowA, rowB;
        float lower, spanInverse;
    };
    // The rows of every fourth slot: square, triangle, ramp, sine, square.
    static constexpr int kFilledSlotStep = 4;
    static constexpr int kFilledSlots = 5;
    static constexpr int kFilledSlotRows[kFilledSlots] = {1, 2, 0, 3, 1};
    int slotRow_[kPositionSlots];
    SlotRows slotRows_[kPositionSlots];
    int rowA_ = -1, rowB_ = -1;
    float selectedPosition_ = -1.0f;   // the position rowA_, rowB_ and rowWeight_ belong to
    float rowWeight_ = 0.0f;

    // FM operators, phases in cycles (carrier = main_).
    float modPhase1_ = 0.0f, modPhase2_ = 0.0f;
    float modIncrement1_ = 0.0f, modIncrement2_ = 0.0f;
    float indexTarget1_ = 0.0f, indexTarget2_ = 0.0f;

    SettlingSmoother position_, pan_, volume_, unisonMix_, unisonSpread_, index1_, index2_;
};

}  // namespace tvx
