#pragma once

#include <functional>
#include <string>

namespace tvx {

// The editor's wording of parameter values, in the units a musician thinks
// in, and the reading of typed values back. Every text comes from the value
// mappings the engine itself applies (value_mappings.h), so a text never
// says something the sound does not do. The host-facing texts of
// getParameterDisplay are a different table (parameter_display.h).

// Reads a stored value: a synced rate, an oscillator's phase or a matrix
// amount words itself by other parameters.
using ParameterReader = std::function<float(int)>;

std::string formatParameterValue(int parameter, const ParameterReader& values);

// Reads `text` as a value of `parameter`: its displayed units ("-12 st",
// "440 Hz", "1.5 s", "35%", "L 40", "1/4T", "Off") or a bare number in the
// unit of its kind (Hz, ms, st, ct, %, dB). Values beyond the range are
// held to it. On failure returns false and says why in `error`, leaving
// `value` alone.
bool parseParameterValue(int parameter, const std::string& text, const ParameterReader& values, float& value,
                         std::string& error);

// Parameters whose middle is neutral: their knobs draw the arc from the top.
bool isBipolarParameter(int parameter);

}  // namespace tvx
