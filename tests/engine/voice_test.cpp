#include "engine/voice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "params/parameter_id.h"
#include "params/parameter_table.h"
#include "tables/wt_collection.h"

namespace tvx {

namespace {

constexpr float kRate = 44100.0f;

// A voice playing oscillator 1 as a plain sine: "Wave" at the sine row,
// filters off, instant attack, full sustain.
class VoiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tables = new WtCollection();
        tables->build(kRate);
    }
    static void TearDownTestSuite() {
        delete tables;
        tables = nullptr;
    }

    void SetUp() override {
        fillDefaultValues(params);
        params[Osc1Type] = 1.0f;
        params[Osc1Pos] = 0.75f;
        params[Flt1Type] = params[Flt2Type] = 0.0f;
        params[Env1Att] = 0.0f;
        params[Env1Sus] = 1.0f;
        voice = std::make_unique<Voice>();
        voice->prepare(kRate, tables);
        context.params = params;
        context.controllers = &controllers;
        context.globalLfo = globalLfo;
        context.voiceCount = 4;
        context.perSample = findPerSampleTargets(params);
    }

    void play(int note, float velocity = 1.0f, bool legato = false, bool reset = true) {
        HeldNote h;
        h.note = note;
        h.velocity = velocity;
        h.legato = legato;
        h.glideMs = params[GlideTime] * 1000.0f;
        if (reset) voice->reset(params);
        voice->start(h, order++);
    }

    std::vector<float> render(int samples, std::vector<float>* right = nullptr) {
        std::vector<float> left;
        routing = ModRouting(params);
        context.routing = &routing;
        for (int i = 0; i < samples; ++i) {
            float l = 0.0f, r = 0.0f;
            voice->render(context, l, r);
            left.push_back(l);
            if (right) right->push_back(r);
        }
        return left;
    }

    // Frequency from the rising zero crossings, interpolated between samples.
    static float frequency(const std::vector<float>& x) {
        double first = -1.0, last = -1.0;
        int crossings = 0;
        for (std::size_t i = 1; i < x.size(); ++i) {
            if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
                const double t = static_cast<double>(i - 1) + static_cast<double>(x[i - 1]) / double(x[i - 1] - x[i]);
                if (first < 0.0) first = t; else ++crossings;
                last = t;
            }
        }
        return crossings > 0 ? float(crossings * static_cast<double>(kRate) / (last - first)) : 0.0f;
    }

    static float peak(const std::vector<float>& x) {
        float p = 0.0f;
        for (float v : x) p = std::max(p, std::fabs(v));
        return p;
    }

    static WtCollection* tables;
    float params[kNumParameters];
    ControllerState controllers;
    float globalLfo[3] = {};
    VoiceContext context;
    ModRouting routing;
    std::unique_ptr<Voice> voice;
    int order = 0;
};

WtCollection* VoiceTest::tables = nullptr;

TEST_F(VoiceTest, Note69IsA440HzSineAtAQuarterPerSide) {
    play(69);
    std::vector<float> right;
    const std::vector<float> left = render(44100, &right);
    EXPECT_NEAR(frequency(left), 440.0f, 0.05f);
    // The stored sine peaks at 1/0.999; volume 0.5 and the centre pan 0.5.
    const float expected = 0.5f * 0.5f / 0.999f;
    EXPECT_NEAR(peak(left), expected, expected * 0.002f);
    EXPECT_NEAR(peak(right), expected, expected * 0.002f);
}

TEST_F(VoiceTest, MasterTuneSemiAndFineMoveThePitch) {
    params[MasterTune] = 1.0f;  // A4 = 490 Hz
    play(69);
    EXPECT_NEAR(frequency(render(22050)), 490.0f, 0.1f);

    params[MasterTune] = 0.5f;
    params[Osc1Semi] = 0.5f + 12.5f / 48.0f;  // +12
    params[Osc1Fine] = 0.5f + 50.5f / 200.0f; // +0.50
    play(57);
    EXPECT_NEAR(frequency(render(22050)), 440.0f * std::pow(2.0f, 0.5f / 12.0f), 0.1f);
}

TEST_F(VoiceTest, BendRangeInWholeSemitones) {
    params[PitchBend] = 0.5f;  // 12 semitones
    controllers.pitchBend = 8191.0f / 8192.0f;
    play(57);
    const float expected = 440.0f * std::pow(2.0f, -12.0f / 8192.0f / 12.0f);
    EXPECT_NEAR(frequency(render(44100)), expected, 0.05f);

    params[PitchBend] = 7.0f;  // beyond the knob: held to 24
    controllers.pitchBend = -1.0f;
    play(69);
    EXPECT_NEAR(frequency(render(44100)), 110.0f, 0.05f);
}

TEST_F(VoiceTest, ModulationConstantOnSemiTransposes) {
    params[Mod1Source] = SrcConstant;
    params[Mod1Target] = TgtOsc1Semi;
    params[Mod1Amount] = 0.56f;  // amount 0.12 -> 12 semitones
    play(57);
    EXPECT_NEAR(frequency(render(22050)), 440.0f, 0.1f);
}

TEST_F(VoiceTest, VelocityScalesByTheSensitivityFactor) {
    params[Env1VelSens] = 0.5f;  // k = 0.25
    play(69, 0.2f);
    const float full = 0.5f * 0.5f / 0.999f;
    EXPECT_NEAR(peak(render(4410)), full * (0.25f + 0.75f * 0.2f), full * 0.003f);
}

TEST_F(VoiceTest, GlideMovesThePitchInStepsOf65Samples) {
    context.voiceCount = 1;
    params[GlideTime] = 0.1f;
    play(81);
    render(1000);
    play(93, 1.0f, true, false);  // legato: no reset, the control counter runs on
    const int offset = voice->controlCounter();
    const std::vector<float> x = render(65 * 12 + offset);
    // For a sine of constant increment, x[n-1] + x[n+1] = 2 cos(w) x[n].
    auto cosine = [&](int n) { return (x[n - 1] + x[n + 1]) / (2.0f * x[n]); };
    std::vector<float> frameMean;
    for (int frame = 1; frame < 12; ++frame) {
        const int begin = 65 * frame - offset;  // first sample rendered with the frame's increment
        float lo = 2.0f, hi = -2.0f, sum = 0.0f;
        int count = 0;
        for (int n = begin + 1; n < begin + 64; ++n) {
            if (std::fabs(x[n]) < 0.05f) continue;
            const float c = cosine(n);
            lo = std::min(lo, c);
            hi = std::max(hi, c);
            sum += c;
            ++count;
        }
        ASSERT_GT(count, 10);
        EXPECT_LT(hi - lo, 1e-5f) << "frame " << frame;
        frameMean.push_back(sum / count);
    }
    for (std::size_t i = 1; i < frameMean.size(); ++i)
        EXPECT_LT(frameMean[i], frameMean[i - 1] - 3e-4f) << "pitch rises every frame";
    EXPECT_GT(voice->currentPitch, 81.0f);
    EXPECT_LT(voice->currentPitch, 93.0f);
}

TEST_F(VoiceTest, NoGlideWithMoreThanOneVoice) {
    context.voiceCount = 2;
    params[GlideTime] = 0.5f;
    play(57);
    render(100);
    play(69, 1.0f, true, false);
    render(65);
    EXPECT_FLOAT_EQ(voice->currentPitch, 57.0f);  // untouched: every voice plays its own note
    EXPECT_NEAR(frequency(render(22050)), 440.0f, 0.1f);
}

TEST_F(VoiceTest, FilterModesRouteTheSources) {
    // Oscillator 1 feeds input A; parallel bypassed filters average two
    // equal copies, split passes A through filter 1 alone.
    params[FltMode] = 1.0f;
    play(69);
    const float expected = 0.5f * 0.5f / 0.999f;
    EXPECT_NEAR(peak(render(4410)), expected, expected * 0.003f);

    params[FltMode] = 2.0f;  // split: A through filter 1 only
    play(69);
    EXPECT_NEAR(peak(render(4410)), expected, expected * 0.003f);

    params[FltMode] = std::nanf("");  // unknown mode: serial
    play(69);
    EXPECT_NEAR(peak(render(4410)), expected, expected * 0.003f);
}

TEST_F(VoiceTest, GlobalLfoReplacesTheVoiceLfoScaledByItsFade) {
    params[Lfo1Global] = 1.0f;
    params[Lfo1Attack] = 0.0f;
    params[Mod1Source] = SrcLfo1;
    params[Mod1Target] = TgtOsc1Semi;
    params[Mod1Amount] = 0.56f;  // 12 semitones per unit of LFO
    globalLfo[0] = 1.0f;
    play(57);
    render(65);  // sources of the first frame are taken before the LFO runs
    EXPECT_NEAR(frequency(render(22050)), 440.0f, 0.2f);
}

TEST_F(VoiceTest, NonFiniteStateNeverReachesTheOutput) {
    params[Flt1Type] = 1.0f;
    play(69);
    render(100);
    voice->currentPitch = std::nanf("");
    context.voiceCount = 1;
    params[Osc1Vol] = std::nanf("");
    const std::vector<float> bad = render(300);
    for (float v : bad) ASSERT_TRUE(std::isfinite(v));
    params[Osc1Vol] = 0.5f;
    const std::vector<float> after = render(4410);
    EXPECT_GT(peak(after), 0.05f);
}

}  // namespace

}  // namespace tvx
