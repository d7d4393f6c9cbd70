#pragma once

namespace tvx {

// Tempo-synchronised note divisions. A normalised value v picks the first
// entry i with (i + 1) / count > v, and the last entry at and above the last
// threshold (NaN included), so a stored value never indexes outside a table.
struct NoteDivision {
    const char* name;
    float note;    // N: note value (1/N of a whole), or cycles per denominator beat for LFOs
    float factor;  // 2/3 triplet, 1 straight, 1.5 dotted
};

constexpr int kNumStepDivisions = 18;  // SeqStepSize, DelayTime with DelaySync on
constexpr int kNumLfoDivisions = 26;   // Lfo1Rate.. with Lfo1Sync on

int stepDivisionIndex(float value);
int lfoDivisionIndex(float value);
const NoteDivision& stepDivision(int index);
const NoteDivision& lfoDivision(int index);

// Length of one step division in milliseconds: (den / N) * (60 / tempo * 1000) * factor,
// evaluated in single precision in that order.
float stepDivisionMs(float value, int denominator, float tempo);

// Frequency of a synced LFO in Hz: cycles / (den * 60 / tempo * factor).
float lfoDivisionHz(float value, int denominator, float tempo);

}  // namespace tvx
