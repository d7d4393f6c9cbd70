#include "editor/value_text.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "editor/editor_host.h"
#include "params/note_division.h"
#include "params/number_text.h"
#include "params/parameter_id.h"

namespace {

bool isIn(int index, int first, int count) { return index >= first && index < first + count; }

// Finite values only: anything may arrive from a host or a chunk.
float finite(float v) { return std::isfinite(v) ? v : 0.0f; }

std::string wholeNumber(double value) { return formatFixed(std::trunc(value), 0); }

std::string semitones(float v) {
    const double offset = std::floor((static_cast<double>(finite(v)) - 0.5) * 48.0);
    return (offset > 0 ? "+" : "") + formatFixed(offset, 0) + " st";
}

}  // namespace

std::string editorValueText(const EditorHost& host, int parameter) {
    const float v = finite(host.parameterValue(parameter));
    if (parameter == Polyphony) return wholeNumber(1.0 + std::floor(31.0 * static_cast<double>(v)));
    if (parameter == SeqStepCount) return wholeNumber(1.0 + std::trunc(15.0 * static_cast<double>(v)));
    if (parameter == SeqStepSize) return stepDivision(stepDivisionIndex(v)).name;
    if (parameter == GlideTime) return formatFixed(1000.0 * static_cast<double>(v), 0) + " ms";
    // The bend range, held to 0..24 whole semitones as the engine holds it.
    if (parameter == PitchBend) return wholeNumber(std::clamp(std::trunc(24.0 * static_cast<double>(v)), 0.0, 24.0)) + " st";
    if (parameter == MasterTune) return formatFixed(440.0 + (static_cast<double>(v) - 0.5) * 100.0, 1) + " Hz";
    if (isIn(parameter, Osc1UniCount, 3)) return wholeNumber(1.0 + std::trunc(7.0 * static_cast<double>(v)));
    if (isIn(parameter, SeqNote1, 16)) return semitones(v);
    if (isIn(parameter, SeqVel1, 16)) return wholeNumber(127.0 * static_cast<double>(v));
    if (isIn(parameter, SeqLen1, 16)) return formatFixed(100.0 * static_cast<double>(v), 0) + "%";
    return host.parameterText(parameter);
}
