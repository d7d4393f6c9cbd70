#pragma once

// The sample rates the plug-in accepts. Every stage is prepared for the rate
// itself inside this range: the tables, the voices and the effects, whose
// delay and reverb lines are sized for the highest rate. A host asking for a
// rate outside it keeps the plug-in at its present rate.
constexpr float kMinSampleRate = 1000.0f;
constexpr float kMaxSampleRate = 384000.0f;
