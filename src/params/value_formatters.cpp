#include "params/value_formatters.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "params/modulation_codes.h"
#include "params/note_division.h"
#include "params/number_text.h"
#include "params/parameter_id.h"
#include "params/value_mappings.h"

namespace tvx {

namespace {

// Text is worked out in double; the engine's float values widen exactly.
double wide(float x) { return static_cast<double>(x); }

enum class Kind {
    Percent,         // 0..100 %
    MixPercent,      // 0 % switches the effect off
    BipolarPercent,  // -100..+100 %
    Semitones,       // oscillator semitones
    SeqSemitones,    // sequencer step transpose
    Cents,           // oscillator fine tune
    PitchAmount,     // modulation of a tune target: semitones per full source
    SemiAmount,      // modulation of a semitone target: whole semitones
    CentAmount,      // modulation of a fine target: cents
    Pan,
    OscPhase,  // the top of the range starts each note at random
    LfoPhase,
    Voices,
    Unison,
    Steps,
    Velocity,
    BendRange,
    Glide,
    ReferencePitch,
    DriveGain,
    EqGain,
    Volume,
    EnvelopeTime,
    LfoAttack,
    LfoRate,
    DelayTime,
    StepSize,
    Cutoff,
    Eq1Frequency,
    Eq2Frequency,
    DelayLowCut,
    ChorusRate,
    ChorusDelay,
    Ratio,
};

bool isIn(int index, int first, int count) { return index >= first && index < first + count; }

float finite(float v) { return std::isfinite(v) ? v : 0.0f; }
float unit(float v) { return std::clamp(finite(v), 0.0f, 1.0f); }
bool synced(const ParameterReader& values, int switchParameter) { return finite(values(switchParameter)) > 0.0f; }

Kind matrixAmountKind(int target) {
    switch (target) {
    case TgtOscTune: case TgtOsc1Tune: case TgtOsc2Tune: case TgtOsc3Tune: return Kind::PitchAmount;
    case TgtOscSemi: case TgtOsc1Semi: case TgtOsc2Semi: case TgtOsc3Semi: return Kind::SemiAmount;
    case TgtOscFine: case TgtOsc1Fine: case TgtOsc2Fine: case TgtOsc3Fine: return Kind::CentAmount;
    default: return Kind::BipolarPercent;
    }
}

// The fixed routings: Mod 2 of envelope and LFO n tunes oscillator n; Mod 1
// moves its position or FM depth, Mod 3 a cutoff.
Kind fixedRoutingKind(int parameter, int first) {
    return (parameter - first) / 3 == 1 ? Kind::PitchAmount : Kind::BipolarPercent;
}

Kind kindOf(int p, const ParameterReader& values) {
    if (p == Volume) return Kind::Volume;
    if (isIn(p, Osc1Phase, 3)) return Kind::OscPhase;
    if (isIn(p, Osc1Semi, 3)) return Kind::Semitones;
    if (isIn(p, Osc1Pan, 3) || p == NoisePan) return Kind::Pan;
    if (isIn(p, Osc1UniCount, 3)) return Kind::Unison;
    if (isIn(p, Env1Mod1, 9)) return fixedRoutingKind(p, Env1Mod1);
    if (isIn(p, Lfo1Mod1, 9)) return fixedRoutingKind(p, Lfo1Mod1);
    if (isIn(p, Lfo1Phase, 3)) return Kind::LfoPhase;
    if (isIn(p, Lfo1Attack, 3)) return Kind::LfoAttack;
    if (isIn(p, Mod1Amount, 12)) {
        const int target = choiceValue(finite(values(Mod1Target + (p - Mod1Amount))));
        return matrixAmountKind(target);
    }
    switch (p) {
    case Polyphony: return Kind::Voices;
    case PitchBend: return Kind::BendRange;
    case GlideTime: return Kind::Glide;
    case MasterTune: return Kind::ReferencePitch;
    case DriveGain: return Kind::DriveGain;
    case EQ1Gain: case EQ2Gain: return Kind::EqGain;
    case DelayMix: case ChorusMix: case ReverbMix: return Kind::MixPercent;
    case SeqStepSize: return Kind::StepSize;
    case SeqStepCount: return Kind::Steps;
    case EQ1Freq: return Kind::Eq1Frequency;
    case EQ2Freq: return Kind::Eq2Frequency;
    case DelayTime: return synced(values, DelaySync) ? Kind::StepSize : Kind::DelayTime;
    case DelayLoCut: return Kind::DelayLowCut;
    case ChorusRate: return Kind::ChorusRate;
    case ChorusDelay: return Kind::ChorusDelay;
    default: break;
    }
    if (isIn(p, SeqNote1, 16)) return Kind::SeqSemitones;
    if (isIn(p, SeqVel1, 16)) return Kind::Velocity;
    if (isIn(p, SeqModA1, 32)) return Kind::BipolarPercent;
    if (isIn(p, Osc1Fine, 3)) return Kind::Cents;
    if (isIn(p, Osc1Mod1Ratio, 6)) return Kind::Ratio;
    if (isIn(p, Flt1Cut, 2)) return Kind::Cutoff;
    if (isIn(p, Env1Att, 3) || isIn(p, Env1Dec, 3) || isIn(p, Env1Rel, 3)) return Kind::EnvelopeTime;
    if (isIn(p, Lfo1Rate, 3)) return Kind::LfoRate;
    if (isIn(p, Lfo1Offset, 3)) return Kind::BipolarPercent;
    return Kind::Percent;
}

// ---- wording ----

std::string signedNumber(double x, int decimals) {
    std::string text = formatFixed(x, decimals);
    const bool zero = text.find_first_not_of("-0.") == std::string::npos;
    if (zero) return formatFixed(0.0, decimals);
    return (x > 0 ? "+" : "") + text;
}

std::string percentText(double x) {
    const std::string text = formatFixed(x, 0);
    return (text == "-0" ? "0" : text) + "%";
}

std::string timeText(double seconds) {
    const double ms = 1000.0 * seconds;
    if (ms < 9.95) return formatFixed(ms, 1) + " ms";
    if (ms < 999.5) return formatFixed(ms, 0) + " ms";
    if (seconds < 9.995) return formatFixed(seconds, 2) + " s";
    return formatFixed(seconds, 1) + " s";
}

std::string hertzText(double hz) {
    if (hz < 99.995) return formatFixed(hz, 2) + " Hz";
    if (hz < 999.95) return formatFixed(hz, 1) + " Hz";
    if (hz < 9999.5) return formatFixed(hz / 1000.0, 2) + " kHz";
    return formatFixed(hz / 1000.0, 1) + " kHz";
}

std::string panText(float v) {
    const double x = std::round((wide(unit(v)) - 0.5) * 200.0);
    if (x == 0.0) return "C";
    return (x < 0 ? "L " : "R ") + formatFixed(std::fabs(x), 0);
}

std::string decibelText(double db) { return std::isfinite(db) ? signedNumber(db, 1) + " dB" : "-inf dB"; }

const char* const kDegree = "\xC2\xB0";

std::string format(Kind kind, int p, float raw, const ParameterReader& values) {
    const float v = finite(raw);
    switch (kind) {
    case Kind::Percent: return percentText(100.0 * wide(unit(v)));
    case Kind::MixPercent: return unit(v) > 0.0f ? percentText(100.0 * wide(unit(v))) : "Off";
    case Kind::BipolarPercent: return signedNumber(100.0 * wide(bipolarAmount(v)), 0) + "%";
    case Kind::Semitones: return signedNumber(oscSemitones(v), 0) + " st";
    case Kind::SeqSemitones: return signedNumber(seqNoteOffsetFromValue(v), 0) + " st";
    case Kind::Cents: return signedNumber(std::round(100.0 * wide(oscFineSemitones(v))), 0) + " ct";
    case Kind::PitchAmount: return signedNumber(100.0 * wide(bipolarAmount(v)), 1) + " st";
    case Kind::SemiAmount: return signedNumber(std::floor(0.1f + bipolarAmount(v) * 100.0f), 0) + " st";
    case Kind::CentAmount: return signedNumber(100.0 * wide(bipolarAmount(v)), 0) + " ct";
    case Kind::Pan: return panText(v);
    case Kind::OscPhase: return v == 1.0f ? "Random" : formatFixed(360.0 * wide(unit(v)), 0) + kDegree;
    case Kind::LfoPhase: return formatFixed(360.0 * wide(unit(v)), 0) + kDegree;
    case Kind::Voices: return std::to_string(voiceCountFromPolyphony(v));
    case Kind::Unison: return std::to_string(unisonCount(unit(v)));
    case Kind::Steps: return std::to_string(seqStepCountFromValue(v));
    case Kind::Velocity: return std::to_string(seqVelocityFromValue(v));
    case Kind::BendRange: return std::to_string(pitchBendRange(v)) + " st";
    case Kind::Glide: return v > 0.0f ? timeText(0.001 * wide(glideMilliseconds(v))) : "Off";
    case Kind::ReferencePitch: return formatFixed(referencePitchHz(v), 1) + " Hz";
    case Kind::DriveGain: return decibelText(20.0 * wide(std::log10(driveGainLinear(unit(v)))));
    case Kind::EqGain: return decibelText(eqGainDb(unit(v)));
    case Kind::Volume: return unit(v) > 0.0f ? decibelText(20.0 * wide(std::log10(unit(v)))) : "-inf dB";
    case Kind::EnvelopeTime: return timeText(envelopeSeconds(unit(v)));
    case Kind::LfoAttack: return unit(v) > 0.0f ? timeText(lfoAttackSeconds(unit(v))) : "Off";
    case Kind::LfoRate:
        if (synced(values, Lfo1Sync + (p - Lfo1Rate))) return lfoDivision(lfoDivisionIndex(v)).name;
        return hertzText(lfoRateHz(unit(v)));
    case Kind::DelayTime: return timeText(0.001 * wide(delayTimeMs(unit(v))));
    case Kind::StepSize: return stepDivision(stepDivisionIndex(v)).name;
    case Kind::Cutoff: return hertzText(cutoffHz(unit(v)));
    case Kind::Eq1Frequency: return hertzText(eq1FrequencyHz(unit(v)));
    case Kind::Eq2Frequency: return hertzText(eq2FrequencyHz(unit(v)));
    case Kind::DelayLowCut: return hertzText(delayLowCutHz(unit(v)));
    case Kind::ChorusRate: return hertzText(chorusRateHz(unit(v)));
    case Kind::ChorusDelay: return formatFixed(chorusDelayMs(unit(v)), 2) + " ms";
    case Kind::Ratio: return "x" + formatFixed(1.0 + wide(fmRatio(unit(v))), 1);
    }
    return percentText(100.0 * wide(unit(v)));
}

// ---- reading ----

struct UnitScale {
    const char* name;
    double factor;  // to the kind's base unit
};

// The units each kind reads; the first is the base that the inverse
// mappings take.
std::vector<UnitScale> unitsOf(Kind kind) {
    switch (kind) {
    case Kind::Percent: case Kind::MixPercent: case Kind::BipolarPercent: return {{"%", 1.0}};
    case Kind::Semitones: case Kind::SeqSemitones: case Kind::PitchAmount: case Kind::SemiAmount:
    case Kind::BendRange:
        return {{"st", 1.0}, {"semi", 1.0}, {"semitones", 1.0}, {"ct", 0.01}};
    case Kind::Cents: case Kind::CentAmount: return {{"ct", 1.0}, {"cents", 1.0}, {"st", 100.0}};
    case Kind::OscPhase: case Kind::LfoPhase: return {{kDegree, 1.0}, {"deg", 1.0}};
    case Kind::Glide: case Kind::DelayTime: case Kind::ChorusDelay: return {{"ms", 1.0}, {"s", 1000.0}};
    case Kind::EnvelopeTime: case Kind::LfoAttack: return {{"s", 1.0}, {"ms", 0.001}};
    case Kind::ReferencePitch: case Kind::LfoRate: case Kind::Cutoff: case Kind::Eq1Frequency:
    case Kind::Eq2Frequency: case Kind::DelayLowCut: case Kind::ChorusRate:
        return {{"hz", 1.0}, {"khz", 1000.0}};
    case Kind::DriveGain: case Kind::EqGain: case Kind::Volume: return {{"db", 1.0}};
    case Kind::Voices: return {{"", 1.0}, {"voices", 1.0}};
    default: return {{"", 1.0}};
    }
}

std::string lowered(const std::string& text) {
    std::string out;
    for (char c : text) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A leading decimal number; `rest` is what follows it.
bool leadingNumber(const std::string& text, double& number, std::string& rest) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t digitsStart = i;
    bool digits = false;
    while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.')) {
        digits = digits || text[i] != '.';
        ++i;
    }
    if (!digits || i == digitsStart) return false;
    const std::wstring wide(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(i));
    number = parseDecimal(wide);
    rest = trimmed(text.substr(i));
    return std::isfinite(number);
}

// What a bare number means: frequencies in Hz and times in ms, whatever
// the value shows now, so "440" is never 440 kHz.
std::string bareUnit(Kind kind, const std::vector<UnitScale>& units) {
    if (kind == Kind::EnvelopeTime || kind == Kind::LfoAttack) return "ms";
    return units.front().name;
}

template <typename Mapping>
float firstValueWhere(float guess, Mapping matches) {
    float v = std::clamp(guess, 0.0f, 1.0f);
    for (int i = 0; i < 4096 && !matches(v) && v < 1.0f; ++i) v = std::nextafter(v, 2.0f);
    if (matches(v)) return v;
    // The guess overshot: search down instead.
    v = std::clamp(guess, 0.0f, 1.0f);
    for (int i = 0; i < 4096 && !matches(v) && v > 0.0f; ++i) v = std::nextafter(v, -1.0f);
    return v;
}

float wholeStep(double number, double lo, double hi) { return static_cast<float>(std::clamp(std::round(number), lo, hi)); }

// The stored value for `x` in the kind's base unit.
float inverse(Kind kind, double x) {
    const auto f = static_cast<float>(x);
    switch (kind) {
    case Kind::Percent: case Kind::MixPercent: return f / 100.0f;
    case Kind::BipolarPercent: case Kind::PitchAmount: case Kind::CentAmount: return 0.5f + f / 200.0f;
    case Kind::Semitones: {
        const float s = wholeStep(x, -24, 24);
        return firstValueWhere(0.5f + s / 48.0f, [s](float v) { return oscSemitones(v) == s; });
    }
    case Kind::SeqSemitones: {
        const float s = wholeStep(x, -24, 24);
        return firstValueWhere(0.5f + s / 48.0f, [s](float v) { return static_cast<float>(seqNoteOffsetFromValue(v)) == s; });
    }
    case Kind::SemiAmount: {
        const float s = wholeStep(x, -100, 100);
        return firstValueWhere(0.5f + s / 200.0f, [s](float v) { return std::floor(0.1f + bipolarAmount(v) * 100.0f) == s; });
    }
    case Kind::Cents: {
        const float c = wholeStep(x, -100, 100);
        return firstValueWhere(0.5f + c / 200.0f, [c](float v) { return std::round(100.0f * oscFineSemitones(v)) == c; });
    }
    case Kind::Pan: return 0.5f + f / 200.0f;
    case Kind::OscPhase: return std::min(f / 360.0f, std::nextafter(1.0f, 0.0f));
    case Kind::LfoPhase: return f / 360.0f;
    case Kind::Voices: {
        const int n = static_cast<int>(wholeStep(x, 1, 32));
        return firstValueWhere((static_cast<float>(n) - 1.0f) / 31.0f, [n](float v) { return voiceCountFromPolyphony(v) == n; });
    }
    case Kind::Unison: {
        const int n = static_cast<int>(wholeStep(x, 1, 8));
        return firstValueWhere((static_cast<float>(n) - 1.0f) / 7.0f, [n](float v) { return unisonCount(v) == n; });
    }
    case Kind::Steps: {
        const int n = static_cast<int>(wholeStep(x, 1, 16));
        return firstValueWhere((static_cast<float>(n) - 1.0f) / 15.0f, [n](float v) { return seqStepCountFromValue(v) == n; });
    }
    case Kind::Velocity: {
        const int n = static_cast<int>(wholeStep(x, 0, 127));
        return firstValueWhere(static_cast<float>(n) / 127.0f, [n](float v) { return seqVelocityFromValue(v) == n; });
    }
    case Kind::BendRange: {
        const int n = static_cast<int>(wholeStep(x, 0, 24));
        return firstValueWhere(static_cast<float>(n) / 24.0f, [n](float v) { return pitchBendRange(v) == n; });
    }
    case Kind::Ratio: {
        const float r = static_cast<float>(std::clamp(std::round(2.0 * x) / 2.0, 1.0, 10.0));
        return firstValueWhere((r - 1.0f) / 9.0f, [r](float v) { return 1.0f + fmRatio(v) == r; });
    }
    case Kind::Glide: return f / 1000.0f;
    case Kind::ReferencePitch: return 0.5f + (f - 440.0f) / 100.0f;
    case Kind::DriveGain: return (f / 20.0f + 1.0f) / 2.0f;
    case Kind::EqGain: return 0.5f + f / 40.0f;
    case Kind::Volume: return std::pow(10.0f, f / 20.0f);
    case Kind::EnvelopeTime: return std::cbrt(std::max(f, 0.0f) / 20.0f);
    case Kind::LfoAttack: return std::sqrt(std::max(f, 0.0f) / 20.0f);
    case Kind::LfoRate: return std::cbrt(std::max(f - 0.01f, 0.0f) / 19.99f);
    case Kind::DelayTime: return std::sqrt(std::max(f - 10.0f, 0.0f) / 5990.0f);
    case Kind::Cutoff: return std::pow(std::max(f - 20.0f, 0.0f) / 20980.0f, 0.2f);
    case Kind::Eq1Frequency: return std::cbrt(std::max(f - 20.0f, 0.0f) / 980.0f);
    case Kind::Eq2Frequency: return std::cbrt(std::max(f - 500.0f, 0.0f) / 17500.0f);
    case Kind::DelayLowCut: return std::pow(std::max(f - 10.0f, 0.0f) / 13990.0f, 0.25f);
    case Kind::ChorusRate: return std::sqrt(std::max(f - 0.1f, 0.0f) / 9.9f);
    case Kind::ChorusDelay: return (f - 0.1f) / 7.9f;
    case Kind::StepSize: break;
    }
    return f;
}

// Division names, matched without regard to case.
bool divisionValue(const std::string& text, int count, const NoteDivision& (*division)(int), float& value) {
    for (int i = 0; i < count; ++i) {
        if (lowered(division(i).name) != text) continue;
        value = (static_cast<float>(i) + 0.5f) / static_cast<float>(count);
        return true;
    }
    return false;
}

bool wordValue(Kind kind, int p, const std::string& text, const ParameterReader& values, float& value) {
    if (text == "off" && (kind == Kind::MixPercent || kind == Kind::Glide || kind == Kind::LfoAttack)) {
        value = 0.0f;
        return true;
    }
    if ((text == "-inf db" || text == "-inf") && kind == Kind::Volume) {
        value = 0.0f;
        return true;
    }
    if (text == "random" && kind == Kind::OscPhase) {
        value = 1.0f;
        return true;
    }
    if ((text == "c" || text == "center" || text == "centre") && kind == Kind::Pan) {
        value = 0.5f;
        return true;
    }
    if (kind == Kind::StepSize) return divisionValue(text, kNumStepDivisions, stepDivision, value);
    if (kind == Kind::LfoRate && synced(values, Lfo1Sync + (p - Lfo1Rate)))
        return divisionValue(text, kNumLfoDivisions, lfoDivision, value);
    return false;
}

// "L 40", "40 L", "R40": the side gives the sign.
std::string panSign(std::string text, double& sign) {
    sign = 1.0;
    if (text.empty()) return text;
    const char first = text.front();
    const char last = text.back();
    if (first == 'l' || first == 'r') {
        sign = first == 'l' ? -1.0 : 1.0;
        return trimmed(text.substr(1));
    }
    if (last == 'l' || last == 'r') {
        sign = last == 'l' ? -1.0 : 1.0;
        return trimmed(text.substr(0, text.size() - 1));
    }
    return text;
}

std::string expectedUnits(Kind kind) {
    std::string list;
    for (const UnitScale& u : unitsOf(kind)) {
        std::string name = u.name;
        if (name.empty()) continue;
        if (name == "hz") name = "Hz";
        if (name == "khz") name = "kHz";
        if (name == "db") name = "dB";
        list += (list.empty() ? "" : ", ") + name;
    }
    return list;
}

}  // namespace

std::string formatParameterValue(int parameter, const ParameterReader& values) {
    const Kind kind = kindOf(parameter, values);
    return format(kind, parameter, values(parameter), values);
}

bool parseParameterValue(int parameter, const std::string& typed, const ParameterReader& values, float& value,
                         std::string& error) {
    const Kind kind = kindOf(parameter, values);
    std::string text = lowered(trimmed(typed));
    if (text.empty()) {
        error = "Type a value";
        return false;
    }
    float fromWord = 0.0f;
    if (wordValue(kind, parameter, text, values, fromWord)) {
        value = fromWord;
        return true;
    }
    if (kind == Kind::StepSize || (kind == Kind::LfoRate && synced(values, Lfo1Sync + (parameter - Lfo1Rate)))) {
        error = "Not a note value (1/4, 1/8T, 1/16D)";
        return false;
    }
    double sign = 1.0;
    if (kind == Kind::Pan) text = panSign(text, sign);
    if (kind == Kind::Ratio && !text.empty() && (text[0] == 'x' || text[0] == ':')) text = trimmed(text.substr(1));
    if (kind == Kind::Ratio && text.rfind("1:", 0) == 0) text = text.substr(2);
    double number = 0.0;
    std::string suffix;
    if (!leadingNumber(text, number, suffix)) {
        error = "Not a number";
        return false;
    }
    const std::vector<UnitScale> units = unitsOf(kind);
    if (suffix.empty()) suffix = bareUnit(kind, units);
    const auto scale = std::find_if(units.begin(), units.end(), [&](const UnitScale& u) { return suffix == u.name; });
    if (scale == units.end()) {
        const std::string list = expectedUnits(kind);
        error = "Unknown unit \"" + suffix + "\"" + (list.empty() ? "" : " (use " + list + ")");
        return false;
    }
    const float v = inverse(kind, sign * number * scale->factor);
    if (!std::isfinite(v)) {
        error = "Out of range";
        return false;
    }
    value = std::clamp(v, 0.0f, 1.0f);
    return true;
}

bool isBipolarParameter(int p) {
    return isIn(p, Osc1Semi, 3) || isIn(p, Osc1Pan, 3) || isIn(p, Env1Mod1, 9) || isIn(p, Lfo1Mod1, 9) ||
           isIn(p, Mod1Amount, 12) || p == MasterTune || p == DriveGain || p == EQ1Gain || p == EQ2Gain ||
           isIn(p, SeqNote1, 16) || isIn(p, SeqModA1, 32) || isIn(p, Osc1Fine, 3) || p == NoisePan ||
           isIn(p, Lfo1Offset, 3);
}

}  // namespace tvx
