#include "engine/voice.h"

#include <cmath>
#include <limits>

#include "dsp/simd.h"

#include "params/modulation_codes.h"
#include "params/parameter_id.h"
#include "params/value_mappings.h"

namespace tvx {

namespace {

constexpr float kTwoPi = 6.2831853f;

float finiteOr(float v, float fallback) { return std::isfinite(v) ? v : fallback; }

int osc(int base, int i) { return base + i; }

enum FilterRouting { RoutingSerial = 0, RoutingParallel = 1, RoutingSplit = 2 };

int filterRouting(float value) {
    const int mode = choiceValue(value, RoutingSerial);
    return mode >= RoutingSerial && mode <= RoutingSplit ? mode : RoutingSerial;
}


// 30 bits of the instance's numbers for a stream of the voice's own.
std::uint32_t seedFrom(RandomSource& random) {
    const auto high = static_cast<std::uint32_t>(random.next());
    return high << 15 | static_cast<std::uint32_t>(random.next());
}


}  // namespace

void Voice::attachRandom(RandomSource* random) {
    random_ = random;
    for (Oscillator& o : oscillators_) o.random = random;
    for (int i = 0; i < 3; ++i) lfos[i].random = &lfoRandom_[i];
    noise_.random = &noiseRandom_;
}

void Voice::prepare(float sampleRate, const WtCollection* tables) {
    sampleRate_ = sampleRate;
    for (Oscillator& o : oscillators_) o.prepare(sampleRate, tables);
    for (Filter& f : filters_) f.prepare(sampleRate);
    for (Envelope& e : envelopes) e.prepare(sampleRate);
    for (Lfo& l : lfos) l.prepare(sampleRate);
    noise_.clear();
}

void Voice::setTempo(float tempo, int denominator) {
    tempo_ = tempo;
    denominator_ = denominator;
}

void Voice::reset(const float* params) {
    if (random_) {
        for (RandomSource& r : lfoRandom_) r.seed(seedFrom(*random_));
        noiseRandom_.seed(seedFrom(*random_));
    }
    for (int i = 0; i < 3; ++i) {
        oscillators_[i].resetPhase(params[osc(Osc1Phase, i)]);
        oscillators_[i].jumpSmoothers();
        envelopes[i].reset();
        lfos[i].restart(params[Lfo1Phase + i]);
        envelopeOut_[i] = 0.0f;
        lfoOut_[i] = 0.0f;
    }
    for (Filter& f : filters_) f.jumpSmoothers();
    for (float& s : sums_) s = 0.0f;
    sources_ = ModSources();
    randomValue_ = random_ ? static_cast<float>(random_->next()) / 32767.0f : 0.0f;
    controlCounter_ = 0;
}

void Voice::retrigger(const float* params) {
    envelopes[0].start();
    for (int i = 1; i < 3; ++i) {
        envelopes[i].level = 0.0f;
        envelopes[i].start();
    }
    for (int i = 0; i < 3; ++i) lfos[i].restart(params[Lfo1Phase + i]);
}

void Voice::start(const HeldNote& note, int order) {
    startOrder = order;
    held = note;
    const float glideMs = finiteOr(note.glideMs, 0.0f);
    glide = glideMs > 0.0f ? std::exp(-kTwoPi / (glideMs * sampleRate_ * 0.001f)) : 0.0f;
    if (!std::isfinite(glide)) glide = 0.0f;
    glideComplement = 1.0f - glide;
    if (!note.legato || !hasPlayed_) {
        currentPitch = static_cast<float>(note.note);
        pitchSet = true;
    }
    hasPlayed_ = true;
    for (Envelope& e : envelopes) e.start();
}

void Voice::release(float releaseVelocity) {
    held.releaseVelocity = releaseVelocity;
    for (Envelope& e : envelopes)
        if (e.state != Envelope::Idle) e.release();
}

float Voice::advancePitch(int voiceCount) {
    const float note = static_cast<float>(held.note);
    if (voiceCount != 1) return note;
    float pitch = note;
    if (pitchSet)
        pitchSet = false;
    else
        pitch = note * glideComplement + glide * currentPitch;
    // A pitch that ran away (never from valid input) starts over at the note.
    if (!std::isfinite(pitch)) pitch = note;
    currentPitch = pitch;
    return pitch;
}

// Returns the samples the voice sounds in: up to and including the one in
// which its first envelope ends.
int Voice::advanceEnvelopes(const float* params, bool setTimes, const PerSampleTargets& perSample, int offset,
                            int count) {
    float* gain = gain_ + offset;
    const float* T = sums_;
    int sounding = count;
    for (int i = 0; i < 3; ++i) {
        Envelope& e = envelopes[i];
        const int t = TgtEnv1Att + 4 * i;  // attack, decay, sustain, release
        if (setTimes || perSample.envelopeTimes[i])
            e.setTimes(params[Env1Att + i] + T[t], params[Env1Dec + i] + T[t + 1], params[Env1Rel + i] + T[t + 3]);
        const float sustain = params[Env1Sus + i] + T[t + 2];
        const float k = (1.0f - params[Env1VelSens + i]) * (1.0f - params[Env1VelSens + i]);
        const float factor = finiteOr(k + (1.0f - k) * held.velocity, 1.0f);
        float out;
        if (i == 0) {
            sounding = e.runUntilIdle(sustain, gain, sounding);
            for (int n = 0; n < sounding; ++n) gain[n] = finiteOr(gain[n] * factor, 0.0f);
            out = gain[sounding - 1];
        } else {
            out = finiteOr(e.run(sustain, sounding) * factor, 0.0f);
        }
        envelopeOut_[i] = out;
    }
    return sounding;
}

void Voice::advanceLfos(const VoiceContext& context, bool setUp, int offset, int count) {
    const float* params = context.params;
    for (int i = 0; i < 3; ++i) {
        Lfo& l = lfos[i];
        if (setUp || context.perSample.lfoRate[i]) {
            l.setShape(params[Lfo1Type + i]);
            l.setRate(params[Lfo1Rate + i] + sums_[TgtLfo1Rate + i], params[Lfo1Sync + i] > 0.0f, tempo_,
                      denominator_);
            l.setOffset(params[Lfo1Offset + i]);
            l.setAttack(params[Lfo1Attack + i]);
        }
    }
    // The voice's own LFOs always run, for their fade-in. Only the last
    // sample's output is read, by the next control step.
    float out[3];
    Lfo::advanceSideBySide(lfos, 3, count, out);
    for (int i = 0; i < 3; ++i) {
        if (params[Lfo1Global + i] > 0.0f)
            out[i] = lfos[i].fadeLevel * context.globalLfo[i * context.globalLfoStride + offset + count - 1];
        lfoOut_[i] = finiteOr(out[i], 0.0f);
    }
}

void Voice::fillSources(const ControllerState& c) {
    float* v = sources_.value;
    v[SrcNone] = 0.0f;
    for (int i = 0; i < 3; ++i) {
        v[SrcLfo1 + i] = lfoOut_[i];
        v[SrcEnv1 + i] = envelopeOut_[i];
    }
    v[SrcNoteOnVel] = held.velocity;
    v[SrcPitchBend] = c.pitchBend;
    v[SrcModWheel] = c.modWheel;
    v[SrcChnPressure] = c.channelPressure;
    v[SrcKeyPressure] = c.keyPressureOf(held.note);
    v[SrcUnipolarRnd] = randomValue_;
    v[SrcConstant] = 1.0f;
    v[SrcSeqModA] = finiteOr(c.seqModA, 0.0f);
    v[SrcSeqModB] = finiteOr(c.seqModB, 0.0f);
    v[SrcFootPedal] = c.footPedal;
    v[SrcExpression] = c.expression;
    v[SrcBrightness] = c.brightness;
    v[SrcNoteOffVel] = held.releaseVelocity;
    v[SrcModCC1] = c.modCC1;
    v[SrcModCC2] = c.modCC2;
    v[SrcAlternate] = held.alternate ? -1.0f : 1.0f;
    v[SrcBipolarRnd] = randomValue_ - 0.5f;
}

void Voice::evaluateModulation(const ModRouting& routing, const ControllerState& controllers) {
    // Controller-like sources are taken from this sample; envelope and LFO
    // values are those of the previous sample, as they are advanced later.
    fillSources(controllers);
    evaluateModMatrix(routing, sources_, sums_);
    // A NaN amount in a slot would otherwise travel into every target.
    for (float& s : sums_) s = finiteOr(s, 0.0f);
}

void Voice::setUpOscillators(const float* params, float pitchBend, float pitch) {
    const float* T = sums_;
    const float a4 = referencePitchHz(params[MasterTune]);
    const float bend = pitchBend * static_cast<float>(pitchBendRange(params[PitchBend]));
    const float all = T[TgtOscTune] * 100.0f + std::floor(0.1f + T[TgtOscSemi] * 100.0f) + T[TgtOscFine];
    for (int i = 0; i < 3; ++i) {
        const int t = TgtOsc1Tune + 6 * i;  // tune, semi, fine
        const float fine = oscFineSemitones(params[osc(Osc1Fine, i)]);
        const float semi = oscSemitones(params[osc(Osc1Semi, i)]);
        float semitones = bend + fine + semi + T[t] * 100.0f + std::floor(T[t + 1] * 100.0f + 0.1f) + T[t + 2] +
                          all + (pitch - 69.0f);
        semitones = finiteOr(semitones, pitch - 69.0f);
        oscillators_[i].controlStep(params, T, i, semitones, a4);
    }
}

void Voice::setUpFilters(const float* params, float pitch) {
    for (int j = 0; j < 2; ++j) {
        const int t = TgtFlt1Cut + 2 * j;
        filters_[j].setUp(params[Flt1Type + j], params[Flt1Cut + j] + sums_[t], params[Flt1Res + j] + sums_[t + 1],
                          pitch, params[Flt1Track + j]);
    }
}

void Voice::renderOscillatorsAndNoise(const float* params, int from, int count) {
    for (int c = 0; c < 2; ++c)
        for (int i = from; i < from + count; ++i) runA_[c][i] = runB_[c][i] = 0.0f;
    Oscillator::Smoothed smoothed[Oscillator::kPerVoice];
    for (int done = 0; done < count; done += Oscillator::kChunk) {
        const int n = count - done < Oscillator::kChunk ? count - done : Oscillator::kChunk;
        const int at = from + done;
        Oscillator::smoothSideBySide(oscillators_, Oscillator::kPerVoice, params, sums_, smoothed, n);
        // Oscillators 1 and 3 share a path, so 1 + 3 is formed as before.
        oscillators_[0].renderSmoothed(smoothed[0], runA_[0] + at, runA_[1] + at, n);
        oscillators_[2].renderSmoothed(smoothed[2], runA_[0] + at, runA_[1] + at, n);
        oscillators_[1].renderSmoothed(smoothed[1], runB_[0] + at, runB_[1] + at, n);
    }
    noise_.renderAdding(params[NoiseType], params[NoiseVol] + sums_[TgtNoiseVol],
                        params[NoisePan] + sums_[TgtNoisePan], runB_[0] + from, runB_[1] + from, count);
}

void Voice::recordFilterTargets(const float* params, int from, int count, bool gliding) {
    for (int i = from; i < from + count; ++i) {
        // The gliding pitch moves the tracked cutoff every sample.
        if (gliding) setUpFilters(params, pitch_[i - from]);
        for (int j = 0; j < 2; ++j) {
            cutoffTargets_[j][i] = filters_[j].cutoffTarget();
            resonanceTargets_[j][i] = filters_[j].resonanceTarget();
        }
    }
}

int Voice::filterRouting(const float* params) { return tvx::filterRouting(params[FltMode]); }

float* Voice::filterLeft(int routing, int j) { return routing == RoutingSerial || j == 0 ? runA_[0] : runB_[0]; }
float* Voice::filterRight(int routing, int j) { return routing == RoutingSerial || j == 0 ? runA_[1] : runB_[1]; }

void Voice::mixFilterInputs(int routing, int count) {
    float* aL = runA_[0];
    float* aR = runA_[1];
    float* bL = runB_[0];
    float* bR = runB_[1];
    if (routing == RoutingSerial) {
        for (int i = 0; i < count; ++i) {
            aL[i] += bL[i];
            aR[i] += bR[i];
        }
    } else if (routing == RoutingParallel) {
        for (int i = 0; i < count; ++i) {
            bL[i] = aL[i] = aL[i] + bL[i];
            bR[i] = aR[i] = aR[i] + bR[i];
        }
    }
}

void Voice::mixFilterOutputs(int routing, int count) {
    float* aL = runA_[0];
    float* aR = runA_[1];
    const float* bL = runB_[0];
    const float* bR = runB_[1];
    if (routing == RoutingParallel) {
        for (int i = 0; i < count; ++i) {
            aL[i] = (aL[i] + bL[i]) * 0.5f;
            aR[i] = (aR[i] + bR[i]) * 0.5f;
        }
    } else if (routing == RoutingSplit) {
        for (int i = 0; i < count; ++i) {
            aL[i] += bL[i];
            aR[i] += bR[i];
        }
    }
}

void Voice::filterAlone(int routing, int count) {
    for (int j = 0; j < 2; ++j)
        filters_[j].processRun(filterLeft(routing, j), filterRight(routing, j), count, cutoffTargets_[j],
                               resonanceTargets_[j]);
}

void Voice::addOutput(float* left, float* right, int count) {
    int i = 0;
#if TVX_SSE2
    // Four samples at a time while all of them are finite; a group holding
    // one that is not goes sample by sample below, up to that sample.
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    const __m128 largest = _mm_set1_ps(std::numeric_limits<float>::max());
    for (; i + 4 <= count; i += 4) {
        const __m128 gain = _mm_loadu_ps(gain_ + i);
        const __m128 outL = _mm_mul_ps(_mm_loadu_ps(runA_[0] + i), gain);
        const __m128 outR = _mm_mul_ps(_mm_loadu_ps(runA_[1] + i), gain);
        const __m128 finite = _mm_and_ps(_mm_cmple_ps(_mm_and_ps(outL, magnitude), largest),
                                         _mm_cmple_ps(_mm_and_ps(outR, magnitude), largest));
        if (_mm_movemask_ps(finite) != 0xF) break;
        _mm_storeu_ps(left + i, _mm_add_ps(_mm_loadu_ps(left + i), outL));
        _mm_storeu_ps(right + i, _mm_add_ps(_mm_loadu_ps(right + i), outR));
    }
#endif
    for (; i < count; ++i) {
        const float outL = runA_[0][i] * gain_[i];
        const float outR = runA_[1][i] * gain_[i];
        if (!std::isfinite(outL) || !std::isfinite(outR)) {
            // The rest of the run came from the broken state: the voice
            // starts over, silent, from the next run on.
            recoverFromInvalidOutput();
            return;
        }
        left[i] += outL;
        right[i] += outR;
    }
}

void Voice::recoverFromInvalidOutput() {
    // Filter states are otherwise never cleared, so a NaN there would silence
    // every later note of this voice.
    for (Filter& f : filters_) {
        f.clear();
        f.jumpSmoothers();
    }
    for (Oscillator& o : oscillators_) {
        o.resetPhase(0.0f);
        o.jumpSmoothers();
    }
    noise_.clear();
}

void Voice::renderRun(const VoiceContext& context, float* left, float* right, int count) {
    const int sounding = renderSources(context, count);
    const int routing = filterRouting(context.params);
    mixFilterInputs(routing, sounding);
    filterAlone(routing, sounding);
    mixFilterOutputs(routing, sounding);
    addOutput(left, right, sounding);
}

int Voice::renderSources(const VoiceContext& context, int count) {
    int done = 0;
    while (done < count && active()) {
        int length = kControlPeriod - controlCounter_;
        if (length > count - done) length = count - done;
        const int rendered = prepareSpan(context, done, length);
        done += rendered;
        if (rendered < length) break;
    }
    return done;
}

// Evaluation order within each sample is that of rendering sample by sample:
// modulation from the previous sample's envelopes and LFOs, then envelopes,
// LFOs, oscillator and filter set-up and the sources. Each stage runs the
// whole span before the next one starts.
int Voice::prepareSpan(const VoiceContext& context, int offset, int count) {
    const float* params = context.params;
    const bool controlStep = controlCounter_ == 0;
    const bool gliding = context.voiceCount == 1;
    const float firstPitch = advancePitch(context.voiceCount);
    pitch_[0] = firstPitch;
    if (controlStep) evaluateModulation(*context.routing, *context.controllers);
    count = advanceEnvelopes(params, controlStep, context.perSample, offset, count);
    if (gliding)
        for (int i = 1; i < count; ++i) pitch_[i] = advancePitch(1);
    advanceLfos(context, controlStep, offset, count);
    if (controlStep) setUpOscillators(params, finiteOr(context.controllers->pitchBend, 0.0f), firstPitch);
    setUpFilters(params, firstPitch);
    recordFilterTargets(params, offset, count, gliding);
    renderOscillatorsAndNoise(params, offset, count);
    controlCounter_ += count;
    if (controlCounter_ >= kControlPeriod) controlCounter_ = 0;
    return count;
}

}  // namespace tvx
