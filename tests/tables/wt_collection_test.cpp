#include "tables/wt_collection.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tvx {

namespace {

float peakOf(const WtLevel& level) {
    float peak = 0;
    for (int i = 0; i < level.length; ++i) peak = std::fmax(peak, std::fabs(level.samples[i]));
    return peak;
}

}  // namespace

TEST(WtCollection, LevelsLengthsAndThresholdsFollowTheRate) {
    WtCollection tables;
    tables.build(44100.0f);
    for (int row = 0; row < 4; ++row) {
        ASSERT_EQ(tables.levelCount(row), 10);
        for (int i = 0; i < 10; ++i) EXPECT_EQ(tables.level(row, i).length, 4096);
        EXPECT_FLOAT_EQ(tables.level(row, 0).threshold, 40.0f / 44100.0f);
        EXPECT_FLOAT_EQ(tables.level(row, 9).threshold, 20480.0f / 44100.0f);
    }
    // A rebuild at another rate replaces every level.
    tables.build(96000.0f);
    for (int row = 0; row < 4; ++row) {
        ASSERT_EQ(tables.levelCount(row), 11);
        EXPECT_EQ(tables.level(row, 10).length, 8192);
        EXPECT_FLOAT_EQ(tables.level(row, 0).threshold, 40.0f / 96000.0f);
    }
    tables.build(48000.0f);
    EXPECT_EQ(tables.levelCount(2), 10);
    EXPECT_EQ(tables.level(2, 0).length, 4096);
}

TEST(WtCollection, RowsBuiltTogetherShareTheirLevelIndices) {
    WtCollection tables;
    tables.build(44100.0f);
    ASSERT_TRUE(tables.levelsShared());
    for (float increment : {0.0f, 0.0005f, 0.003f, 0.2f, 0.9f, 1.0f})
        for (int row = 0; row < 4; ++row) {
            const int index = tables.findLevelIndex(0, increment);
            EXPECT_EQ(&tables.level(row, index), &tables.findLevel(row, increment)) << increment;
        }
    // One row of another rate has other thresholds.
    tables.buildRow(2, 2, 96000.0f);
    EXPECT_FALSE(tables.levelsShared());
    tables.build(48000.0f);
    EXPECT_TRUE(tables.levelsShared());
    EXPECT_EQ(tables.findLevelIndex(5, 0.01f), -1);
}

TEST(WtCollection, EveryCycleIsFollowedByItsFirstSample) {
    // Pair reads of samples i and i + 1 rely on it up to i = length - 1.
    WtCollection tables;
    for (float rate : {44100.0f, 96000.0f}) {
        tables.build(rate);
        for (int row = 0; row < 4; ++row)
            for (int i = 0; i < tables.levelCount(row); ++i) {
                const WtLevel& level = tables.level(row, i);
                EXPECT_EQ(level.samples[level.length], level.samples[0]) << row << " " << i;
            }
    }
    const WtLevel& silent = WtCollection::silentLevel();
    EXPECT_EQ(silent.samples[silent.length], 0.0f);
}

TEST(WtCollection, RowPairsInterleaveTwoRowsAndGoWithThem) {
    WtCollection tables;
    tables.build(44100.0f);
    ASSERT_TRUE(tables.buildRowPair(1, 2));
    EXPECT_EQ(tables.rowPairSamples(2, 1, 0), nullptr);  // only the pair asked for
    for (int i = 0; i < tables.levelCount(1); ++i) {
        const float* pair = tables.rowPairSamples(1, 2, i);
        ASSERT_NE(pair, nullptr);
        const WtLevel& a = tables.level(1, i);
        const WtLevel& b = tables.level(2, i);
        bool same = true;
        for (int j = 0; j <= a.length; ++j)
            same = same && pair[2 * j] == a.samples[j] && pair[2 * j + 1] == b.samples[j];
        EXPECT_TRUE(same) << "level " << i;
    }
    EXPECT_EQ(tables.rowPairSamples(1, 2, tables.levelCount(1)), nullptr);
    // A row rebuilt (here at another rate, so of other lengths) takes its
    // pairs with it, and rows that no longer match make none.
    tables.buildRow(2, 2, 96000.0f);
    EXPECT_EQ(tables.rowPairSamples(1, 2, 0), nullptr);
    EXPECT_FALSE(tables.buildRowPair(1, 2));
    tables.build(20.0f);
    EXPECT_FALSE(tables.buildRowPair(0, 3));
}

TEST(WtCollection, RatesBelowThirtyHertzGiveNoLevelsAndStaySafe) {
    WtCollection tables;
    EXPECT_EQ(tables.rowCount(), 4);
    EXPECT_EQ(tables.levelCount(0), 0);  // nothing before the first build
    EXPECT_EQ(WtCollection::read(tables.findLevel(0, 0.01f), 0.3f), 0.0f);
    tables.build(44100.0f);
    for (float rate : {20.0f, 0.0f, -44100.0f, NAN}) {
        tables.build(rate);
        for (int row = 0; row < 4; ++row) EXPECT_EQ(tables.levelCount(row), 0);
        const WtLevel& level = tables.findLevel(1, 0.001f);
        EXPECT_EQ(WtCollection::read(level, 0.7f), 0.0f);
    }
    EXPECT_EQ(tables.findLevel(-1, 0.0f).length, 1);
    EXPECT_EQ(tables.findLevel(4, 0.0f).length, 1);
    EXPECT_EQ(tables.level(0, 3).length, 1);
    tables.buildRow(7, 0, 44100.0f);  // ignored
}

TEST(WtCollection, FindLevelNeverPassesTheLast) {
    WtCollection tables;
    tables.build(44100.0f);
    const int last = tables.levelCount(0) - 1;
    EXPECT_EQ(&tables.findLevel(0, 0.0f), &tables.level(0, 0));
    EXPECT_EQ(&tables.findLevel(0, 39.0f / 44100.0f), &tables.level(0, 0));
    EXPECT_EQ(&tables.findLevel(0, 40.0f / 44100.0f), &tables.level(0, 1));
    EXPECT_EQ(&tables.findLevel(0, 1000.0f / 44100.0f), &tables.level(0, 5));
    EXPECT_EQ(&tables.findLevel(0, tables.level(0, last - 1).threshold), &tables.level(0, last));
    EXPECT_EQ(&tables.findLevel(0, 1.0f), &tables.level(0, last));
    EXPECT_EQ(&tables.findLevel(0, INFINITY), &tables.level(0, last));
    EXPECT_EQ(&tables.findLevel(0, NAN), &tables.level(0, last));
    // Starting next to any level, the answer is the scan's, one at a time or all together.
    const float increments[] = {0.0f, 39.0f / 44100.0f, 40.0f / 44100.0f, 80.0f / 44100.0f,
                                tables.level(0, last - 1).threshold, 1.0f, INFINITY, NAN};
    constexpr int kCount = sizeof(increments) / sizeof(increments[0]);
    for (int near = -1; near <= last + 1; ++near) {
        int together[kCount];
        tables.findLevelIndicesNear(0, increments, kCount, near, together);
        for (int k = 0; k < kCount; ++k) {
            const int scanned = tables.findLevelIndex(0, increments[k]);
            EXPECT_EQ(tables.findLevelIndexNear(0, increments[k], near), scanned) << "near " << near << ", " << k;
            EXPECT_EQ(together[k], scanned) << "near " << near << ", " << k;
        }
    }
}

TEST(WtCollection, EveryLevelPeaksAtOneOverPointNineNineNine) {
    WtCollection tables;
    tables.build(44100.0f);
    for (int row = 0; row < 4; ++row)
        for (int i = 0; i < tables.levelCount(row); ++i)
            EXPECT_NEAR(peakOf(tables.level(row, i)), 1.0f / 0.999f, 1e-5f) << row << " " << i;
}

TEST(WtCollection, SineRowIsTheSamePureSineAtEveryLevel) {
    WtCollection tables;
    tables.build(44100.0f);
    for (int i = 0; i < tables.levelCount(3); ++i) {
        const WtLevel& level = tables.level(3, i);
        for (int n = 0; n < level.length; n += 7)
            ASSERT_NEAR(level.samples[n], std::sin(2.0 * M_PI * n / level.length) / 0.999, 2e-5) << i << " " << n;
    }
}

TEST(WtCollection, ShapesHaveTheirOrientation) {
    WtCollection tables;
    tables.build(44100.0f);
    const WtLevel& ramp = tables.level(0, 0);
    const int n = ramp.length;
    // Sample 0 and N/2 are the zero crossings of the sine series; the ramp
    // starts at its low end and rises through the cycle.
    EXPECT_NEAR(ramp.samples[0], 0.0f, 1e-5f);
    EXPECT_NEAR(ramp.samples[n / 2], 0.0f, 1e-5f);
    float lowest = 0;
    int lowestAt = 0;
    for (int i = 0; i < n; ++i)
        if (ramp.samples[i] < lowest) lowest = ramp.samples[i], lowestAt = i;
    EXPECT_LT(lowestAt, 8);
    EXPECT_LT(ramp.samples[n / 4], ramp.samples[3 * n / 4]);
    EXPECT_LT(ramp.samples[3], -0.99f);
    EXPECT_GT(ramp.samples[n - 3], 0.99f);

    for (int level = 0; level < tables.levelCount(1); ++level) {
        const WtLevel& square = tables.level(1, level);
        for (int i = 1; i < n / 2; ++i) ASSERT_LT(square.samples[i], 0.0f) << level << " " << i;
        for (int i = n / 2 + 1; i < n; ++i) ASSERT_GT(square.samples[i], 0.0f) << level << " " << i;
    }

    const WtLevel& triangle = tables.level(2, 0);
    EXPECT_NEAR(triangle.samples[0], 0.0f, 1e-5f);
    EXPECT_NEAR(triangle.samples[n / 4], 1.0f / 0.999f, 1e-4f);
    EXPECT_NEAR(triangle.samples[n / 2], 0.0f, 1e-5f);
    EXPECT_NEAR(triangle.samples[3 * n / 4], -1.0f / 0.999f, 1e-4f);
}

TEST(WtCollection, LastLevelHoldsOnlyTheFundamental) {
    WtCollection tables;
    tables.build(44100.0f);
    for (int row = 0; row < 3; ++row) {
        const WtLevel& level = tables.level(row, tables.levelCount(row) - 1);
        const double sign = row == 2 ? 1.0 : -1.0;
        for (int n = 0; n < level.length; n += 13)
            ASSERT_NEAR(level.samples[n], sign * std::sin(2.0 * M_PI * n / level.length) / 0.999, 2e-5);
    }
}

TEST(WtCollection, ReadInterpolatesAndWraps) {
    float samples[4] = {0.0f, 1.0f, 2.0f, 3.0f};
    const WtLevel level{1.0f, 4, samples};
    EXPECT_FLOAT_EQ(WtCollection::read(level, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(WtCollection::read(level, 0.375f), 1.5f);
    EXPECT_FLOAT_EQ(WtCollection::read(level, 0.875f), 1.5f);  // between the last sample and the first
    EXPECT_FLOAT_EQ(WtCollection::read(level, 1.0f), 0.0f);    // a shifted pulse read may land on 1
}

}  // namespace tvx
