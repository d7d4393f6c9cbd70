#include "effects/equaliser.h"

#include <initializer_list>

#include "effects/idle_watch.h"
#include "effects/unit_range.h"
#include "params/parameter_id.h"
#include "params/value_mappings.h"

namespace tvx {

namespace {

// tan(pi f) turns negative just past the Nyquist frequency, which would turn
// the filter unstable at low sample rates; 0.49 is above every band frequency
// at 36.7 kHz and more.
constexpr float kMaxNormalisedFrequency = 0.49f;

}  // namespace

void Equaliser::prepare(float sampleRate) {
    sampleRate_ = sampleRate;
    for (Band* band : {&band1_, &band2_}) {
        band->gainDb.prepare(sampleRate);
        band->frequencyHz.prepare(sampleRate);
    }
}

void Equaliser::jumpSmoothers() {
    for (Band* band : {&band1_, &band2_}) {
        band->gainDb.jumpToNextTarget();
        band->frequencyHz.jumpToNextTarget();
    }
}

void Equaliser::clear() {
    band1_.filter.clear();
    band2_.filter.clear();
}

bool Equaliser::bandSettled(const Band& band, float gainParam, float frequencyHz) const {
    if (!holdsAt(band.gainDb, eqGainDb(clampUnit(gainParam)))) return false;
    // A band at 0 dB moves neither its frequency nor its filter. A low band
    // takes minutes to flush its state to 0, so what is left is weighed.
    if (band.gainDb.value == 0.0f) return true;
    return holdsAt(band.frequencyHz, frequencyHz) && band.filter.quietBelow(kQuietStateLevel);
}

bool Equaliser::passesThrough(const float* params) const {
    return band1_.gainDb.value == 0.0f && band2_.gainDb.value == 0.0f && settled(params);
}

bool Equaliser::settled(const float* params) const {
    return bandSettled(band1_, params[EQ1Gain], eq1FrequencyHz(clampUnit(params[EQ1Freq]))) &&
           bandSettled(band2_, params[EQ2Gain], eq2FrequencyHz(clampUnit(params[EQ2Freq])));
}

void Equaliser::processBand(Band& band, float gainParam, float frequencyHz, SvfFilter::Type type,
                            float& left, float& right) {
    float gainDb = band.gainDb.update(eqGainDb(clampUnit(gainParam)));
    if (gainDb == 0.0f) return;
    float normalised = band.frequencyHz.update(frequencyHz) / sampleRate_;
    if (!(normalised > 0.0f)) normalised = 0.0f;
    if (normalised > kMaxNormalisedFrequency) normalised = kMaxNormalisedFrequency;
    band.filter.frequency = normalised;
    band.filter.gain = gainDb;
    band.filter.process(type, left, right);
}

void Equaliser::process(const float* params, float& left, float& right) {
    SvfFilter::Type type1 = params[EQ1UseShelf] > 0.0f ? SvfFilter::LowShelf : SvfFilter::Bell;
    SvfFilter::Type type2 = params[EQ2UseShelf] > 0.0f ? SvfFilter::HighShelf : SvfFilter::Bell;
    processBand(band1_, params[EQ1Gain], eq1FrequencyHz(clampUnit(params[EQ1Freq])), type1, left, right);
    processBand(band2_, params[EQ2Gain], eq2FrequencyHz(clampUnit(params[EQ2Freq])), type2, left, right);
}

}  // namespace tvx
