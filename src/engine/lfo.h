#pragma once

#include "dsp/random_source.h"

namespace tvx {

// Low-frequency oscillator of a voice, also used for the three global LFOs.
// Phase runs in radians; the random shapes pick a new value at every cycle
// start and never pick the same one twice in a row.
struct Lfo {
    // Internal shape codes; codes 1 and 5 are reachable only by setting `shape`.
    enum Shape {
        Sine = 0, Cosine = 1, Triangle = 2, Square = 3, SawDown = 4, SawUp = 5,
        RandomHold = 6, RandomGlide = 7, RandomPulse = 8,
    };
    static constexpr int kNumMenuShapes = 7;

    int shape = Sine;
    float phase = 0.0f;            // 0 <= phase < 2 pi (2 pi itself right after a restart at 1.0)
    float phaseParam = 0.0f;       // start phase of the last restart, 0..1
    float increment = 0.0f;        // radians per sample
    float fadeIncrement = 1.0f;
    float fadeLevel = 0.0f;
    float offset = 0.0f;
    float sampleRate = 44100.0f;
    float period = 44100.0f;       // samples per cycle, always within kMinPeriod..kMaxPeriod
    int previousRandom = 0;        // 0..100
    float heldValue = 0.0f;        // 0..1
    float nextValue = 0.0f;        // 0..1
    float randomSlope = 0.0f;      // change of heldValue per sample
    RandomSource* random = nullptr; // the instance's; none attached: random shapes stay at 0

    static constexpr float kMinPeriod = 1.0f;
    static constexpr float kMaxPeriod = 1.0e9f;

    void prepare(float sampleRate);   // also the construction state of the global LFOs (fade increment 1)
    void setShape(float lfoTypeParam);                 // menu value -> internal shape code, guarded
    void setRate(float rateValue, bool sync, float tempo, int denominator);  // value incl. modulation
    void setOffset(float offsetParam);                 // offset = param - 0.5
    void setAttack(float attackParam);                 // fade-in length
    void restart(float phaseParam);                    // phase, fade 0, new random value
    float process();                                   // one LFO step, returns the output
    float advance(int count);                          // count steps, returns the last output
    // advance for `used` (up to 4) LFOs, side by side: each one's steps are a
    // chain of dependent additions that would otherwise keep the processor
    // waiting. Each draws from its own random source, so the order of their
    // draws does not matter.
    static void advanceSideBySide(Lfo* lfos, int used, int count, float* outputs);

    // Menu position of the type menu -> internal shape code. Out-of-range
    // positions take the nearest entry; NaN gives Triangle.
    static int shapeFromMenu(float lfoTypeParam);
    // Frequency in Hz of a clamped rate value, free or synced to the tempo.
    static float frequencyHz(float rateValue, bool sync, float tempo, int denominator);
    float shapeValue();
    void drawRandom();
    void step();   // the phase, random and fade of one sample
};

}  // namespace tvx
