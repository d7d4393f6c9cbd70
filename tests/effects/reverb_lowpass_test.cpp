#include "effects/reverb_lowpass.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tvx {

namespace {

double gainAt(double hertz, float sampleRate) {
    ReverbLowpass lowpass;
    lowpass.setCutoff(18500.0f, sampleRate);
    lowpass.clear();
    const int settle = static_cast<int>(sampleRate / 10), measure = static_cast<int>(sampleRate / 2);
    double in = 0.0, out = 0.0;
    for (int i = 0; i < settle + measure; ++i) {
        const float x = static_cast<float>(std::sin(2.0 * M_PI * static_cast<double>(hertz) * i / static_cast<double>(sampleRate)));
        const float y = lowpass.process(x);
        if (!std::isfinite(y)) return -1.0;
        if (i >= settle) {
            in += double(x) * double(x);
            out += double(y) * double(y);
        }
    }
    return std::sqrt(out / in);
}

}  // namespace

// The corner (half gain with damping 2) lies at 18.5 kHz at every rate, and
// nothing rises above unity: the tank loop cannot grow through it.
TEST(ReverbLowpass, CornerIsTheSameAtEveryRate) {
    for (float fs : {44100.0f, 48000.0f, 96000.0f, 192000.0f, 384000.0f}) {
        EXPECT_NEAR(gainAt(18500.0, fs), 0.5, 0.01) << fs;
        EXPECT_NEAR(gainAt(1000.0, fs), 1.0, 0.01) << fs;
        for (double hertz : {100.0, 5000.0, 12000.0, 20000.0}) EXPECT_LE(gainAt(hertz, fs), 1.0) << fs << " " << hertz;
    }
}

}  // namespace tvx
