#pragma once

#include <cstdint>

namespace tvx {

// The toolkit's ground floor: enums and limits that the frame, the image
// decoders and the controls share, so that none of them includes another
// for a constant.

enum CKnobMode {
    kCircularMode = 0,
    kRelativCircularMode,
    kLinearMode,
};

// Larger images are refused rather than allocated: a PNG header may claim
// any size up to 2^31 per side.
constexpr int32_t kMaxImageSide = 32768;
constexpr int64_t kMaxImagePixels = int64_t(1) << 26;

}  // namespace tvx
