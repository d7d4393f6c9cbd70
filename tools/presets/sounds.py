"""The factory library: every sound as a readable definition.

`make_presets.py` writes these into presets/<Bank>/<Name>.prs. Levels are
matched afterwards: levels.txt holds a level trim of each preset in dB,
measured by `measure.py --calibrate` (about -4.5 dBFS peak for the test
phrase at velocity 100) and applied as output Volume, then drive gain.
"""

from tvx import Preset, matrix, sequence
from voicing import (chorus, drive, echo, env, eq, filt, fm, lfo, mono, noise, osc, patch, poly, reverb,
                     routing, spread)

# Vibrato on the wheel: the wheel scales the amount of the next matrix slot, an LFO on
# the fine tune of all oscillators.
def wheel_vibrato(rate=5.5, depth=0.35, lfo_number=3, first=1):
    return patch(lfo(lfo_number, "sine", rate, fade=0.3),
                 matrix(("wheel", f"slot{first + 1} amount", 1.0), (f"lfo{lfo_number}", "fine", depth),
                        first=first))


def bass():
    b = "Bass"
    return [
        Preset(b, "Rubber Sub", patch(
            osc(1, "wave", 0.62, semi=-12, vol=0.7), osc(2, "wave", "square", semi=-24, vol=0.25),
            filt(1, "lp24", 320, 0.25, track=0.4), env(1, 0.002, 0.4, 0.8, 0.12),
            env(3, 0.001, 0.25, 0.0, 0.2, cut=0.22), mono(40), eq(low_db=3, low_hz=70),
            matrix(("wheel", "flt1 cut", 0.3), ("velocity", "flt1 cut", 0.12)))),
        Preset(b, "Acid Line", patch(
            osc(1, "wave", "saw", semi=-12, vol=0.7), filt(1, "lp24", 280, 0.72, track=0.3),
            env(1, 0.001, 0.3, 0.7, 0.08), env(3, 0.001, 0.22, 0.0, 0.1, cut=0.42), mono(70, legato=True),
            drive(0.2, -1), matrix(("wheel", "flt1 res", 0.15), ("velocity", "flt1 cut", 0.15)))),
        Preset(b, "Pulse Bass", patch(
            osc(1, "pulse", semi=-12, width=0.3, vol=0.6), osc(2, "pulse", semi=-12, fine=7, width=0.5, vol=0.4),
            filt(1, "lp12", 650, 0.3, track=0.5), env(1, 0.002, 0.5, 0.6, 0.1),
            env(3, 0.001, 0.3, 0.0, 0.1, cut=0.2), lfo(1, "triangle", 0.35, pos=0.25), poly(8),
            matrix(("pressure", "flt1 cut", 0.3), ("wheel", "flt1 cut", 0.25)))),
        Preset(b, "FM Slap", patch(
            fm(1, 1.0, 0.35, 3.0, 0.2, semi=-12, vol=0.7), filt(1, "lp12", 3500, 0.1),
            env(1, 0.001, 0.6, 0.5, 0.1, vel=0.4, pos=0.35), poly(8),
            matrix(("velocity", "osc1 mod1", 0.25), ("wheel", "osc1 mod2", 0.4)))),
        Preset(b, "Reese", patch(
            osc(1, "wave", "saw", semi=-12, vol=0.5), osc(2, "wave", "saw", semi=-12, fine=14, vol=0.5),
            spread(1, 2, 0.35, mix=0.5, width=0.6), filt(1, "lp24", 520, 0.25),
            env(1, 0.005, 0.1, 1.0, 0.15), lfo(2, "sine", 0.25, cut=0.08), mono(30),
            matrix(("wheel", "flt1 cut", 0.3), ("lfo2", "osc2 fine", 0.3)))),
        Preset(b, "Wobble", patch(
            osc(1, "wave", "saw", semi=-12, vol=0.55), osc(2, "wave", "square", semi=-12, fine=-6, vol=0.4),
            filt(1, "lp24", 380, 0.5), env(1, 0.003, 0.2, 1.0, 0.1),
            lfo(1, "sine", "1/8", sync=True, cut=0.3), mono(20), drive(0.35, -1),
            matrix(("wheel", "lfo1 rate", 0.12)))),
        Preset(b, "Sub Thump", patch(
            osc(2, "wave", "sine", semi=-12, vol=0.9), osc(1, "wave", "tri", semi=-12, vol=0.2),
            env(1, 0.001, 0.45, 0.5, 0.1), env(2, 0.001, 0.06, 0.0, 0.05, tune=0.08),
            filt(1, "lp12", 900), mono(), eq(low_db=2, low_hz=60),
            matrix(("wheel", "osc1 vol", 0.4)))),
        Preset(b, "Split Growl", patch(
            osc(1, "wave", "saw", semi=-12, vol=0.6), osc(2, "wave", "square", vol=0.4),
            noise("white", 0.06), routing("split"), filt(1, "lp24", 300, 0.4),
            filt(2, "bp", 900, 0.55, track=0.6), env(1, 0.003, 0.35, 0.75, 0.12),
            env(2, 0.002, 0.3, 0.2, 0.1, cut=0.25), lfo(3, "square", "1/16", sync=True, cut=0.0), mono(25),
            matrix(("wheel", "flt2 cut", 0.3), ("lfo3", "flt2 res", 0.2)))),
        Preset(b, "Parallel Pick", patch(
            osc(1, "wave", 0.4, semi=-12, vol=0.6), osc(3, "pulse", semi=-12, width=0.25, vol=0.35),
            routing("parallel"), filt(1, "lp24", 260, 0.2), filt(2, "bp", 1400, 0.35),
            env(1, 0.001, 0.35, 0.45, 0.12, vel=0.5), env(2, 0.001, 0.12, 0.0, 0.1, cut=0.3), poly(8),
            matrix(("velocity", "flt2 cut", 0.2), ("wheel", "flt2 res", 0.3)))),
    ]


def lead():
    b = "Lead"
    return [
        Preset(b, "Saw Lead", patch(
            osc(1, "wave", "saw", vol=0.5), osc(2, "wave", "saw", fine=8, vol=0.45),
            filt(1, "lp24", 2600, 0.3, track=0.5), env(1, 0.005, 0.3, 0.85, 0.2),
            env(3, 0.002, 0.35, 0.3, 0.2, cut=0.12), mono(60, legato=True, bend=12),
            echo(0.25, "1/8D", 0.35, 300, 0.2), reverb(0.15, 0.5), wheel_vibrato())),
        Preset(b, "Square Lead", patch(
            osc(1, "pulse", width=0.5, vol=0.55), osc(2, "wave", "square", semi=-12, vol=0.3),
            filt(1, "lp12", 1800, 0.35, track=0.6), env(1, 0.004, 0.2, 0.9, 0.15),
            lfo(3, "sine", 5.0, fade=0.4), mono(40),
            matrix(("pressure", "slot2 amount", 1.0), ("lfo3", "fine", 0.5), ("wheel", "flt1 cut", 0.25)),
            echo(0.2, "1/4", 0.3))),
        Preset(b, "FM Scream", patch(
            fm(1, 2.5, 0.45, 1.0, 0.2, vol=0.5), filt(1, "lp24", 3200, 0.25), env(1, 0.003, 0.4, 0.9, 0.2),
            env(2, 0.05, 0.8, 0.4, 0.3), mono(50), drive(0.5, -3),
            matrix(("env2", "osc1 mod1", 0.3), ("wheel", "osc1 mod1", 0.4)), reverb(0.12, 0.4))),
        Preset(b, "Whistle", patch(
            osc(1, "wave", "sine", semi=12, vol=0.7), noise("pink", 0.08), filt(1, "lp12", 5000, 0.1),
            env(1, 0.04, 0.2, 0.9, 0.25), lfo(1, "sine", 5.5, fade=0.6), mono(90),
            matrix(("lfo1", "osc1 fine", 0.3), ("wheel", "noise vol", 0.25)), reverb(0.25, 0.6))),
        Preset(b, "Supersaw Lead", patch(
            osc(1, "wave", "saw", vol=0.6), spread(1, 8, 0.3, mix=0.8, width=0.9), filt(1, "hp", 180),
            filt(2, "lp12", 7000, 0.1), env(1, 0.006, 0.3, 0.85, 0.3), poly(8), chorus(0.3),
            echo(0.22, "1/8", 0.4, 400, 0.8), reverb(0.2, 0.6), wheel_vibrato(depth=0.3))),
        Preset(b, "Flute Lead", patch(
            osc(1, "wave", "tri", vol=0.6), noise("white", 0.05), filt(1, "bp", 250, 0.1, track=1.0),
            filt(2, "lp12", 6000), routing("serial"), env(1, 0.06, 0.2, 0.85, 0.2),
            lfo(2, "triangle", 4.8, fade=0.8), mono(35),
            matrix(("lfo2", "fine", 0.25), ("wheel", "noise vol", 0.2)), reverb(0.3, 0.55))),
        Preset(b, "Peak Sweep", patch(
            osc(1, "wave", 0.45, vol=0.55), osc(2, "pulse", width=0.4, fine=-6, vol=0.35),
            filt(1, "peak", 1200, 0.7), filt(2, "lp24", 5000, 0.1), env(1, 0.003, 0.3, 0.8, 0.2),
            lfo(1, "triangle", "1/2", sync=True, cut=0.2), mono(30), echo(0.2, "1/8", 0.4),
            matrix(("wheel", "lfo1 rate", 0.25)))),
        Preset(b, "Pressure Lead", patch(
            osc(1, "wave", 0.55, vol=0.55), osc(2, "wave", "saw", semi=7, vol=0.25),
            filt(1, "lp24", 1500, 0.4, track=0.5), env(1, 0.01, 0.3, 0.85, 0.2), lfo(3, "sine", 6.0),
            mono(45), matrix(("key pressure", "flt1 cut", 0.35), ("pressure", "slot3 amount", 1.0),
                             ("lfo3", "fine", 0.4), ("wheel", "osc2 vol", 0.3)), reverb(0.12))),
        Preset(b, "Glide Sine", patch(
            osc(1, "wave", "sine", vol=0.6), osc(3, "fm", vol=0.25, semi=12),
            {"Osc3Mod1Ratio": 0.08, "Osc3Mod1Amt": 0.25}, filt(1, "lp12", 4000),
            env(1, 0.01, 0.2, 0.9, 0.3), mono(150, legato=True, bend=12), echo(0.3, 375, 0.45, 400, 0.1),
            matrix(("wheel", "osc3 mod1", 0.5)), wheel_vibrato(5.0, 0.3, lfo_number=2, first=2))),
    ]


def pad():
    b = "Pad"
    return [
        Preset(b, "Slow Sweep", patch(
            osc(1, "wave", "saw", vol=0.5), osc(2, "wave", "saw", fine=9, vol=0.45),
            spread(1, 4, 0.3, mix=0.6, width=0.9), filt(1, "lp24", 700, 0.35),
            env(1, 0.6, 0.5, 0.9, 1.2), lfo(1, "triangle", 0.08, glob=True, cut=0.2), poly(16),
            chorus(0.35), reverb(0.35, 0.7, 0.45), matrix(("wheel", "flt1 cut", 0.3)))),
        Preset(b, "Glass", patch(
            fm(1, 2.0, 0.25, 5.0, 0.1, vol=0.5), osc(2, "wave", "sine", semi=12, vol=0.3),
            filt(1, "lp12", 6000), env(1, 0.35, 1.0, 0.7, 1.2), env(2, 0.8, 1.5, 0.3, 1.0),
            matrix(("env2", "osc1 mod1", 0.3), ("wheel", "osc1 mod2", 0.4)), poly(16),
            chorus(0.3, 0.4), reverb(0.4, 0.75, 0.5))),
        Preset(b, "Breath", patch(
            osc(1, "wave", "sine", vol=0.4), noise("stereo pink", 0.35), filt(1, "bp", 1100, 0.45, track=0.7),
            filt(2, "lp12", 5000), env(1, 0.8, 0.5, 0.9, 1.2), lfo(2, "sine", 0.15, cut=0.0),
            matrix(("lfo2", "flt1 cut", 0.15), ("wheel", "noise vol", 0.12)), poly(16), reverb(0.4, 0.7))),
        Preset(b, "Choir", patch(
            osc(1, "wave", 0.32, vol=0.5), osc(2, "wave", "saw", fine=-7, vol=0.4),
            spread(1, 3, 0.25, mix=0.5, width=0.7), routing("parallel"), filt(1, "bp", 700, 0.55),
            filt(2, "bp", 1200, 0.55), env(1, 0.45, 0.5, 0.9, 0.9), lfo(1, "sine", 4.5, fade=1.0),
            matrix(("lfo1", "fine", 0.15), ("wheel", "flt2 cut", 0.15)), poly(16), chorus(0.3),
            reverb(0.4, 0.7))),
        Preset(b, "Dark Drone", patch(
            osc(1, "wave", "square", semi=-12, vol=0.45), osc(2, "wave", 0.1, fine=5, vol=0.4),
            filt(1, "lp24", 420, 0.45), env(1, 1.0, 0.5, 1.0, 1.5),
            lfo(2, "random glide", 0.5, cut=0.12), lfo(1, "sine", 0.1, pos=0.1), poly(16),
            reverb(0.45, 0.8, 0.4), matrix(("wheel", "flt1 cut", 0.25)))),
        Preset(b, "Shimmer", patch(
            osc(1, "wave", "saw", vol=0.4), osc(2, "wave", "sine", semi=12, vol=0.3),
            spread(1, 5, 0.25, mix=0.6, width=1.0), filt(1, "hp", 300), filt(2, "lp12", 8000),
            env(1, 0.5, 0.6, 0.85, 1.2), poly(16), echo(0.25, "1/4", 0.45, 800, 0.9),
            reverb(0.45, 0.8, 0.35), matrix(("wheel", "osc2 vol", 0.4)))),
        Preset(b, "PWM Strings Pad", patch(
            osc(1, "pulse", width=0.45, vol=0.5), osc(2, "pulse", width=0.55, fine=-8, vol=0.45),
            filt(1, "lp24", 1800, 0.2), env(1, 0.4, 0.6, 0.85, 1.0), lfo(1, "triangle", 0.6, pos=0.3),
            lfo(2, "sine", 0.45, phase=0.25), matrix(("lfo2", "osc2 pos", 0.3), ("wheel", "flt1 cut", 0.2)),
            poly(16), chorus(0.45, 0.5), reverb(0.3))),
        Preset(b, "Morphing Table", patch(
            osc(1, "wave", 0.2, vol=0.5), osc(2, "wave", 0.7, semi=12, vol=0.25),
            filt(1, "lp24", 2200, 0.25), env(1, 0.7, 0.5, 0.9, 1.2), lfo(1, "saw", 0.12, pos=0.3),
            lfo(2, "triangle", 0.07, pos=0.0), matrix(("lfo2", "osc2 pos", 0.25), ("wheel", "pos", 0.3)),
            poly(16), chorus(0.3), reverb(0.35, 0.7))),
        Preset(b, "Notch Phaser", patch(
            osc(1, "wave", "saw", vol=0.5), osc(2, "wave", "saw", fine=6, vol=0.45),
            routing("parallel"), filt(1, "bs", 900, 0.3), filt(2, "lp24", 3000, 0.2),
            env(1, 0.4, 0.5, 0.9, 1.0), lfo(1, "sine", 0.3, cut=0.25), poly(16), chorus(0.25),
            reverb(0.3), matrix(("wheel", "lfo1 rate", 0.2)))),
    ]


def keys():
    b = "Keys"
    return [
        Preset(b, "Electric Piano", patch(
            fm(1, 1.0, 0.35, 1.0, 0.0, vol=0.6), fm(2, 1.0, 0.1, 7.0, 0.25, vol=0.2),
            env(1, 0.002, 1.8, 0.0, 0.35, vel=0.6), env(2, 0.001, 0.2, 0.0, 0.2),
            lfo(1, "sine", 4.0), matrix(("velocity", "osc1 mod1", 0.3), ("env2", "osc2 vol", 0.3),
                                    ("wheel", "slot4 amount", 1.0), ("lfo1", "pan", 0.4)),
            poly(16), chorus(0.25, 0.5), reverb(0.15))),
        Preset(b, "Tine Keys", patch(
            fm(1, 1.0, 0.25, 10.0, 0.15, vol=0.6), env(1, 0.001, 2.5, 0.0, 0.4, vel=0.5, pos=0.2),
            lfo(2, "triangle", 3.5, glob=True), matrix(("lfo2", "osc1 pan", 0.5), ("velocity", "osc1 mod2", 0.2),
                                                       ("wheel", "osc1 mod1", 0.3)),
            poly(16), reverb(0.2))),
        Preset(b, "Drawbar Organ", patch(
            osc(1, "wave", "sine", vol=0.45), osc(2, "wave", "sine", semi=12, vol=0.35),
            osc(3, "wave", "sine", semi=19, vol=0.25), filt(1, "lp12", 9000),
            env(1, 0.003, 0.1, 1.0, 0.05), lfo(1, "sine", 6.5, glob=True),
            matrix(("lfo1", "fine", 0.08), ("wheel", "osc3 vol", 0.3)), poly(16),
            chorus(0.4, 6.0, 0.6, 2.0), reverb(0.15))),
        Preset(b, "Clavinet", patch(
            osc(1, "pulse", width=0.15, vol=0.55), osc(2, "pulse", width=0.3, semi=12, vol=0.2),
            filt(1, "bp", 1400, 0.45, track=0.8), env(1, 0.001, 0.8, 0.0, 0.06, vel=0.5),
            env(3, 0.001, 0.15, 0.0, 0.05, cut=0.15), matrix(("velocity", "flt1 cut", 0.2),
                                                            ("wheel", "flt1 res", 0.3)),
            poly(16), eq(high_db=3, high_hz=3000), drive(0.2))),
        Preset(b, "Bell Keys", patch(
            fm(1, 3.5, 0.3, 1.0, 0.0, vol=0.55), osc(2, "wave", "sine", vol=0.35),
            env(1, 0.001, 3.0, 0.0, 1.0, vel=0.4), env(2, 0.001, 0.6, 0.0, 0.5),
            matrix(("env2", "osc1 mod1", 0.35), ("wheel", "osc1 ratio2", 0.2), ("wheel", "osc1 mod2", 0.3)),
            poly(16), reverb(0.3, 0.7))),
        Preset(b, "Marimba", patch(
            osc(1, "wave", "tri", vol=0.55), fm(2, 4.0, 0.2, 1.0, 0.0, vol=0.3),
            env(1, 0.001, 0.6, 0.0, 0.25, vel=0.5), env(2, 0.001, 0.08, 0.0, 0.08),
            matrix(("env2", "osc2 vol", 0.4), ("wheel", "osc2 mod1", 0.3)), filt(1, "lp12", 5000),
            poly(16), reverb(0.2, 0.4))),
        Preset(b, "Toy Piano", patch(
            osc(1, "wave", "square", semi=12, vol=0.4), osc(2, "pulse", width=0.2, semi=24, vol=0.15),
            filt(1, "hp", 400), filt(2, "lp12", 7000), env(1, 0.001, 0.7, 0.0, 0.2, vel=0.4),
            poly(16), echo(0.15, "1/8", 0.25), matrix(("wheel", "osc2 vol", 0.3)))),
        Preset(b, "Harpsichord", patch(
            osc(1, "wave", "saw", vol=0.45), osc(2, "pulse", width=0.2, semi=12, vol=0.3),
            filt(1, "hp", 250), filt(2, "lp12", 6000, 0.1), env(1, 0.001, 1.4, 0.0, 0.3),
            matrix(("alternate", "pan", 0.25), ("wheel", "osc2 vol", 0.25)), poly(16), reverb(0.2, 0.5))),
    ]


def pluck():
    b = "Pluck"
    return [
        Preset(b, "Classic Pluck", patch(
            osc(1, "wave", "saw", vol=0.55), osc(2, "wave", "square", fine=-5, vol=0.3),
            filt(1, "lp24", 350, 0.35, track=0.5), env(1, 0.001, 0.6, 0.0, 0.3),
            env(3, 0.001, 0.25, 0.0, 0.2, cut=0.38), poly(16), reverb(0.25),
            matrix(("velocity", "flt1 cut", 0.15), ("wheel", "env3 dec", 0.2)))),
        Preset(b, "Koto", patch(
            fm(1, 3.0, 0.3, 1.0, 0.0, vol=0.6), env(1, 0.001, 1.2, 0.0, 0.3, vel=0.5, pos=0.25),
            lfo(1, "sine", 5.0, fade=0.5), matrix(("lfo1", "fine", 0.3), ("wheel", "slot1 amount", 1.0)),
            poly(16), reverb(0.25, 0.5))),
        Preset(b, "Harp", patch(
            osc(1, "wave", "tri", vol=0.55), osc(2, "wave", "sine", semi=12, vol=0.25),
            filt(1, "lp12", 3000, track=0.5), env(1, 0.001, 2.0, 0.0, 1.5, vel=0.4), poly(32),
            reverb(0.35, 0.7), matrix(("wheel", "osc2 vol", 0.3)))),
        Preset(b, "Ping Pong Pluck", patch(
            osc(1, "wave", 0.35, vol=0.55), filt(1, "lp24", 1200, 0.3), env(1, 0.001, 0.4, 0.0, 0.2),
            env(3, 0.001, 0.2, 0.0, 0.1, cut=0.25), matrix(("alternate", "pan", 0.35),
                                                           ("wheel", "flt1 cut", 0.25)),
            poly(16), echo(0.35, "1/8D", 0.4, 500, 1.0))),
        Preset(b, "Noise Pluck", patch(
            noise("white", 0.7), osc(1, "wave", "saw", vol=0.15), filt(1, "bp", 440, 0.9, track=1.0),
            filt(2, "lp12", 4000), env(1, 0.001, 0.5, 0.0, 0.2), env(3, 0.001, 0.05, 0.0, 0.05, cut=0.1),
            poly(16), reverb(0.2), matrix(("wheel", "flt1 res", -0.3)))),
        Preset(b, "Muted Guitar", patch(
            osc(1, "pulse", width=0.35, vol=0.55), osc(2, "wave", "saw", fine=4, vol=0.3),
            filt(1, "lp12", 700, 0.25, track=0.7), env(1, 0.001, 0.25, 0.0, 0.08, vel=0.4),
            env(3, 0.001, 0.1, 0.0, 0.05, cut=0.2), poly(16), eq(low_db=-3, low_hz=150),
            matrix(("wheel", "env1 dec", 0.25)))),
        Preset(b, "Kalimba", patch(
            fm(1, 5.5, 0.2, 1.0, 0.0, vol=0.4), osc(2, "wave", "sine", vol=0.45),
            env(1, 0.001, 1.0, 0.0, 0.4, vel=0.5), env(2, 0.001, 0.05, 0.0, 0.05),
            matrix(("env2", "osc1 vol", 0.5), ("wheel", "osc1 mod1", 0.3)), poly(16), reverb(0.3, 0.5))),
        Preset(b, "Scatter Pluck", patch(
            osc(1, "wave", 0.6, vol=0.5), osc(2, "wave", "square", semi=12, vol=0.2),
            filt(1, "lp24", 2000, 0.25), env(1, 0.001, 0.35, 0.0, 0.25),
            matrix(("bipolar random", "osc1 pan", 0.6), ("random", "osc2 pan", 0.5),
                   ("wheel", "flt1 cut", 0.2)), poly(16), echo(0.25, "1/16", 0.3), reverb(0.2))),
    ]


def brass_strings():
    b = "Brass & Strings"
    return [
        Preset(b, "Brass Section", patch(
            osc(1, "wave", "saw", vol=0.5), osc(2, "wave", "saw", fine=6, vol=0.45),
            filt(1, "lp24", 600, 0.15, track=0.5), env(1, 0.04, 0.3, 0.85, 0.25),
            env(3, 0.08, 0.5, 0.35, 0.3, vel=0.4, cut=0.3), poly(16), chorus(0.25),
            matrix(("velocity", "flt1 cut", 0.1), ("wheel", "flt1 cut", 0.2)), reverb(0.2))),
        Preset(b, "Solo Trumpet", patch(
            osc(1, "wave", "saw", vol=0.55), osc(2, "pulse", width=0.4, vol=0.3),
            filt(1, "lp12", 900, 0.25, track=0.6), env(1, 0.03, 0.3, 0.85, 0.2),
            env(3, 0.04, 0.4, 0.5, 0.2, cut=0.25), mono(40), lfo(3, "sine", 5.5, fade=0.7),
            matrix(("lfo3", "fine", 0.2), ("wheel", "flt1 cut", 0.2)), reverb(0.2))),
        Preset(b, "Horn Swell", patch(
            osc(1, "wave", 0.4, vol=0.5), osc(2, "wave", "saw", semi=-12, vol=0.3),
            filt(1, "lp24", 400, 0.2), env(1, 0.5, 0.5, 0.9, 0.6), env(3, 0.9, 0.5, 0.6, 0.6, cut=0.25),
            poly(16), reverb(0.3, 0.7), matrix(("wheel", "flt1 cut", 0.2)))),
        Preset(b, "String Ensemble", patch(
            osc(1, "wave", "saw", vol=0.5), spread(1, 6, 0.3, mix=0.8, width=0.9),
            filt(1, "lp24", 3500, 0.1), filt(2, "hp", 150), env(1, 0.35, 0.5, 0.9, 0.8), poly(16),
            chorus(0.4), reverb(0.35, 0.7), wheel_vibrato(5.0, 0.25))),
        Preset(b, "Solo Cello", patch(
            osc(1, "wave", "saw", semi=-12, vol=0.6), routing("parallel"), filt(1, "lp24", 1500, 0.2),
            filt(2, "bp", 500, 0.4), env(1, 0.15, 0.3, 0.9, 0.4), lfo(1, "sine", 5.0, fade=1.0),
            mono(60), matrix(("lfo1", "fine", 0.3), ("velocity", "flt1 cut", 0.1),
                             ("wheel", "flt2 cut", 0.2)), reverb(0.25))),
        Preset(b, "Pizzicato", patch(
            osc(1, "wave", "saw", vol=0.5), osc(2, "wave", "tri", semi=-12, vol=0.3),
            filt(1, "lp12", 1400, 0.15, track=0.6), env(1, 0.001, 0.35, 0.0, 0.25, vel=0.5),
            env(3, 0.001, 0.15, 0.0, 0.1, cut=0.15), poly(32), reverb(0.3, 0.6),
            matrix(("wheel", "env1 dec", 0.25)))),
        Preset(b, "Eighties Strings", patch(
            osc(1, "pulse", width=0.4, vol=0.45), osc(2, "wave", "saw", fine=-9, vol=0.4),
            lfo(1, "triangle", 0.8, pos=0.25), filt(1, "lp24", 2500, 0.15),
            env(1, 0.3, 0.5, 0.9, 0.7), poly(16), chorus(0.6, 0.7, 0.9), eq(high_db=-3, high_hz=6000),
            reverb(0.25), matrix(("wheel", "flt1 cut", 0.2)))),
        Preset(b, "FM Brass", patch(
            fm(1, 1.0, 0.4, 1.0, 0.0, vol=0.55), filt(1, "lp24", 3000, 0.1),
            env(1, 0.05, 0.4, 0.8, 0.2, pos=-0.15), env(2, 0.08, 0.4, 0.5, 0.3),
            matrix(("env2", "osc1 mod1", 0.25), ("velocity", "osc1 mod1", 0.15), ("wheel", "osc1 mod2", 0.3)),
            drive(0.25), poly(16), reverb(0.2))),
    ]


def fx():
    b = "FX"
    return [
        Preset(b, "Wind", patch(
            noise("stereo pink", 0.8), filt(1, "bp", 800, 0.6), filt(2, "lp12", 4000),
            env(1, 1.0, 0.5, 1.0, 1.5), lfo(1, "random glide", 0.6, cut=0.15),
            lfo(2, "sine", 0.13, glob=True, cut=0.0), matrix(("lfo2", "flt1 cut", 0.12),
                                                          ("wheel", "flt1 res", 0.3)),
            poly(8), reverb(0.3, 0.8))),
        Preset(b, "Sea Waves", patch(
            noise("stereo white", 0.6), filt(1, "lp12", 600, 0.1), env(1, 0.8, 0.5, 1.0, 2.0),
            lfo(1, "sine", 0.12, glob=True, cut=0.25), lfo(2, "triangle", 0.09, glob=True),
            matrix(("lfo2", "noise pan", 0.5), ("wheel", "lfo1 rate", 0.15)), poly(8), reverb(0.4, 0.9, 0.6))),
        Preset(b, "Laser Zap", patch(
            osc(2, "wave", "saw", semi=12, vol=0.5), fm(1, 1.5, 0.3, semi=12, vol=0.3),
            filt(1, "lp24", 5000, 0.4), env(1, 0.001, 0.35, 0.0, 0.2),
            env(2, 0.001, 0.3, 0.0, 0.2, tune=0.3), matrix(("env2", "osc1 tune", 0.3),
                                                           ("wheel", "env2 dec", 0.3)),
            poly(8), echo(0.3, 180, 0.4, 600, 0.9))),
        Preset(b, "Alarm", patch(
            osc(1, "wave", "square", semi=12, vol=0.35), filt(1, "lp12", 3000), env(1, 0.005, 0.1, 1.0, 0.1),
            lfo(1, "square", "1/8", sync=True), matrix(("lfo1", "tune", 0.1), ("wheel", "lfo1 rate", 0.15)),
            poly(4))),
        Preset(b, "Computer Bleeps", patch(
            osc(1, "wave", "sine", semi=12, vol=0.5), osc(2, "pulse", width=0.25, semi=12, vol=0.15),
            lfo(1, "random hold", "1/16", sync=True), matrix(("lfo1", "semi", 0.24),
                                                              ("wheel", "lfo1 rate", 0.15)),
            env(1, 0.002, 0.1, 1.0, 0.1), filt(1, "lp12", 6000), poly(4), echo(0.2, "1/16", 0.3))),
        Preset(b, "Riser", patch(
            osc(1, "wave", "saw", vol=0.45), spread(1, 4, 0.4, mix=0.6), noise("white", 0.2),
            filt(1, "hp", 100, 0.3), env(1, 1.2, 0.5, 1.0, 0.8), env(3, 1.5, 1.0, 1.0, 0.8, cut=0.45),
            env(2, 1.5, 1.0, 1.0, 1.0), matrix(("env2", "tune", 0.07), ("wheel", "noise vol", 0.3)),
            poly(8), reverb(0.35, 0.8))),
        Preset(b, "Metal Hit", patch(
            fm(1, 7.5, 0.4, 3.5, 0.35, vol=0.5), fm(3, 1.5, 0.3, 9.0, 0.2, semi=-5, vol=0.3),
            env(1, 0.001, 1.5, 0.0, 1.0), filt(1, "hp", 200), routing("serial"), poly(8),
            reverb(0.35, 0.7), matrix(("wheel", "osc1 ratio1", 0.15)))),
        Preset(b, "Radio Tuning", patch(
            osc(1, "wave", "sine", vol=0.35), noise("white", 0.25), filt(1, "bp", 1200, 0.6),
            lfo(1, "random glide", 3.0, cut=0.2), lfo(2, "random pulse", 5.0),
            matrix(("lfo2", "noise vol", 0.2), ("lfo1", "osc1 tune", 0.02), ("wheel", "flt1 res", 0.3)),
            env(1, 0.05, 0.5, 1.0, 0.3), drive(0.5, -3), poly(4))),
    ]


def sequences():
    b = "Sequences"
    up_octaves = [{"note": 0}, {"note": 0}, {"note": 12}, {"note": 0}, {"note": 0}, {"note": 12},
                  {"note": 0}, {"note": 7}] * 2
    return [
        Preset(b, "Up Arp", patch(
            osc(1, "wave", "saw", vol=0.5), filt(1, "lp24", 900, 0.35), env(1, 0.001, 0.2, 0.3, 0.1),
            env(3, 0.001, 0.12, 0.0, 0.1, cut=0.25), poly(16),
            sequence(up_octaves, step="1/16", mode="up"), echo(0.25, "1/8D", 0.35),
            matrix(("wheel", "flt1 cut", 0.25)))),
        Preset(b, "Down Steps", patch(
            osc(1, "pulse", width=0.35, vol=0.5), osc(2, "wave", "tri", semi=12, vol=0.2),
            filt(1, "lp12", 1600, 0.3), env(1, 0.001, 0.25, 0.2, 0.1), poly(16),
            sequence([{"vel": 110}, {"len": 0.3}, {"vel": 0}, {"note": -12}, {"vel": 110, "note": 12},
                      {"len": 0.3}, {"vel": 0}, {}], step="1/16", mode="down"),
            echo(0.2, "1/8", 0.3), matrix(("wheel", "osc2 vol", 0.3)))),
        Preset(b, "Up Down Bells", patch(
            fm(1, 3.5, 0.25, 1.0, 0.0, vol=0.55), env(1, 0.001, 0.6, 0.0, 0.4, vel=0.3, pos=0.2), poly(16),
            sequence([{"note": 0}, {"note": 12}, {"note": 0}, {"note": 7}, {"note": 12}, {"note": 19}],
                     step="1/16", mode="updown"),
            echo(0.25, "1/8", 0.4, 600, 0.9), reverb(0.25), matrix(("wheel", "osc1 mod1", 0.3)))),
        Preset(b, "Filter Groove", patch(
            osc(1, "wave", "saw", semi=-12, vol=0.55), osc(2, "wave", "square", semi=-12, fine=5, vol=0.3),
            filt(1, "lp24", 300, 0.55), env(1, 0.001, 0.2, 0.6, 0.05), poly(8),
            sequence([{"a": v, "len": 0.5} for v in (0.1, 0.3, -0.1, 0.5, 0.2, 0.6, 0.0, 0.8)],
                     step="1/16", mode="up"),
            matrix(("seq a", "flt1 cut", 0.5), ("wheel", "flt1 res", 0.25)), drive(0.3))),
        Preset(b, "Smooth Morph", patch(
            osc(1, "wave", 0.25, vol=0.5), osc(2, "wave", "saw", semi=12, vol=0.2),
            filt(1, "lp24", 2000, 0.3), env(1, 0.005, 0.3, 0.7, 0.2), poly(16),
            sequence([{"a": a, "b": bb} for a, bb in ((-1, -0.8), (0.5, 0.8), (-0.3, -0.2), (1.0, 0.6))],
                     step="1/8", mode="up", smooth_a=True, smooth_b=True),
            matrix(("seq a", "osc1 pos", 0.25), ("seq b", "pan", 0.3), ("wheel", "flt1 cut", 0.2)),
            chorus(0.3), reverb(0.25))),
        Preset(b, "Triplet Arp", patch(
            osc(1, "wave", "tri", vol=0.5), osc(2, "pulse", width=0.3, semi=12, vol=0.2),
            filt(1, "lp12", 2500, 0.2), env(1, 0.001, 0.3, 0.0, 0.2), poly(16),
            sequence([{"note": 0}, {"note": 12}, {"note": 0, "vel": 70}], step="1/8T", mode="up"),
            echo(0.25, "1/4T", 0.35), reverb(0.2), matrix(("wheel", "osc2 vol", 0.15)))),
        Preset(b, "Trance Gate", patch(
            osc(1, "wave", "saw", vol=0.5), spread(1, 7, 0.3, mix=0.8, width=0.9), filt(1, "lp24", 3000, 0.2),
            env(1, 0.002, 0.05, 1.0, 0.04), poly(16),
            sequence([{"len": 0.4}, {"len": 0.1}, {"len": 0.6}, {"vel": 0}, {"len": 0.4}, {"len": 0.1},
                      {"len": 0.8}, {"len": 0.2}], step="1/16", mode="up"),
            echo(0.2, "1/8D", 0.3), reverb(0.25), matrix(("wheel", "flt1 cut", 0.2)))),
        Preset(b, "Acid Sequence", patch(
            osc(1, "wave", "saw", semi=-12, vol=0.6), filt(1, "lp24", 350, 0.7), env(1, 0.001, 0.2, 0.5, 0.05),
            env(3, 0.001, 0.15, 0.0, 0.05, cut=0.3), mono(30), drive(0.4, -2),
            sequence([{"note": 0, "vel": 120, "b": 0.4}, {"note": 0, "b": -0.2}, {"note": 12, "b": 0.6},
                      {"note": 0, "vel": 0}, {"note": 3, "b": 0.2}, {"note": 0, "vel": 120, "b": 0.8},
                      {"note": -12, "b": -0.4}, {"note": 10, "b": 0.3}], step="1/16", mode="up"),
            matrix(("seq b", "flt1 cut", 0.3), ("wheel", "flt1 res", 0.12)))),
        Preset(b, "Ambient Steps", patch(
            osc(1, "wave", "sine", vol=0.5), osc(2, "wave", "tri", semi=12, vol=0.25),
            filt(1, "lp12", 3000), env(1, 0.01, 0.8, 0.2, 0.8), poly(32),
            sequence([{"note": 0}, {"note": 7}, {"note": 12}, {"vel": 0}, {"note": 5}, {"note": 0}],
                     step="1/8", mode="updown"),
            echo(0.35, "1/4D", 0.35, 300, 0.8), reverb(0.4, 0.7), matrix(("wheel", "osc2 vol", 0.3)))),
    ]


def library():
    return bass() + lead() + pad() + keys() + pluck() + brass_strings() + fx() + sequences()
