#include "tables/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tvx {

TEST(Fft, MatchesDirectTransform) {
    const int n = 64;
    std::vector<float> re(n), im(n);
    for (int i = 0; i < n; ++i) {
        re[i] = std::sin(0.37f * i * i) + 0.25f;
        im[i] = std::cos(1.3f * i);
    }
    const std::vector<float> inRe = re, inIm = im;
    fftForward(re.data(), im.data(), n);
    for (int k = 0; k < n; ++k) {
        double sumRe = 0, sumIm = 0;
        for (int j = 0; j < n; ++j) {
            const double angle = -2.0 * M_PI * j * k / n;
            sumRe += double(inRe[j]) * std::cos(angle) - double(inIm[j]) * std::sin(angle);
            sumIm += double(inRe[j]) * std::sin(angle) + double(inIm[j]) * std::cos(angle);
        }
        EXPECT_NEAR(re[k], sumRe, 1e-4) << k;
        EXPECT_NEAR(im[k], sumIm, 1e-4) << k;
    }
}

}  // namespace tvx
