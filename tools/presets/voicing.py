"""Building blocks of a patch: oscillators, filters, envelopes, LFOs and
effects in the units of tvx.py, each returning the parameter values it sets."""

from tvx import (FILTER, LFO, NOISE, OSC, ROUTING, WAVE, bipolar, chorus_hz, chorus_ms, cutoff, db,
                 delay_ms, division, eq_high_hz, eq_low_hz, lfo_hz, lfo_sync, ms, ratio, seconds, semis,
                 cents, unison, voices, bend_range)


def patch(*parts, **values):
    """Merges the parts; two parts that fill the same matrix slot are a mistake."""
    out = {}
    for part in parts:
        for key, value in part.items():
            if key.startswith("Mod") and key in out and out[key] != value:
                raise SystemExit(f"matrix slot filled twice: {key}")
            out[key] = value
    out.update(values)
    return out


def osc(i, kind, wave=None, semi=0, fine=0, vol=0.5, pan=0.5, phase=None, width=None):
    """A main oscillator. `wave` is a shape name or a position 0..1; for a
    pulse, `width` is the pulse width (0.5 square)."""
    values = {f"Osc{i}Type": OSC[kind], f"Osc{i}Semi": semis(semi), f"Osc{i}Fine": cents(fine),
              f"Osc{i}Vol": vol, f"Osc{i}Pan": pan}
    if kind == "wave" and wave is not None:
        values[f"Osc{i}Pos"] = WAVE[wave] if isinstance(wave, str) else wave
    if kind == "pulse":
        values[f"Osc{i}Pos"] = 0.5 if width is None else width
    if phase is not None:
        values[f"Osc{i}Phase"] = phase
    return values


def fm(i, ratio1=1.0, index1=0.0, ratio2=1.0, index2=0.0, semi=0, fine=0, vol=0.5, pan=0.5):
    """A three-operator FM chain; indices are the "Mod" knob values 0..1
    (index 5 x knob^2)."""
    values = osc(i, "fm", semi=semi, fine=fine, vol=vol, pan=pan)
    values.update({f"Osc{i}Mod1Ratio": ratio(ratio1), f"Osc{i}Mod1Amt": index1,
                   f"Osc{i}Mod2Ratio": ratio(ratio2), f"Osc{i}Mod2Amt": index2})
    return values


def spread(i, copies, detune, mix=0.7, width=0.8):
    return {f"Osc{i}UniCount": unison(copies), f"Osc{i}UniDet": detune, f"Osc{i}UniMix": mix,
            f"Osc{i}UniSprd": width}


def noise(kind, vol, pan=0.5):
    return {"NoiseType": NOISE[kind], "NoiseVol": vol, "NoisePan": pan}


def filt(i, kind, hz, res=0.0, track=0.0):
    return {f"Flt{i}Type": FILTER[kind], f"Flt{i}Cut": cutoff(hz), f"Flt{i}Res": res, f"Flt{i}Track": track}


def routing(name):
    return {"FltMode": ROUTING[name]}


def env(i, a, d, s, r, vel=0.0, pos=0.0, tune=0.0, cut=0.0):
    """ADSR in seconds; the module's own routings: pos (position and FM
    index of the oscillator of the same number), tune (x 100 semitones) and
    cut (filter 1 for envelopes 1 and 3, filter 2 for envelope 2)."""
    return {f"Env{i}Att": seconds(a), f"Env{i}Dec": seconds(d), f"Env{i}Sus": s, f"Env{i}Rel": seconds(r),
            f"Env{i}VelSens": vel, f"Env{i}Mod1": bipolar(pos), f"Env{i}Mod2": bipolar(tune),
            f"Env{i}Mod3": bipolar(cut)}


def lfo(i, shape, rate, sync=False, offset=0.0, fade=0.0, phase=0.0, glob=False, pos=0.0, tune=0.0,
        cut=0.0):
    """`rate` in Hz, or a division name such as "1/8" with sync; `fade` in
    seconds (the LFO's attack)."""
    values = {f"Lfo{i}Type": LFO[shape], f"Lfo{i}Sync": 1 if sync else 0,
              f"Lfo{i}Rate": lfo_sync(rate) if sync else lfo_hz(rate),
              f"Lfo{i}Offset": 0.5 + offset, f"Lfo{i}Attack": (fade / 20.0) ** 0.5,
              f"Lfo{i}Phase": phase, f"Lfo{i}Global": 1 if glob else 0,
              f"Lfo{i}Mod1": bipolar(pos), f"Lfo{i}Mod2": bipolar(tune), f"Lfo{i}Mod3": bipolar(cut)}
    return values


def mono(glide_ms=0.0, legato=False, bend=2):
    return {"MonoMode": 1, "Polyphony": voices(1), "GlideTime": glide_ms / 1000.0,
            "GlideMode": 1 if legato else 0, "PitchBend": bend_range(bend)}


def poly(n=32, bend=2):
    return {"Polyphony": voices(n), "PitchBend": bend_range(bend)}


def drive(amount, gain_db=0.0):
    return {"DriveAmount": amount, "DriveGain": 0.5 + gain_db / 40.0}


def eq(low_db=0.0, low_hz=100.0, high_db=0.0, high_hz=8000.0, low_shelf=True, high_shelf=True):
    return {"EQ1Gain": db(low_db), "EQ1Freq": eq_low_hz(low_hz), "EQ1UseShelf": 1 if low_shelf else 0,
            "EQ2Gain": db(high_db), "EQ2Freq": eq_high_hz(high_hz), "EQ2UseShelf": 1 if high_shelf else 0}


def chorus(mix, rate_hz=0.6, depth=0.8, delay=4.0):
    return {"ChorusMix": mix, "ChorusRate": chorus_hz(rate_hz), "ChorusDepth": depth,
            "ChorusDelay": chorus_ms(delay)}


def echo(mix, time, feedback=0.35, low_cut_hz=200.0, width=0.5):
    """`time` a division name (synced) or milliseconds."""
    synced = isinstance(time, str)
    return {"DelayMix": mix, "DelaySync": 1 if synced else 0,
            "DelayTime": division(time) if synced else delay_ms(time), "DelayFeedback": feedback,
            "DelayLoCut": ((low_cut_hz - 10.0) / 13990.0) ** 0.25, "DelayWidth": width}


def reverb(mix, size=0.6, damp=0.5, width=1.0):
    return {"ReverbMix": mix, "ReverbSize": size, "ReverbDamp": damp, "ReverbWidth": width}


__all__ = ["patch", "osc", "fm", "spread", "noise", "filt", "routing", "env", "lfo", "mono", "poly",
           "drive", "eq", "chorus", "echo", "reverb", "ms", "seconds", "cutoff"]
