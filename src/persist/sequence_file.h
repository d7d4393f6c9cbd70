#pragma once

#include <cstddef>
#include <string>

namespace tvx {

// Sequence files (*.seq) carry only the step sequencer's settings, so a
// pattern can move between sounds.

// The 85 "Key=value" lines (step size, step count, both smoothing switches,
// mode, then note, length, velocity, mod A and mod B of steps 1..16), values
// in general notation with six significant digits, each line ending in LF.
std::wstring buildSequenceText(const float* params);

// Sets only the parameters whose keys appear; any parameter key is taken,
// PresetName and unknown keys are ignored.
void parseSequenceText(const wchar_t* text, size_t length, float* params);

// 0 on success, 1 when the file cannot be written (an existing file stays as it was).
int saveSequenceFile(const std::wstring& path, const float* params);
// 0 on success, 1 when the file cannot be read (nothing changes).
int loadSequenceFile(const std::wstring& path, float* params);

// UseSequencer, the five sequencer settings and the 80 step values back to
// their defaults; nothing else changes.
void initSequence(const float* defaults, float* params);

}  // namespace tvx
