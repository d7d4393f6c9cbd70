#include "persist/sequence_file.h"

#include "params/number_text.h"
#include "params/parameter_table.h"
#include "persist/preset_text.h"
#include "persist/text_file.h"

namespace tvx {

namespace {

constexpr int kNumSteps = 16;
constexpr int kSettings[] = {SeqStepSize, SeqStepCount, SeqSmoothModA, SeqSmoothModB, SeqMode};
constexpr int kStepRows[] = {SeqNote1, SeqLen1, SeqVel1, SeqModA1, SeqModB1};

void appendLine(std::wstring& text, int id, const float* params) {
    text += parameterKey(id);
    text += L'=';
    for (char c : formatGeneral(static_cast<double>(params[id]), 6)) text += static_cast<wchar_t>(c);
    text += L'\n';
}

}  // namespace

std::wstring buildSequenceText(const float* params) {
    std::wstring text;
    for (int id : kSettings) appendLine(text, id, params);
    for (int step = 0; step < kNumSteps; ++step)
        for (int row : kStepRows) appendLine(text, row + step, params);
    return text;
}

void parseSequenceText(const wchar_t* text, size_t length, float* params) {
    forEachPresetLine(
        text, length, [params](int id, float value) { params[id] = value; }, [](const wchar_t*, const wchar_t*) {});
}

int saveSequenceFile(const std::wstring& path, const float* params) {
    return writeTextFile(path, buildSequenceText(params)) ? 0 : 1;
}

int loadSequenceFile(const std::wstring& path, float* params) {
    std::wstring text;
    if (!readTextFile(path, text)) return 1;
    parseSequenceText(text.data(), text.size(), params);
    return 0;
}

void initSequence(const float* defaults, float* params) {
    params[UseSequencer] = defaults[UseSequencer];
    for (int id : kSettings) params[id] = defaults[id];
    for (int id = SeqNote1; id <= SeqModB16; ++id) params[id] = defaults[id];
}

}  // namespace tvx
