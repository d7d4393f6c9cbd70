#include "engine/noise.h"

#include "params/value_mappings.h"


namespace tvx {

namespace {

inline float clamp01(float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

}  // namespace

void Noise::clear() {
    b0 = 0.0f;
    b1 = 0.0f;
    b2 = 0.0f;
}

float Noise::white() {
    if (!random) return 0.0f;
    const int r = random->next();
    return (static_cast<float>(r) / 32768.0f * 65538.0f - 32766.0f) / 32767.0f;
}

float Noise::pink(float w) {
    b0 = 0.99765f * b0 + 0.099046f * w;
    b1 = 0.963f * b1 + 0.296516f * w;
    b2 = 0.57f * b2 + 1.05269f * w;
    return (b0 + b1 + b2 + 0.1848f * w) * 0.16f;
}

void Noise::render(float typeParam, float level, float pan, float& left, float& right) {
    left = right = 0.0f;
    renderAdding(typeParam, level, pan, &left, &right, 1);
}

void Noise::renderAdding(float typeParam, float level, float pan, float* left, float* right, int count) {
    int type = choiceValue(typeParam);
    if (type < White || type > StereoPink) type = White;
    const float v = clamp01(level);
    // Noise nobody hears is not drawn.
    if (v == 0.0f) return;
    const bool filtered = type == Pink || type == StereoPink;
    const bool stereo = type == StereoWhite || type == StereoPink;
    const float e = clamp01(pan);
    for (int i = 0; i < count; ++i) {
        float l = white();
        if (filtered) l = pink(l);
        float r = l;
        if (stereo) {
            r = white();
            if (filtered) r = pink(r);
        }
        left[i] += l * v * (1.0f - e);
        right[i] += r * v * e;
    }
}

}  // namespace tvx
