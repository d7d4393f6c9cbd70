#include "tables/wt_collection.h"

#include "tables/fft.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace tvx {

namespace {

// Every cycle is followed by a copy of its first sample (see WtLevel).
float silentSample[2] = {0.0f, 0.0f};
const WtLevel kSilent = {1e30f, 1, silentSample};

int nextPowerOfTwo(int n) {
    unsigned v = static_cast<unsigned>(n - 1);
    v |= v >> 1;
    v |= v >> 2;
    v |= v >> 4;
    v |= v >> 8;
    v |= v >> 16;
    return static_cast<int>(v + 1);
}

int significantBits(int n) {
    int bits = 0;
    while (n > 0) {
        ++bits;
        n >>= 1;
    }
    return bits;
}

int harmonicCount(float sampleRate) {
    if (!(sampleRate >= 30.0f)) return 0;  // also NaN
    const double h = std::floor(static_cast<double>(sampleRate) / 60.0 + 0.5);
    return h > WtCollection::kMaxHarmonics ? WtCollection::kMaxHarmonics : static_cast<int>(h);
}

// Antisymmetric real spectrum of a shape, so that the transform's imaginary
// part is the sine series of the cycle.
void writeSpectrum(float* re, int length, int shapeCode, int harmonics) {
    if (shapeCode == 3) {
        re[1] = -1.0f;
        re[length - 1] = 1.0f;
        return;
    }
    float sign = 1.0f;
    for (int k = 1; k <= harmonics; ++k) {
        const bool odd = (k & 1) != 0;
        float amplitude = 0.0f;
        if (shapeCode == 0) {
            amplitude = 1.0f / static_cast<float>(k);
        } else if (shapeCode == 1) {
            amplitude = odd ? 1.0f / static_cast<float>(k) : 0.0f;
        } else if (shapeCode == 2) {
            if (odd) {
                amplitude = -sign / (static_cast<float>(k) * static_cast<float>(k));
                sign = -sign;
            }
        }
        re[k] = amplitude;
        re[length - k] = -amplitude;
    }
}

void normalisePeak(float* data, int length) {
    float peak = 0.0f;
    for (int i = 0; i < length; ++i) peak = std::fmax(peak, std::fabs(data[i]));
    if (!(peak > 0.0f)) return;
    const float scale = 1.0f / (0.999f * peak);
    for (int i = 0; i < length; ++i) data[i] *= scale;
}

}  // namespace

WtCollection::WtCollection(int rowCount)
    : rowCount_(rowCount > 0 ? rowCount : 0),
      levelCounts_(new int[rowCount_ > 0 ? rowCount_ : 1]()),
      levels_(new WtLevel*[rowCount_ > 0 ? rowCount_ : 1]()) {}

WtCollection::~WtCollection() {
    while (pairCount_ > 0) freeRowPair(pairCount_ - 1);
    for (int row = 0; row < rowCount_; ++row) freeRow(row);
    delete[] levels_;
    delete[] levelCounts_;
}

void WtCollection::freeRow(int row) {
    // Pairs hold copies of the row's levels: they would go stale.
    for (int p = pairCount_ - 1; p >= 0; --p)
        if (pairs_[p].rowA == row || pairs_[p].rowB == row) freeRowPair(p);
    WtLevel* levels = levels_[row];
    if (levels != nullptr) {
        for (int i = 0; i < levelCounts_[row]; ++i) delete[] levels[i].samples;
        delete[] levels;
    }
    levels_[row] = nullptr;
    levelCounts_[row] = 0;
}

void WtCollection::buildRow(int row, int shapeCode, float sampleRate) {
    if (row < 0 || row >= rowCount_) return;
    shared_ = false;  // until build() has compared the rows
    freeRow(row);
    const int h0 = harmonicCount(sampleRate);
    if (h0 <= 0) return;

    const int length = 4 * nextPowerOfTwo(h0);
    const int levelSlots = significantBits(h0);
    levels_[row] = new WtLevel[levelSlots];

    std::vector<float> re(static_cast<size_t>(length));
    std::vector<float> im(static_cast<size_t>(length));
    float threshold = 40.0f / sampleRate;
    for (int harmonics = h0; harmonics > 0 && levelCounts_[row] < levelSlots; harmonics >>= 1) {
        std::fill(re.begin(), re.end(), 0.0f);
        std::fill(im.begin(), im.end(), 0.0f);
        writeSpectrum(re.data(), length, shapeCode, harmonics);
        fftForward(re.data(), im.data(), length);
        normalisePeak(im.data(), length);

        float* samples = new float[static_cast<size_t>(length) + 1];
        std::copy(im.begin(), im.end(), samples);
        samples[length] = samples[0];
        levels_[row][levelCounts_[row]] = WtLevel{threshold, length, samples};
        ++levelCounts_[row];
        threshold *= 2.0f;
    }
}

void WtCollection::build(float sampleRate) {
    for (int row = 0; row < 4 && row < rowCount_; ++row) buildRow(row, row, sampleRate);
    shared_ = rowsShareLevels();
}

void WtCollection::freeRowPair(int pair) {
    RowPair& p = pairs_[pair];
    for (int i = 0; i < p.levelCount; ++i) delete[] p.samples[i];
    delete[] p.samples;
    for (int q = pair; q + 1 < pairCount_; ++q) pairs_[q] = pairs_[q + 1];
    --pairCount_;
    pairs_[pairCount_] = RowPair{};
}

bool WtCollection::buildRowPair(int rowA, int rowB) {
    if (rowPairSamples(rowA, rowB, 0) != nullptr) return true;
    const int levels = levelCount(rowA);
    if (pairCount_ >= kMaxRowPairs || levels <= 0 || levelCount(rowB) != levels) return false;
    for (int i = 0; i < levels; ++i)
        if (levels_[rowA][i].length != levels_[rowB][i].length) return false;
    RowPair& p = pairs_[pairCount_++];
    p.rowA = rowA;
    p.rowB = rowB;
    p.samples = new float*[levels];
    for (int i = 0; i < levels; ++i) {
        const WtLevel& a = levels_[rowA][i];
        const WtLevel& b = levels_[rowB][i];
        float* pair = new float[2 * (static_cast<size_t>(a.length) + 1)];
        for (int j = 0; j <= a.length; ++j) {
            pair[2 * j] = a.samples[j];
            pair[2 * j + 1] = b.samples[j];
        }
        p.samples[i] = pair;
        ++p.levelCount;
    }
    return true;
}

const float* WtCollection::rowPairSamples(int rowA, int rowB, int index) const {
    for (int p = 0; p < pairCount_; ++p)
        if (pairs_[p].rowA == rowA && pairs_[p].rowB == rowB)
            return (index >= 0 && index < pairs_[p].levelCount) ? pairs_[p].samples[index] : nullptr;
    return nullptr;
}

int WtCollection::findLevelIndex(int row, float increment) const {
    if (row < 0 || row >= rowCount_ || levelCounts_[row] <= 0) return -1;
    const WtLevel* levels = levels_[row];
    const int last = levelCounts_[row] - 1;
    int i = 0;
    // Unrolled by four: the scan runs for every oscillator copy.
    while (i + 4 <= last) {
        if (levels[i].threshold > increment) return i;
        if (levels[i + 1].threshold > increment) return i + 1;
        if (levels[i + 2].threshold > increment) return i + 2;
        if (levels[i + 3].threshold > increment) return i + 3;
        i += 4;
    }
    while (i < last && !(levels[i].threshold > increment)) ++i;
    return i;
}

void WtCollection::findLevelIndicesNear(int row, const float* increments, int count, int near, int* out) const {
    if (row < 0 || row >= rowCount_ || near < 0 || near >= levelCounts_[row]) {
        for (int k = 0; k < count; ++k) out[k] = findLevelIndex(row, increments[k]);
        return;
    }
    // Open bounds at the ends: an increment past them (or NaN) is left to
    // the scan, which gives the end level for it as well.
    const WtLevel* levels = levels_[row];
    const float infinity = std::numeric_limits<float>::infinity();
    const float above = near == levelCounts_[row] - 1 ? infinity : levels[near].threshold;
    const float below = near == 0 ? -infinity : levels[near - 1].threshold;
    for (int k = 0; k < count; ++k) {
        const float increment = increments[k];
        out[k] = above > increment && !(below > increment) ? near : findLevelIndex(row, increment);
    }
}

int WtCollection::findLevelIndexNear(int row, float increment, int near) const {
    int index;
    findLevelIndicesNear(row, &increment, 1, near, &index);
    return index;
}

const WtLevel& WtCollection::findLevel(int row, float increment) const {
    return level(row, findLevelIndex(row, increment));
}

bool WtCollection::rowsShareLevels() const {
    for (int row = 1; row < rowCount_; ++row) {
        if (levelCounts_[row] != levelCounts_[0]) return false;
        for (int i = 0; i < levelCounts_[row]; ++i)
            if (!(levels_[row][i].threshold == levels_[0][i].threshold)) return false;
    }
    return true;
}

int WtCollection::rowCount() const { return rowCount_; }

int WtCollection::levelCount(int row) const {
    return (row >= 0 && row < rowCount_) ? levelCounts_[row] : 0;
}

const WtLevel& WtCollection::level(int row, int index) const {
    if (index < 0 || index >= levelCount(row)) return kSilent;
    return levels_[row][index];
}

const WtLevel& WtCollection::silentLevel() { return kSilent; }

}  // namespace tvx
