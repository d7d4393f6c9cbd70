#pragma once

#include <cstdint>

namespace tvx {

// Fixed places of the editor at 100 % and the colour arithmetic that the
// window tests on both systems check them with.
namespace editor_places {

constexpr uint32_t kBlack = 0x000000, kGreen = 0x00FF00;
constexpr int kSizeCommand = 1050;
constexpr int kVoiceLightX = 401, kVoiceLightY = 38;
constexpr int kCutKnobX = 408, kCutKnobY = 96;  // filter 1 cutoff, centre
constexpr int kOsc1TitleY = 56, kOsc2TitleY = 200;
// Oscillator 1's fine-tune knob (bipolar, a caption under it) and semitone
// field, envelope 1's attack knob and its caption, and the knobs' arc colour.
constexpr int kFineX = 40, kFineY = 96;
constexpr int kSemiX = 40, kSemiY = 167;
constexpr int kAttackX = 552, kAttackY = 96, kAttackCaptionY = 127;
constexpr uint32_t kArc = 0x05BEEE;

// Straight 0xRRGGBB of `top` (with its alpha) drawn over an opaque colour.
inline uint32_t blend(uint32_t top, int alpha, uint32_t below) {
    auto channel = [&](int shift) {
        const int t = (top >> shift) & 0xFF, b = (below >> shift) & 0xFF;
        return static_cast<uint32_t>((t * alpha + b * (255 - alpha) + 127) / 255) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

inline bool closeTo(uint32_t a, uint32_t b, int tolerance = 3) {
    for (int shift : {0, 8, 16}) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > tolerance || d < -tolerance) return false;
    }
    return true;
}

}  // namespace editor_places

}  // namespace tvx
