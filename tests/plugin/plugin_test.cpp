#include "plugin/plugin.h"

#include <cmath>
#include <cstring>

#include "params/parameter_table.h"
#include "persist/preset_text.h"
#include "support/plugin_fixture.h"

namespace tvx {

namespace {

class PluginCore : public PluginFixture {
protected:
    // A sustained sine from oscillator 1 so the output stage has something to scale.
    void playSine() {
        plugin->setParameter(Osc1Pos, 0.75f);
        plugin->setParameter(Flt1Type, 0.0f);
        plugin->setParameter(Env1Att, 0.0f);
        midi(0, 0x90, 69, 127);
    }
};

float peak(const std::vector<float>& v, size_t from = 0) {
    float p = 0.0f;
    for (size_t i = from; i < v.size(); ++i) p = std::max(p, std::fabs(v[i]));
    return p;
}

}  // namespace

TEST_F(PluginCore, StartsWithTheInitSoundNamedInit) {
    float init[kNumParameters];
    fillInitSound(init);
    for (int i = 0; i < kNumParameters; ++i) EXPECT_EQ(value(i), init[i]) << i;
    EXPECT_EQ(plugin->presetName(), L"Init");
    EXPECT_EQ(plugin->currentPresetIndex(), -1);
    EXPECT_EQ(plugin->getAeffect()->flags, 0x1131);
    EXPECT_EQ(plugin->getSampleRate(), 44100.0f);
    for (int i = 0; i < kNumParameters; ++i) EXPECT_EQ(plugin->clipboardValues()[i], plugin->defaultValues()[i]);
}

TEST_F(PluginCore, InitPresetFileReplacesTheInitSound) {
    plugin.reset();
    std::filesystem::create_directories(home() / "Presets");
    TempFolder::writeBytes((home() / "Presets" / "_init.prs").wstring(), "Osc1Pos=0.125000\r\nVolume=0.3\r\n");
    plugin = std::make_unique<Plugin>(&PluginFixture::callback);
    EXPECT_FLOAT_EQ(value(Osc1Pos), 0.125f);
    EXPECT_FLOAT_EQ(value(Volume), 0.3f);
    EXPECT_EQ(value(Osc1Type), 0.0f);  // the file replaces the whole init sound
    EXPECT_EQ(plugin->presetName(), L"Init");
}

TEST_F(PluginCore, TimeInfoIsReadTwicePerBlockWithDefaults) {
    std::vector<float> l, r;
    render(0, l, r);
    ASSERT_EQ(host.timeRequests.size(), 2u);
    EXPECT_EQ(host.timeRequests[0], kVstTimeSigValid);
    EXPECT_EQ(host.timeRequests[1], kVstTempoValid);
}

TEST_F(PluginCore, OutputGainGlidesToANewVolume) {
    // The same note at a steady volume 1 is the reference for the gain curve.
    Plugin reference(&PluginFixture::callback);
    reference.setParameter(Volume, 1.0f);
    reference.setParameter(Osc1Pos, 0.75f);
    reference.setParameter(Flt1Type, 0.0f);
    reference.setParameter(Env1Att, 0.0f);
    playSine();
    plugin->setParameter(Volume, 0.5f);
    VstMidiEvent on{};
    on.type = kVstMidiType;
    on.midiData[0] = static_cast<char>(0x90);
    on.midiData[1] = 69;
    on.midiData[2] = 127;
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&on);
    reference.processEvents(&events);

    std::vector<float> l, r, refL(4410), refR(4410);
    float* refOut[2] = {refL.data(), refR.data()};
    render(4410, l, r);
    reference.processReplacing(nullptr, refOut, 4410);
    EXPECT_NEAR(l[3000] / refL[3000], 0.5f, 1e-4f);

    plugin->setParameter(Volume, 1.0f);
    render(4410, l, r);
    reference.processReplacing(nullptr, refOut, 4410);
    // a = exp(-2 pi / (fs * 0.040)): the gap to the target shrinks by 1/e every 280.7 samples.
    const float a = std::exp(-6.2831853f / (44100.0f * 0.040f));
    for (int n : {0, 100, 280, 600, 1500}) {
        int k = n;
        while (std::fabs(refL[k]) < 0.1f) ++k;
        float expected = 1.0f - 0.5f * std::pow(a, static_cast<float>(k + 1));
        EXPECT_NEAR(l[k] / refL[k], expected, 2e-3f) << k;
    }
}

TEST_F(PluginCore, ResetMakesTheGainJumpAndSilencesVoices) {
    playSine();
    std::vector<float> l, r;
    render(2000, l, r);
    EXPECT_GT(peak(l), 0.1f);
    plugin->resume();
    render(2000, l, r);
    EXPECT_EQ(peak(l), 0.0f);
    EXPECT_EQ(peak(r), 0.0f);
}

TEST_F(PluginCore, OutputIsLimitedAndNeverNaN) {
    playSine();
    plugin->setParameter(Volume, 1000.0f);
    std::vector<float> l, r;
    render(4000, l, r);
    EXPECT_FLOAT_EQ(peak(l, 100), Plugin::kOutputLimit);
    plugin->setParameter(Volume, NAN);
    render(4000, l, r);
    for (float s : l) ASSERT_TRUE(std::isfinite(s));
    plugin->setParameter(Volume, 0.5f);
    render(4000, l, r);
    EXPECT_NEAR(peak(l, 2000), 0.5f * 0.5f * 0.5f / 0.999f, 0.003f);
}

// A host plays at the rate it sets: beyond the supported range the plug-in
// takes the rate and stays silent rather than play at a wrong pitch; values
// that are no rate at all are ignored.
TEST_F(PluginCore, RatesOutsideTheRangeAreTakenAndSilent) {
    for (float rate : {0.0f, -44100.0f, NAN, INFINITY}) {
        plugin->setSampleRate(rate);
        EXPECT_EQ(plugin->getSampleRate(), 44100.0f) << rate;
    }
    std::vector<float> l, r;
    for (float rate : {10.0f, 768001.0f, 1e9f}) {
        plugin->setSampleRate(rate);
        EXPECT_EQ(plugin->getSampleRate(), rate);
        playSine();
        render(2048, l, r);
        EXPECT_EQ(peak(l), 0.0f) << rate;
        EXPECT_EQ(peak(r), 0.0f) << rate;
    }
    for (float rate : {96000.0f, 768000.0f}) {
        plugin->setSampleRate(rate);
        EXPECT_EQ(plugin->getSampleRate(), rate);
        playSine();
        render(2048, l, r);
        EXPECT_GT(peak(l), 0.1f) << rate;
    }
}

TEST_F(PluginCore, ChunkRoundTripRestoresValuesAndName) {
    for (int i = 0; i < kNumParameters; ++i) plugin->setParameter(i, static_cast<float>((i * 37) % 101) / 100.0f);
    void* data = nullptr;
    VstInt32 size = plugin->getChunk(&data, false);
    ASSERT_GT(size, 0);
    ASSERT_NE(data, nullptr);
    std::vector<unsigned char> saved(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
    const auto values = plugin->parameterValues();
    std::vector<float> before(values.begin(), values.end());

    plugin->setChunk(nullptr, 0, false);  // empty: everything back to the defaults, no name
    EXPECT_EQ(plugin->presetName(), L"");
    EXPECT_EQ(value(Osc1Type), 0.0f);

    plugin->setChunk(saved.data(), static_cast<VstInt32>(saved.size()), false);
    for (int i = 0; i < kNumParameters; ++i) EXPECT_NEAR(value(i), before[i], 5e-7f) << i;
    EXPECT_EQ(plugin->presetName(), L"Init");
    // The text starts with the volume line and is UTF-16LE without a byte-order mark.
    EXPECT_EQ(saved[0], 'V');
    EXPECT_EQ(saved[1], 0);
}

TEST_F(PluginCore, SetChunkTakesWholeCodeUnitsAndTheNameWithEquals) {
    std::vector<unsigned char> chunk = wideToUtf16Le(L"Volume=0.25\nPresetName=My=Sound");
    chunk.push_back('X');  // an odd last byte is ignored
    plugin->setChunk(chunk.data(), static_cast<VstInt32>(chunk.size()), false);
    EXPECT_FLOAT_EQ(value(Volume), 0.25f);
    EXPECT_EQ(plugin->presetName(), L"My=Sound");
    unsigned char one = 'V';
    plugin->setChunk(&one, 1, false);
    EXPECT_EQ(value(Volume), plugin->defaultValues()[Volume]);
}

TEST_F(PluginCore, ParameterDisplayIsBoundedForTheHost) {
    char text[32];
    std::memset(text, 'x', sizeof(text));
    plugin->getParameterDisplay(Volume, text);
    EXPECT_STREQ(text, "50.0");
    plugin->setParameter(Volume, -3e30f);
    std::memset(text, 'x', sizeof(text));
    plugin->getParameterDisplay(Volume, text);
    EXPECT_LE(std::strlen(text), static_cast<size_t>(kVstMaxParamStrLen));
}

TEST_F(PluginCore, ProgramNameIsCutTo24Characters) {
    std::vector<unsigned char> chunk = wideToUtf16Le(L"PresetName=abcdefghijklmnopqrstuvwxyz0123");
    plugin->setChunk(chunk.data(), static_cast<VstInt32>(chunk.size()), false);
    char name[64];
    std::memset(name, 'x', sizeof(name));
    plugin->getProgramName(name);
    EXPECT_STREQ(name, "abcdefghijklmnopqrstuvwx");
}

TEST_F(PluginCore, SettingsAreWrittenAtDestruction) {
    plugin->setParameter(1053, 3.0f);  // Mod CC 1 = controller 2
    plugin.reset();
    std::string settings = TempFolder::readBytes((home() / "Settings.txt").wstring());
    EXPECT_NE(settings.find("modCC1=2\r\n"), std::string::npos) << settings;
}

}  // namespace tvx
