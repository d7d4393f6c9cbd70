#include "persist/sequence_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "params/parameter_table.h"
#include "persist/text_file.h"
#include "support/comma_locale.h"
#include "support/temp_folder.h"

namespace tvx {

namespace {

bool isSequenceValue(int id) {
    return id == SeqStepSize || id == SeqStepCount || id == SeqSmoothModA || id == SeqSmoothModB || id == SeqMode ||
           (id >= SeqNote1 && id <= SeqModB16);
}

}  // namespace

TEST(SequenceFile, TextHas85LinesInGeneralNotation) {
    float params[kNumParameters];
    fillDefaultValues(params);
    params[SeqStepSize] = 0.5f;
    params[SeqStepCount] = 1.0f / 3.0f;
    params[SeqNote1] = 0.00001f;
    params[SeqModB16] = 1234567.0f;
    std::wstring text = buildSequenceText(params);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 85);
    EXPECT_EQ(text.substr(0, 38), L"SeqStepSize=0.5\nSeqStepCount=0.333333\n");
    EXPECT_NE(text.find(L"\nSeqMode="), std::wstring::npos);
    EXPECT_NE(text.find(L"\nSeqNote1=1e-05\nSeqLen1="), std::wstring::npos);
    EXPECT_NE(text.find(L"SeqModA16="), std::wstring::npos);
    EXPECT_EQ(text.substr(text.size() - 23), L"\nSeqModB16=1.23457e+06\n");
    CommaLocaleScope comma;
    EXPECT_EQ(buildSequenceText(params), text);
}

TEST(SequenceFile, SaveAndLoadChangeOnlyTheSequencerValues) {
    TempFolder folder;
    std::mt19937 random(3);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    float saved[kNumParameters], target[kNumParameters];
    for (float& p : saved) p = unit(random);
    for (float& p : target) p = unit(random);
    std::wstring file = folder.file("Pattern.seq");
    ASSERT_EQ(saveSequenceFile(file, saved), 0);
    EXPECT_NE(TempFolder::readBytes(file).find("\r\nSeqLen1="), std::string::npos);
    float before[kNumParameters];
    std::copy(target, target + kNumParameters, before);
    ASSERT_EQ(loadSequenceFile(file, target), 0);
    for (int id = 0; id < kNumParameters; ++id) {
        if (isSequenceValue(id))
            EXPECT_NEAR(target[id], saved[id], 5e-6f * saved[id] + 1e-7f) << id;
        else
            EXPECT_EQ(target[id], before[id]) << id;
    }
}

TEST(SequenceFile, LoadTakesOnlyTheKeysFound) {
    TempFolder folder;
    float params[kNumParameters], before[kNumParameters];
    fillDefaultValues(params);
    std::copy(params, params + kNumParameters, before);
    std::wstring file = folder.file("One.seq");
    TempFolder::writeBytes(file, "SeqStepCount=1\r\nSeqNote2=1e-05\r\nFlt1Cut=0.3\r\nPresetName=X\r\nseqmode=1\r\n");
    ASSERT_EQ(loadSequenceFile(file, params), 0);
    EXPECT_EQ(params[SeqStepCount], 1.0f);
    EXPECT_FLOAT_EQ(params[SeqNote2], 0.00001f);
    EXPECT_FLOAT_EQ(params[Flt1Cut], 0.3f);  // any parameter key is taken
    for (int id = 0; id < kNumParameters; ++id)
        if (id != SeqStepCount && id != SeqNote2 && id != Flt1Cut) {
            EXPECT_EQ(params[id], before[id]) << id;
        }
    EXPECT_EQ(loadSequenceFile(folder.file("absent.seq"), params), 1);
}

TEST(SequenceFile, InitSequenceResetsOnlySequencerValues) {
    float defaults[kNumParameters], params[kNumParameters];
    fillDefaultValues(defaults);
    for (float& p : params) p = 0.77f;
    initSequence(defaults, params);
    for (int id = 0; id < kNumParameters; ++id) {
        if (isSequenceValue(id) || id == UseSequencer)
            EXPECT_EQ(params[id], defaults[id]) << id;
        else
            EXPECT_EQ(params[id], 0.77f) << id;
    }
}

}  // namespace tvx
