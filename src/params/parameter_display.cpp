#include "params/parameter_display.h"

#include <cmath>
#include <cstring>
#include <string>

#include "params/note_division.h"
#include "params/number_text.h"
#include "params/parameter_id.h"

namespace tvx {

namespace {

std::string fixed(float value, int decimals) { return formatFixed(static_cast<double>(value), decimals); }

bool isIn(int index, int first, int count) { return index >= first && index < first + count; }

bool isPercent(int index) {
    return index == Volume || isIn(index, Osc1Vol, 3) || isIn(index, Osc1UniDet, 3) || isIn(index, Osc1UniMix, 3) ||
           index == NoiseVol || isIn(index, Flt1Res, 2) || isIn(index, Env1Sus, 3) || index == DriveAmount ||
           index == DelayFeedback || index == ReverbSize || index == ReverbDamp;
}

bool isEnvelopeTime(int index) {
    return isIn(index, Env1Att, 3) || isIn(index, Env1Dec, 3) || isIn(index, Env1Rel, 3);
}

bool isSwitchOn(float value) { return value > 0.0f; }

std::string signedText(float value, int decimals, const char* unit) {
    std::string text = value > 0.0f ? "+" : "";
    return text + fixed(value, decimals) + unit;
}

std::string kiloHertzText(float hz) {
    if (hz < 100.0f) return fixed(hz, 2) + " Hz";
    if (hz < 1000.0f) return fixed(hz, 1) + " Hz";
    if (hz < 10000.0f) return fixed(hz / 1000.0f, 2) + " kHz";
    return fixed(hz / 1000.0f, 1) + " kHz";
}

std::string envelopeTimeText(float v) {
    float seconds = v * v * v * 20.0f;
    if (seconds > 10.0f) return fixed(seconds, 1) + " s";
    if (seconds > 1.0f) return fixed(seconds, 2) + " s";
    return fixed(1000.0f * seconds, 0) + " ms";
}

std::string panText(float v) {
    float pan = std::floor((v - 0.5f) * 200.0f);
    if (pan < 0.0f) return fixed(-pan, 0) + "L";
    if (pan > 0.0f) return fixed(pan, 0) + "R";
    if (pan == 0.0f) return "C";
    return fixed(pan, 0);  // NaN
}

std::string eq1FrequencyText(float v) {
    float hz = v * v * v * 980.0f + 20.0f;
    if (hz < 100.0f) return fixed(hz, 2) + " Hz";
    if (hz < 1000.0f) return fixed(hz, 1) + " Hz";
    return fixed(hz, 0) + " Hz";
}

std::string displayText(const float* params, int index) {
    float v = params[index];
    if (isPercent(index)) return fixed(100.0f * v, 1);
    if (isIn(index, Osc1Fine, 3)) return signedText(std::floor((v - 0.5f) * 200.0f), 0, " ct");
    if (isIn(index, Osc1Mod1Ratio, 6)) return "1:" + fixed(std::trunc(18.0f * v) * 0.5f + 1.0f, 1);
    if (index == NoisePan) return panText(v);
    if (isIn(index, Flt1Cut, 2)) return kiloHertzText(v * v * v * v * v * 20980.0f + 20.0f);
    if (isEnvelopeTime(index)) return envelopeTimeText(v);
    if (isIn(index, Lfo1Rate, 3)) {
        if (isSwitchOn(params[Lfo1Sync + (index - Lfo1Rate)])) return lfoDivision(lfoDivisionIndex(v)).name;
        return fixed(v * v * v * 19.99f + 0.01f, 2) + " Hz";
    }
    if (index == EQ1Freq) return eq1FrequencyText(v);
    if (index == EQ2Freq) return kiloHertzText(v * v * v * 17500.0f + 500.0f);
    if (index == DelayTime) {
        if (isSwitchOn(params[DelaySync])) return stepDivision(stepDivisionIndex(v)).name;
        return fixed(v * v * 5990.0f + 10.0f, 0) + " ms";
    }
    if (index == SeqStepSize) return stepDivision(stepDivisionIndex(v)).name;
    if (index == DelayLoCut) return kiloHertzText(v * v * v * v * 13990.0f + 10.0f);
    if (index == ChorusRate) return fixed(v * v * 9.9f + 0.1f, 2) + " Hz";
    if (index == ChorusDelay) return fixed(v * v * 9.9f + 0.1f, 2) + " ms";
    return signedText((v - 0.5f) * 2.0f * 100.0f, 1, "");
}

}  // namespace

void getParameterDisplay(const float* params, int index, char* text, size_t size) {
    if (!text || size == 0) return;
    text[0] = '\0';
    if (!params || index < 0 || index >= kNumParameters) return;
    std::string display = displayText(params, index);
    size_t length = display.size() < size - 1 ? display.size() : size - 1;
    std::memcpy(text, display.data(), length);
    text[length] = '\0';
}

}  // namespace tvx
