#pragma once

namespace tvx {

// One band-limited copy of a single cycle, valid for phase increments below
// `threshold` (cycles per sample). `length` is a power of two. The levels of
// a WtCollection hold one sample more than the cycle, a copy of sample 0, so
// that the pair (i, i + 1) can be read in one load for every i of the cycle.
struct WtLevel {
    float threshold;
    int length;
    float* samples;
};

// Rows of band-limited single-cycle tables (shape 0 ramp, 1 square,
// 2 triangle, 3 sine), each a set of mip levels with fewer and fewer
// harmonics. Built at sample-rate changes, only read while rendering.
class WtCollection {
public:
    explicit WtCollection(int rowCount = 4);
    virtual ~WtCollection();
    WtCollection(const WtCollection&) = delete;
    WtCollection& operator=(const WtCollection&) = delete;

    // (Re)builds one row; the previous levels of the row are freed first.
    // Rates below 30 Hz leave the row without levels.
    void buildRow(int row, int shapeCode, float sampleRate);
    void build(float sampleRate);  // rows 0..3 with shapes 0..3

    // The level to read for a phase increment: the first whose threshold is
    // above the increment, else the last. A missing row or an empty row gives
    // silentLevel().
    const WtLevel& findLevel(int row, float increment) const;
    int findLevelIndex(int row, float increment) const;  // -1 where findLevel gives silentLevel()
    // The same answer, found at once when it is `near` (a copy's level is
    // nearly always its main copy's, and the main copy's its last one).
    int findLevelIndexNear(int row, float increment, int near) const;
    // findLevelIndexNear for count increments around one level.
    void findLevelIndicesNear(int row, const float* increments, int count, int near, int* out) const;
    // True when build() made rows with the same thresholds, so that the
    // index found in one row is that of every row.
    bool levelsShared() const { return shared_; }

    int rowCount() const;
    int levelCount(int row) const;
    const WtLevel& level(int row, int index) const;  // silentLevel() outside

    // Linear interpolation with wrap at the end of the cycle; phase in [0, 1].
    static float read(const WtLevel& level, float phase) {
        const float x = phase * static_cast<float>(level.length);
        const int i = static_cast<int>(x);
        const float frac = x - static_cast<float>(i);
        // Lengths are powers of two: the mask wraps i + 1 == N to 0 and keeps
        // a phase of exactly 1 (a pulse's second read) inside the cycle.
        const int mask = level.length - 1;
        const float a = level.samples[i & mask];
        const float b = level.samples[(i + 1) & mask];
        return a + (b - a) * frac;
    }

    // Two rows whose levels match in number and length, interleaved sample
    // by sample (a0 b0 a1 b1 ... aN bN, the last pair again the first):
    // one 16-byte load then holds both rows' samples i and i + 1, all that a
    // blend of the two rows reads. Built at sample-rate changes for the
    // pairs a reader blends; rebuilding a row drops the pairs it is in.
    // Returns false, building nothing, when the rows do not match or
    // kMaxRowPairs pairs exist already.
    bool buildRowPair(int rowA, int rowB);
    // Level `index` of the pair (rowA, rowB), or nullptr when not built.
    const float* rowPairSamples(int rowA, int rowB, int index) const;
    static constexpr int kMaxRowPairs = 8;

    // A one-sample cycle of silence, read safely like any other level.
    static const WtLevel& silentLevel();

    static constexpr int kMaxHarmonics = 16384;  // caps the table size at absurd rates

private:
    void freeRow(int row);
    void freeRowPair(int pair);
    bool rowsShareLevels() const;

    struct RowPair {
        int rowA = -1, rowB = -1;
        int levelCount = 0;
        float** samples = nullptr;   // per level: 2 * (length + 1) floats
    };
    RowPair pairs_[kMaxRowPairs];
    int pairCount_ = 0;

    int rowCount_;
    int* levelCounts_;
    WtLevel** levels_;
    bool shared_ = false;
};

}  // namespace tvx
