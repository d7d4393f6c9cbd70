#include "params/note_division.h"

namespace tvx {

namespace {

constexpr float kTriplet = 0.6666667f;

const NoteDivision kStepDivisions[kNumStepDivisions] = {
    {"1/32T", 32, kTriplet}, {"1/32", 32, 1}, {"1/32D", 32, 1.5f},
    {"1/16T", 16, kTriplet}, {"1/16", 16, 1}, {"1/16D", 16, 1.5f},
    {"1/8T", 8, kTriplet},   {"1/8", 8, 1},   {"1/8D", 8, 1.5f},
    {"1/4T", 4, kTriplet},   {"1/4", 4, 1},   {"1/4D", 4, 1.5f},
    {"1/2T", 2, kTriplet},   {"1/2", 2, 1},   {"1/2D", 2, 1.5f},
    {"1/1T", 1, kTriplet},   {"1/1", 1, 1},   {"1/1D", 1, 1.5f},
};

// For the LFO the note value is given as cycles per denominator beat.
const NoteDivision kLfoDivisions[kNumLfoDivisions] = {
    {"8/1", 0.125f, 1},     {"8/1T", 0.125f, kTriplet}, {"4/1D", 0.25f, 1.5f},
    {"4/1", 0.25f, 1},      {"4/1T", 0.25f, kTriplet},  {"2/1D", 0.5f, 1.5f},
    {"2/1", 0.5f, 1},       {"2/1T", 0.5f, kTriplet},   {"1/1D", 1, 1.5f},
    {"1/1", 1, 1},          {"1/1T", 1, kTriplet},      {"1/2D", 2, 1.5f},
    {"1/2", 2, 1},          {"1/2T", 2, kTriplet},      {"1/4D", 4, 1.5f},
    {"1/4", 4, 1},          {"1/4T", 4, kTriplet},      {"1/8D", 8, 1.5f},
    {"1/8", 8, 1},          {"1/8T", 8, kTriplet},      {"1/16D", 16, 1.5f},
    {"1/16", 16, 1},        {"1/16T", 16, kTriplet},    {"1/32D", 32, 1.5f},
    {"1/32", 32, 1},        {"1/32T", 32, kTriplet},
};

int divisionIndex(float value, int count, float step) {
    for (int i = 0; i < count - 1; ++i) {
        float threshold = static_cast<float>(i + 1) * step;
        if (static_cast<double>(threshold) > static_cast<double>(value)) return i;
    }
    return count - 1;
}

}  // namespace

int stepDivisionIndex(float value) { return divisionIndex(value, kNumStepDivisions, 0.055555556f); }
int lfoDivisionIndex(float value) { return divisionIndex(value, kNumLfoDivisions, 0.03846154f); }

const NoteDivision& stepDivision(int index) {
    if (index < 0) index = 0;
    if (index >= kNumStepDivisions) index = kNumStepDivisions - 1;
    return kStepDivisions[index];
}

const NoteDivision& lfoDivision(int index) {
    if (index < 0) index = 0;
    if (index >= kNumLfoDivisions) index = kNumLfoDivisions - 1;
    return kLfoDivisions[index];
}

float stepDivisionMs(float value, int denominator, float tempo) {
    const NoteDivision& d = stepDivision(stepDivisionIndex(value));
    return (static_cast<float>(denominator) / d.note) * ((60.0f / tempo) * 1000.0f) * d.factor;
}

float lfoDivisionHz(float value, int denominator, float tempo) {
    const NoteDivision& d = lfoDivision(lfoDivisionIndex(value));
    float beat = 60.0f / tempo;
    return d.note / (static_cast<float>(denominator) * beat * d.factor);
}

}  // namespace tvx
