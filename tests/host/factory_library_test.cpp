// Every factory preset under presets/, loaded as a host loads a sound: its
// file text handed over as the chunk. Each must play a short phrase at a
// sensible level, fall silent after its tail, and come back from the
// plug-in's own save exactly as it is stored.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/midi_block.h"
#include "host/signal_analysis.h"
#include "vsthost/plugin_host.h"

namespace tvx {

namespace fs = std::filesystem;

namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 512;
constexpr int kChordAt = kRate / 4;           // the chord follows the bass note by a quarter second
constexpr int kReleaseAt = kRate * 3 / 2;     // every key goes up at 1.5 s
constexpr int kLongestTail = 8 * kRate;       // after the release
constexpr int kSilentRun = kRate / 4;         // this long below the floor counts as silence
constexpr float kSilenceFloor = 1e-4f;        // -80 dBFS
constexpr float kLoudest = 0.891251f;         // -1 dBFS
constexpr float kQuietest = 0.0316228f;       // -30 dBFS
constexpr double kDcBound = 0.01;             // -40 dBFS

std::vector<fs::path> factoryPresets() {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::recursive_directory_iterator it(TVX_PRESETS_DIR, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file() && it->path().extension() == ".prs") found.push_back(it->path());
    std::sort(found.begin(), found.end());
    return found;
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a preset file holds for a text: CR LF line ends.
std::string withCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string withoutCr(const std::string& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) out += bytes[i];
    return out;
}

// The factory texts are ASCII, so each character is one UTF-16LE code unit.
std::vector<unsigned char> asUtf16Le(const std::string& text) {
    std::vector<unsigned char> out;
    for (char c : text) {
        out.push_back(static_cast<unsigned char>(c));
        out.push_back(0);
    }
    return out;
}

std::string fromUtf16Le(const unsigned char* data, size_t bytes) {
    std::string out;
    for (size_t i = 0; i + 1 < bytes; i += 2)
        out += data[i + 1] == 0 && data[i] < 0x80 ? static_cast<char>(data[i]) : '?';
    return out;
}

// The first line where two texts part, for a readable failure.
std::string firstDifference(const std::string& expected, const std::string& actual) {
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
    size_t lineStart = expected.rfind('\n', at == 0 ? 0 : at - 1);
    lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
    auto lineOf = [&](const std::string& s) { return s.substr(lineStart, s.find('\r', lineStart) - lineStart); };
    return "stored \"" + lineOf(expected) + "\", saved \"" + lineOf(actual) + "\"";
}

std::string testName(const ::testing::TestParamInfo<fs::path>& info) {
    std::string name = info.param.parent_path().filename().string() + "_" + info.param.stem().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

struct Rendered {
    std::vector<float> left, right;
    int silentFrom = -1;  // first sample of the run of silence that ended the render
};

class FactoryPreset : public ::testing::TestWithParam<fs::path> {
protected:
    vsthost::PluginHost host;

    void SetUp() override {
        std::string error;
        ASSERT_TRUE(host.load(TVX_PLUGIN_PATH, error)) << error;
        host.start(kRate, kBlock);
        host.state().tempo = 120.0;  // the sequencer presets step in sixteenths of this
    }

    void loadAsChunk(const std::string& text) {
        std::vector<unsigned char> chunk = asUtf16Le(text);
        host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()), chunk.data());
    }

    std::string savedText() {
        void* data = nullptr;
        VstIntPtr size = host.dispatch(effGetChunk, 0, 0, &data);
        if (size <= 0 || !data) return {};
        return fromUtf16Le(static_cast<const unsigned char*>(data), static_cast<size_t>(size));
    }

    // C3 alone, then the C major chord above it, velocity 100, all released
    // at 1.5 s; then blocks until a quarter second of silence or the longest
    // tail. One block runs first: a sequencer starts at a block start.
    Rendered playPhrase() {
        Rendered out;
        std::vector<float> l(kBlock), r(kBlock);
        float* outputs[2] = {l.data(), r.data()};
        AEffect* effect = host.effect();
        effect->processReplacing(effect, nullptr, outputs, kBlock);
        int quiet = 0;
        for (int start = 0; start < kReleaseAt + kLongestTail; start += kBlock) {
            MidiBlock midi;
            addPhraseEvents(midi, start);
            midi.sendTo(host);
            effect->processReplacing(effect, nullptr, outputs, kBlock);
            for (int i = 0; i < kBlock; ++i) {
                out.left.push_back(l[i]);
                out.right.push_back(r[i]);
                bool silent = std::fabs(l[i]) < kSilenceFloor && std::fabs(r[i]) < kSilenceFloor;
                quiet = silent ? quiet + 1 : 0;
            }
            if (start > kReleaseAt && quiet >= kSilentRun) {
                out.silentFrom = static_cast<int>(out.left.size()) - quiet;
                break;
            }
        }
        return out;
    }

    static void addPhraseEvents(MidiBlock& midi, int blockStart) {
        auto inBlock = [&](int at) { return at >= blockStart && at < blockStart + kBlock; };
        if (inBlock(0)) midi.add(0, 0x90, 48, 100);
        if (inBlock(kChordAt))
            for (int note : {60, 64, 67}) midi.add(kChordAt - blockStart, 0x90, note, 100);
        if (inBlock(kReleaseAt))
            for (int note : {48, 60, 64, 67}) midi.add(kReleaseAt - blockStart, 0x80, note, 64);
    }
};

double mean(const std::vector<float>& x, size_t end) {
    double sum = 0.0;
    for (size_t i = 0; i < end && i < x.size(); ++i) sum += double(x[i]);
    return end ? sum / static_cast<double>(std::min(end, x.size())) : 0.0;
}

double toDb(float x) { return 20.0 * std::log10(double(std::max(x, 1e-12f))); }

}  // namespace

TEST(FactoryLibrary, HoldsEightBanksOfAtLeastSixtyFourPresets) {
    std::vector<fs::path> presets = factoryPresets();
    EXPECT_GE(presets.size(), 64u);
    std::vector<fs::path> banks;
    for (const fs::path& p : presets)
        if (std::find(banks.begin(), banks.end(), p.parent_path()) == banks.end()) banks.push_back(p.parent_path());
    EXPECT_GE(banks.size(), 8u);
}

TEST_P(FactoryPreset, ComesBackFromSaveUnchanged) {
    const std::string stored = readBytes(GetParam());
    ASSERT_FALSE(stored.empty());
    loadAsChunk(withoutCr(stored));
    // A preset file takes its name from the file name when it is loaded and
    // saved; the stored name must be that name, or the two would disagree.
    std::string text = savedText();
    const std::string nameKey = "\nPresetName=";
    size_t name = text.rfind(nameKey);
    ASSERT_NE(name, std::string::npos);
    std::string saved = withCrLf(text.substr(0, name + nameKey.size()) + GetParam().stem().string() + "\n");
    EXPECT_TRUE(saved == stored) << firstDifference(stored, saved);
}

TEST_P(FactoryPreset, PlaysThePhraseAtABalancedLevelAndFallsSilent) {
    loadAsChunk(withoutCr(readBytes(GetParam())));
    Rendered sound = playPhrase();
    ASSERT_TRUE(signal_analysis::allFinite(sound.left));
    ASSERT_TRUE(signal_analysis::allFinite(sound.right));

    const float peak = std::max(signal_analysis::peak(sound.left), signal_analysis::peak(sound.right));
    EXPECT_LE(peak, kLoudest) << "peak " << toDb(peak) << " dBFS";
    EXPECT_GE(peak, kQuietest) << "peak " << toDb(peak) << " dBFS";

    const size_t phrase = kReleaseAt;
    EXPECT_LT(std::fabs(mean(sound.left, phrase)), kDcBound) << "DC offset on the left";
    EXPECT_LT(std::fabs(mean(sound.right, phrase)), kDcBound) << "DC offset on the right";

    EXPECT_GE(sound.silentFrom, 0) << "still sounding " << kLongestTail / kRate << " s after the release";
}

INSTANTIATE_TEST_SUITE_P(Presets, FactoryPreset, ::testing::ValuesIn(factoryPresets()), testName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FactoryPreset);

}  // namespace tvx
