#include "dsp/random_source.h"

#include <gtest/gtest.h>

#include <vector>

namespace tvx {

// Every distribution of the sound is defined over 0..32767: the generator must
// reach both ends, spread evenly, and repeat exactly for the same seed.
TEST(RandomSource, FifteenBitValuesEvenlySpreadAndRepeatableBySeed) {
    RandomSource random(12345);
    std::vector<int> buckets(16, 0);
    int lowest = RandomSource::kMax, highest = 0;
    for (int i = 0; i < 1 << 20; ++i) {
        const int v = random.next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, RandomSource::kMax);
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
        ++buckets[v >> 11];
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, RandomSource::kMax);
    for (int count : buckets) EXPECT_NEAR(count, (1 << 20) / 16, (1 << 20) / 160);

    RandomSource a(99), b(99), c(100);
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        const int fromA = a.next();
        ASSERT_EQ(fromA, b.next());
        differs = differs || fromA != c.next();
    }
    EXPECT_TRUE(differs);
}

}  // namespace tvx
