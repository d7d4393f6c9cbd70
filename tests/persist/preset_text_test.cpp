#include "persist/preset_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "params/parameter_table.h"
#include "support/comma_locale.h"

namespace tvx {

namespace {

struct Sound {
    float defaults[kNumParameters];
    float params[kNumParameters];
    std::wstring name = L"untouched";
    Sound() {
        fillDefaultValues(defaults);
        for (float& p : params) p = -7.0f;
    }
    void parse(const std::wstring& text) { parsePresetText(text, defaults, params, name); }
};

std::wstring lineOf(const std::wstring& text, size_t number) {
    size_t start = 0;
    for (size_t i = 0; i < number; ++i) start = text.find(L'\n', start) + 1;
    return text.substr(start, text.find(L'\n', start) - start);
}

}  // namespace

TEST(PresetText, BuildWritesEveryKeyWithSixDecimalsThenTheName) {
    float params[kNumParameters];
    fillInitSound(params);
    params[Osc1Pos] = 0.25f;
    params[Volume] = -1234567.0f;
    std::wstring text = buildPresetText(params, L"Init");
    EXPECT_EQ(lineOf(text, 0), L"Volume=-1234567.000000");
    EXPECT_EQ(lineOf(text, 1), L"Osc1Pos=0.250000");
    EXPECT_EQ(lineOf(text, Osc1Type), L"Osc1Type=1.000000");
    EXPECT_EQ(lineOf(text, kNumParameters - 1), L"EQ2UseShelf=1.000000");
    EXPECT_EQ(lineOf(text, kNumParameters), L"PresetName=Init");
    EXPECT_EQ(text.back(), L'\n');
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), kNumParameters + 1);
    EXPECT_EQ(text.find(L'\r'), std::wstring::npos);
}

TEST(PresetText, RoundTripRestoresValuesToSixDecimalsAndName) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    float params[kNumParameters];
    for (float& p : params) p = unit(random);
    params[Osc2Type] = 3.0f;
    std::wstring text = buildPresetText(params, L"Warm Pad \x00e9");
    Sound sound;
    sound.parse(text);
    EXPECT_EQ(sound.name, L"Warm Pad \x00e9");
    for (int i = 0; i < kNumParameters; ++i) EXPECT_NEAR(sound.params[i], params[i], 5e-7 + 6e-8) << i;  // half a step of six decimals plus a float ulp
    EXPECT_EQ(buildPresetText(sound.params, sound.name), text);
}

TEST(PresetText, ParseResetsToDefaultsAndAppliesLineRules) {
    Sound sound;
    sound.parse(L"Osc1Pos=0.25\n"
                L"volume=1\n"            // other capitals: ignored
                L"Volume =0.9\n"         // space before "=": ignored
                L"no equals sign\n"
                L"Flt1Cut=abc\n"         // no number: 0
                L"Flt2Cut=  \t0.75xyz\n" // leading blanks, trailing junk
                L"Env1Att=0.1\r\n"       // a CR is part of the value text
                L"Osc2Pos=0.1\nOsc2Pos=0.3\n"  // later wins
                L"Osc3Pos=1e-05\n"
                L"EQ1Gain=-.5E1\n"
                L"PresetName=My=Sound\n"
                L"Unknown=3");
    EXPECT_EQ(sound.name, L"My=Sound");
    EXPECT_FLOAT_EQ(sound.params[Osc1Pos], 0.25f);
    EXPECT_FLOAT_EQ(sound.params[Volume], sound.defaults[Volume]);
    EXPECT_EQ(sound.params[Flt1Cut], 0.0f);
    EXPECT_FLOAT_EQ(sound.params[Flt2Cut], 0.75f);
    EXPECT_FLOAT_EQ(sound.params[Env1Att], 0.1f);
    EXPECT_FLOAT_EQ(sound.params[Osc2Pos], 0.3f);
    EXPECT_FLOAT_EQ(sound.params[Osc3Pos], 0.00001f);
    EXPECT_FLOAT_EQ(sound.params[EQ1Gain], -5.0f);
    for (int i : {int(Osc1Phase), int(Polyphony), int(EQ2UseShelf)}) EXPECT_EQ(sound.params[i], sound.defaults[i]);
}

TEST(PresetText, EmptyTextGivesDefaultsAndEmptyName) {
    Sound sound;
    sound.parse(L"");
    EXPECT_EQ(sound.name, L"");
    EXPECT_EQ(std::memcmp(sound.params, sound.defaults, sizeof sound.params), 0);
}

TEST(PresetText, NumberConversionFollowsCLibraryRules) {
    Sound sound;
    sound.parse(L"Osc1Pos=inf\nOsc2Pos=-Infinity\nOsc3Pos=nan(123)\nOsc1Phase=0x1.8p1\n"
                L"Osc2Phase=0x\nOsc3Phase=1e400\nOsc1Semi=1e-400\nOsc2Semi=+.5\nOsc3Semi=1.5e\n"
                L"Osc1Pan=.\nOsc2Pan=-\n");
    EXPECT_TRUE(std::isinf(sound.params[Osc1Pos]) && sound.params[Osc1Pos] > 0);
    EXPECT_TRUE(std::isinf(sound.params[Osc2Pos]) && sound.params[Osc2Pos] < 0);
    EXPECT_TRUE(std::isnan(sound.params[Osc3Pos]));
    EXPECT_EQ(sound.params[Osc1Phase], 3.0f);
    EXPECT_EQ(sound.params[Osc2Phase], 0.0f);
    EXPECT_TRUE(std::isinf(sound.params[Osc3Phase]));
    EXPECT_EQ(sound.params[Osc1Semi], 0.0f);
    EXPECT_EQ(sound.params[Osc2Semi], 0.5f);
    EXPECT_EQ(sound.params[Osc3Semi], 1.5f);
    EXPECT_EQ(sound.params[Osc1Pan], 0.0f);
    EXPECT_EQ(sound.params[Osc2Pan], 0.0f);
}

TEST(PresetText, CommaDecimalLocaleChangesNeitherWritingNorReading) {
    float params[kNumParameters];
    fillDefaultValues(params);
    params[Osc1Pos] = 1234.5f;
    std::wstring expected = buildPresetText(params, L"X");
    CommaLocaleScope comma;
    if (!comma.cLocaleSet()) std::printf("de_DE.UTF-8 missing: only the C++ global locale is switched\n");
    EXPECT_EQ(buildPresetText(params, L"X"), expected);
    Sound sound;
    sound.parse(L"Osc1Pos=0.25\nOsc2Pos=0,75\n");
    EXPECT_EQ(sound.params[Osc1Pos], 0.25f);
    EXPECT_EQ(sound.params[Osc2Pos], 0.0f);
}

TEST(PresetText, HugeGarbageParsesWithoutHarm) {
    std::mt19937 random(42);
    std::wstring text(5 * 1024 * 1024, L'\0');
    for (wchar_t& c : text) c = static_cast<wchar_t>(random() & 0xFFFF);
    // Sprinkle in many valid lines and a very long one.
    for (int i = 0; i < 5000; ++i) text += L"\nOsc1Pos=0.125";
    text += L"\nVolume=" + std::wstring(200000, L'9') + L"\nFlt1Res=0." + std::wstring(200000, L'0') + L"1\n";
    Sound sound;
    sound.parse(text);
    EXPECT_EQ(sound.params[Osc1Pos], 0.125f);
    EXPECT_TRUE(std::isinf(sound.params[Volume]));
    EXPECT_EQ(sound.params[Flt1Res], 0.0f);
}

TEST(PresetChunk, Utf16LeRoundTripIncludingSurrogatePairs) {
    std::wstring text = L"PresetName=A\x00e9\x4e2d";
    if (sizeof(wchar_t) > 2) text += static_cast<wchar_t>(0x1F3B9);
    text += L"\n";
    std::vector<unsigned char> bytes = wideToUtf16Le(text);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 'P');
    EXPECT_EQ(bytes[1], 0);
    if (sizeof(wchar_t) > 2) {
        // U+1F3B9 = D83C DFB9
        size_t pair = bytes.size() - 6;
        EXPECT_EQ(bytes[pair], 0x3C);
        EXPECT_EQ(bytes[pair + 1], 0xD8);
        EXPECT_EQ(bytes[pair + 2], 0xB9);
        EXPECT_EQ(bytes[pair + 3], 0xDF);
    }
    EXPECT_EQ(utf16LeToWide(bytes.data(), bytes.size()), text);
    // An odd last byte is ignored; empty data gives an empty text.
    bytes.push_back('Z');
    EXPECT_EQ(utf16LeToWide(bytes.data(), bytes.size()), text);
    EXPECT_EQ(utf16LeToWide(bytes.data(), 1), L"");
    EXPECT_EQ(utf16LeToWide(nullptr, 0), L"");
}

TEST(PresetChunk, ChunkOfFullSoundRoundTrips) {
    float params[kNumParameters];
    fillInitSound(params);
    params[Mod3Amount] = 0.333333f;
    std::vector<unsigned char> chunk = wideToUtf16Le(buildPresetText(params, L"Chunk Name"));
    Sound sound;
    sound.parse(utf16LeToWide(chunk.data(), chunk.size()));
    EXPECT_EQ(sound.name, L"Chunk Name");
    EXPECT_EQ(std::memcmp(sound.params, params, sizeof params), 0);
}

}  // namespace tvx
