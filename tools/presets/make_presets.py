#!/usr/bin/env python3
"""Writes the factory library, presets/<Bank>/<Name>.prs, from sounds.py.

    python3 tools/presets/make_presets.py

Each file holds every parameter, as the plug-in itself saves a preset, so a
file loads and saves back byte for byte. The output Volume of each preset
and drive gain follow the level trim in levels.txt (written by measure.py
--calibrate): the Volume knob first, up to 0.8, then the drive stage's
output gain, which is linear as long as the output is not limited.
"""

import glob
import math
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import sounds  # noqa: E402
from tvx import ROOT, read_levels, write_library  # noqa: E402

FEATURES = {
    "oscillator Wave": lambda v: 1 in oscs(v), "oscillator Pulse": lambda v: 2 in oscs(v),
    "oscillator FM": lambda v: 3 in oscs(v),
    "unison": lambda v: any(v.get(f"Osc{i}UniMix", 0) > 0 for i in (1, 2, 3)),
    **{f"noise {n}": (lambda k: lambda v: v.get("NoiseVol", 0) > 0 and v.get("NoiseType", 0) == k)(k)
       for k, n in enumerate(["White", "Pink", "Stereo White", "Stereo Pink"])},
    **{f"filter {n}": (lambda k: lambda v: k in (v.get("Flt1Type", 0), v.get("Flt2Type", 0)))(k)
       for k, n in enumerate(["LP24", "LP12", "HP", "BP", "BS", "PK"], start=1)},
    **{f"routing {n}": (lambda k: lambda v: v.get("FltMode", 0) == k and v.get("Flt2Type", 0))(k)
       for k, n in enumerate(["Serial", "Parallel", "Split"])},
    "LFO synced": lambda v: any(v.get(f"Lfo{i}Sync", 0) for i in (1, 2, 3)),
    "LFO global": lambda v: any(v.get(f"Lfo{i}Global", 0) for i in (1, 2, 3)),
    **{f"LFO {n}": (lambda k: lambda v: any(v.get(f"Lfo{i}Type") == k for i in (1, 2, 3)))(k)
       for k, n in enumerate(["Triangle", "Sine", "Square", "Sawtooth", "Random Hold", "Random Glide",
                              "Random Pulse"])},
    **{f"source {n}": (lambda k: lambda v: k in sources(v))(k)
       for n, k in [("velocity", 4), ("mod wheel", 9), ("channel pressure", 10), ("key pressure", 11),
                    ("unipolar random", 12), ("bipolar random", 23), ("alternate", 22),
                    ("Seq Mod A", 14), ("Seq Mod B", 15), ("Env 2", 6), ("LFO 3", 3)]},
    **{f"sequencer {n}": (lambda k: lambda v: v.get("UseSequencer") and v.get("SeqMode", 0) == k)(k)
       for k, n in enumerate(["Up", "Down", "Up/Down"])},
    "sequencer rests": lambda v: v.get("UseSequencer") and any(v.get(f"SeqVel{i}") == 0 for i in range(1, 17)),
    "sequencer transposes": lambda v: any(f"SeqNote{i}" in v and v[f"SeqNote{i}"] != 0.5 + 0.5 / 48
                                          for i in range(1, 17)),
    "FM ratios": lambda v: any(v.get(f"Osc{i}Mod1Ratio", 0) > 0.1 for i in (1, 2, 3)),
    "mono and glide": lambda v: v.get("MonoMode") and v.get("GlideTime", 0) > 0,
    "drive": lambda v: v.get("DriveAmount", 0) > 0,
    "equaliser": lambda v: v.get("EQ1Gain", 0.5) != 0.5 or v.get("EQ2Gain", 0.5) != 0.5,
    "chorus": lambda v: v.get("ChorusMix", 0) > 0,
    "delay synced": lambda v: v.get("DelayMix", 0) > 0 and v.get("DelaySync"),
    "delay free": lambda v: v.get("DelayMix", 0) > 0 and not v.get("DelaySync"),
    "reverb": lambda v: v.get("ReverbMix", 0) > 0,
}


def oscs(v):
    return {v.get(f"Osc{i}Type", 0) for i in (1, 2, 3)}


def sources(v):
    return {v.get(f"Mod{i}Source", 0) for i in range(1, 13) if v.get(f"Mod{i}Target", 0)}



def apply_trim(values, trim_db):
    volume = values.get("Volume", 0.5) * 10 ** (trim_db / 20)
    if volume > 0.8:
        makeup_db = 20 * math.log10(volume / 0.8)
        volume = 0.8
        values["DriveGain"] = min(1.0, values.get("DriveGain", 0.5) + makeup_db / 40)
    values["Volume"] = round(volume, 4)
    if "DriveGain" in values:
        values["DriveGain"] = round(values["DriveGain"], 4)


def main():
    presets = sounds.library()
    levels = read_levels()
    names = set()
    for p in presets:
        ident = f"{p.bank}/{p.name}"
        if ident in names:
            raise SystemExit(f"two presets named {ident}")
        names.add(ident)
        apply_trim(p.values, levels.get(ident, 0.0))
    folder = os.path.join(ROOT, "presets")
    for old in glob.glob(os.path.join(folder, "*", "*.prs")):
        os.remove(old)
    written = write_library(presets, folder)
    print(f"wrote {len(written)} presets in {len({p.bank for p in presets})} banks")
    missing = [name for name, used in FEATURES.items() if not any(used(p.values) for p in presets)]
    if missing:
        print("features no preset uses: " + ", ".join(missing))


if __name__ == "__main__":
    main()
