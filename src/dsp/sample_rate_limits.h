#pragma once

namespace tvx {

// The sample rates the plug-in plays at. Every stage is prepared for the rate
// itself inside this range: the tables, the voices and the effects, whose
// delay and reverb lines are sized for the rate when it is set. A host cannot
// be refused a rate, so at a rate outside the range the plug-in stays silent
// rather than play at a wrong pitch.
constexpr float kMinSampleRate = 1000.0f;
constexpr float kMaxSampleRate = 768000.0f;

}  // namespace tvx
