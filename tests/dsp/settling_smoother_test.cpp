#include "dsp/settling_smoother.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace tvx {

namespace {

// Smoothers in every state a lane can be in: fresh (jumping), settled on the
// target they are given next or on another one, and moving.
void prepareAll(SettlingSmoother* s, const float* targets, int n) {
    float ignored[400];
    for (int k = 0; k < n; ++k) {
        s[k].smoother.prepare(44100.0f, 5.0f + 10.0f * static_cast<float>(k));
        if (k % 3 == 1) {
            const float goal = k % 2 ? targets[k] : 0.4f;
            for (int i = 0; i < 100; ++i) s[k].fill(goal, ignored, 400);
        }
        if (k % 3 == 2) s[k].fill(0.1f * static_cast<float>(k), ignored, 3);
    }
}

}  // namespace

TEST(SettlingSmoother, SideBySideFillsAsEachAlone) {
    constexpr int kCount = 13;
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float mixed[kCount] = {0.7f, 0.25f, -0.3f, 1e-21f, nan, 0.5f, inf, 0.0f, 1.0f, 0.75f, 2e-20f, 0.5f, -inf};
    // Finite throughout: from the second pass on no lane jumps, the steady case.
    const float finite[kCount] = {0.7f, 0.25f, -0.3f, 1e-21f, 3e29f, 0.5f, -2e29f, 0.0f, 1.0f, 0.75f, 2e-20f, 0.5f, 9.0f};
    for (const float* targets : {mixed, finite})
    for (int length : {1, 3, 4, 7, 65}) {
        SettlingSmoother together[kCount], alone[kCount];
        prepareAll(together, targets, kCount);
        prepareAll(alone, targets, kCount);
        // Two passes: the second starts from whatever the first left, jumps included.
        for (int pass = 0; pass < 2; ++pass) {
            float outTogether[kCount][65], outAlone[kCount][65];
            SettlingSmoother* pointers[kCount];
            float* outputs[kCount];
            for (int k = 0; k < kCount; ++k) {
                pointers[k] = &together[k];
                outputs[k] = outTogether[k];
                alone[k].fill(targets[k], outAlone[k], length);
            }
            SettlingSmoother::fillSideBySide(pointers, targets, outputs, kCount, length);
            for (int k = 0; k < kCount; ++k) {
                SCOPED_TRACE(testing::Message() << "length " << length << " pass " << pass << " smoother " << k);
                EXPECT_EQ(0, std::memcmp(outTogether[k], outAlone[k], sizeof(float) * length));
                EXPECT_EQ(together[k].value(), alone[k].value());
                EXPECT_EQ(together[k].smoother.jump, alone[k].smoother.jump);
                EXPECT_EQ(together[k].settled, alone[k].settled);
                EXPECT_EQ(together[k].settledAt(targets[k]), alone[k].settledAt(targets[k]));
            }
        }
    }
}

}  // namespace tvx
