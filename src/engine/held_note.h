#pragma once

namespace tvx {

// A key that is held down, in the order keys were pressed; the voice that
// plays it keeps a copy.
struct HeldNote {
    int channel = 0;             // -1 for notes of the step sequencer
    int note = 0;
    float velocity = 0.0f;       // 0..1
    float releaseVelocity = 0.0f;
    bool legato = false;         // continue from the previous note (glide, maybe no restart)
    float glideMs = 0.0f;
    bool alternate = false;      // flips with every voice start ("Alternate" source)
};

}  // namespace tvx
