#pragma once

#include "params/midi_settings.h"
#include "params/parameter_sink.h"

// Seam for the voice engine: until the voices exist the engine is silent.
class VoiceManager {
public:
    VoiceManager(float* params, MidiSettings* midi, ParameterSink* sink) : params_(params), midi_(midi), sink_(sink) {}
    void setSampleRate(float fs) { sampleRate_ = fs; }
    void reset() {}
    void setTempo(float tempo, int denominator) { tempo_ = tempo; denominator_ = denominator; }
    void renderSample(float& left, float& right, int, int) { left = right = 0.0f; }
    void clearEvents() {}
    void addMidiMessage(int, int, int, int) {}
    bool isVoiceSounding(int) const { return false; }
    int shownStep() const { return -1; }

private:
    float* params_;
    MidiSettings* midi_;
    ParameterSink* sink_;
    float sampleRate_ = 44100.0f;
    float tempo_ = 120.0f;
    int denominator_ = 4;
};
