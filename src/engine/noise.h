#pragma once

#include "dsp/random_source.h"

namespace tvx {

// Noise source of a voice: "White", "Pink", "Stereo White", "Stereo Pink".
// Draws from the random source it is given (none attached: silence); the pink
// filter states are shared by the left and right draws.
struct Noise {
    enum Type { White = 0, Pink = 1, StereoWhite = 2, StereoPink = 3 };

    float b0 = 0.0f, b1 = 0.0f, b2 = 0.0f;
    RandomSource* random = nullptr;

    void clear();   // pink states to 0
    // typeParam is NoiseType; level/pan already include modulation (clamped inside)
    void render(float typeParam, float level, float pan, float& left, float& right);
    // count samples of render, added to left and right
    void renderAdding(float typeParam, float level, float pan, float* left, float* right, int count);

    float white();   // about -1..+1
    float pink(float white);
};

}  // namespace tvx
