#include "engine/fast_trig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tvx {

TEST(FastTrig, TangentHoldsItsPrecisionUpToJustBelowNyquist) {
    double worst = 0.0;
    for (int i = 0; i <= 499900; ++i) {
        const float x = static_cast<float>(i) * 1e-6f;
        const double exact = std::tan(M_PI * static_cast<double>(x));
        const double error = std::fabs(static_cast<double>(tanPi(x)) - exact) / (exact > 0.0 ? exact : 1.0);
        worst = std::max(worst, error);
    }
    EXPECT_LT(worst, 3e-7);
    EXPECT_EQ(tanPi(0.0f), 0.0f);
    EXPECT_NEAR(tanPi(0.25f), 1.0f, 1e-6f);
    EXPECT_NEAR(tanPi(0.4999f), std::tan(M_PI * static_cast<double>(0.4999f)), 3183.0 * 3e-7);
}

TEST(FastTrig, SineOfCyclesOverSeveralTurnsBothWays) {
    double worst = 0.0;
    for (int i = -300000; i <= 300000; ++i) {
        const float x = static_cast<float>(i) * 1e-5f;
        worst = std::max(worst, std::fabs(static_cast<double>(sinCycles(x)) - std::sin(2.0 * M_PI * static_cast<double>(x))));
    }
    EXPECT_LT(worst, 2e-7);
    EXPECT_EQ(sinCycles(0.0f), 0.0f);
    EXPECT_NEAR(sinCycles(0.25f), 1.0f, 2e-7f);
    EXPECT_NEAR(sinCycles(-0.25f), -1.0f, 2e-7f);
}

}  // namespace tvx
