"""Musical units for Tessaravox parameters, and the preset file writer.

Every knob of the synthesizer stores 0..1; these helpers turn the units a
sound designer thinks in (seconds, hertz, semitones, note divisions, matrix
codes) into those stored values, with the curves the engine applies.
"""

import os
import re

ROOT = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", ".."))
TABLE = os.path.join(ROOT, "src", "params", "parameter_table_data.inc")


def parameter_table():
    """(key, default) in parameter index order, read from the engine's table."""
    rows = []
    with open(TABLE, encoding="utf-8") as f:
        for line in f:
            m = re.match(r'\{L"(\w+)",\s*(?:L"[^"]*"|nullptr),\s*([-0-9.e]+)f?\}', line.strip())
            if m:
                rows.append((m.group(1), float(m.group(2))))
    if len(rows) != 262:
        raise SystemExit(f"{TABLE}: expected 262 parameters, found {len(rows)}")
    return rows


# --- value curves -----------------------------------------------------------

def seconds(t):
    """Envelope time: t = 20 v^3 seconds."""
    return (t / 20.0) ** (1.0 / 3.0)


def ms(t):
    return seconds(t / 1000.0)


def cutoff(hz):
    """Filter cutoff: f = 20 + 20980 v^5 Hz."""
    return max(0.0, (hz - 20.0) / 20980.0) ** 0.2


def semis(n):
    """Oscillator semitones (-24..24), centred inside the step."""
    return 0.5 + (n + 0.5) / 48.0


def cents(c):
    """Oscillator fine tune in cents (-100..100)."""
    return 0.5 + (c + 0.5) / 200.0


def lfo_hz(f):
    """Free LFO rate: f = 19.99 v^3 + 0.01 Hz."""
    return ((f - 0.01) / 19.99) ** (1.0 / 3.0)


LFO_DIVISIONS = ["8/1", "8/1T", "4/1D", "4/1", "4/1T", "2/1D", "2/1", "2/1T", "1/1D", "1/1", "1/1T",
                 "1/2D", "1/2", "1/2T", "1/4D", "1/4", "1/4T", "1/8D", "1/8", "1/8T", "1/16D", "1/16",
                 "1/16T", "1/32D", "1/32", "1/32T"]
NOTE_DIVISIONS = ["1/32T", "1/32", "1/32D", "1/16T", "1/16", "1/16D", "1/8T", "1/8", "1/8D", "1/4T",
                  "1/4", "1/4D", "1/2T", "1/2", "1/2D", "1/1T", "1/1", "1/1D"]


def lfo_sync(name):
    return (LFO_DIVISIONS.index(name) + 0.5) / len(LFO_DIVISIONS)


def division(name):
    """Sequencer step size and synced delay time."""
    return (NOTE_DIVISIONS.index(name) + 0.5) / len(NOTE_DIVISIONS)


def delay_ms(t):
    """Free delay time: 5990 v^2 + 10 ms."""
    return ((t - 10.0) / 5990.0) ** 0.5


def chorus_hz(f):
    return ((f - 0.1) / 9.9) ** 0.5


def chorus_ms(t):
    return ((t - 0.1) / 9.9) ** 0.5


def eq_low_hz(f):
    return ((f - 20.0) / 980.0) ** (1.0 / 3.0)


def eq_high_hz(f):
    return ((f - 500.0) / 17500.0) ** (1.0 / 3.0)


def db(gain):
    """Equaliser band gain, -20..+20 dB."""
    return 0.5 + gain / 40.0


def bipolar(a):
    """Module and matrix amounts, -1..+1."""
    return 0.5 + a / 2.0


def ratio(r):
    """FM ratio 1..10 in steps of 0.5."""
    return ((r - 1.0) * 2.0 + 0.5) / 18.0


def unison(n):
    """Unison copies, 1..8."""
    return 1.0 if n >= 8 else (n - 1 + 0.5) / 7.0


def voices(n):
    return 1.0 if n >= 32 else (n - 1 + 0.5) / 31.0


def bend_range(n):
    return (n + 0.5) / 24.0


def steps(n):
    return 1.0 if n >= 16 else (n - 1 + 0.5) / 15.0


def velocity(v):
    return 0.0 if v <= 0 else min(1.0, (v + 0.5) / 127.0)


WAVE = {"square": 0.0, "tri": 0.25, "saw": 0.5, "sine": 0.75}
OSC = {"off": 0, "wave": 1, "pulse": 2, "fm": 3}
NOISE = {"white": 0, "pink": 1, "stereo white": 2, "stereo pink": 3}
FILTER = {"off": 0, "lp24": 1, "lp12": 2, "hp": 3, "bp": 4, "bs": 5, "peak": 6}
ROUTING = {"serial": 0, "parallel": 1, "split": 2}
LFO = {"triangle": 0, "sine": 1, "square": 2, "saw": 3, "random hold": 4, "random glide": 5, "random pulse": 6}
SEQ_MODE = {"up": 0, "down": 1, "updown": 2}

SOURCE = {"lfo1": 1, "lfo2": 2, "lfo3": 3, "velocity": 4, "env1": 5, "env2": 6, "env3": 7, "bend": 8,
          "wheel": 9, "pressure": 10, "key pressure": 11, "random": 12, "constant": 13, "seq a": 14,
          "seq b": 15, "pedal": 16, "expression": 17, "brightness": 18, "release velocity": 19,
          "cc1": 20, "cc2": 21, "alternate": 22, "bipolar random": 23}
TARGET = {"tune": 40, "semi": 41, "fine": 42, "pos": 43, "pan": 44, "vol": 45,
          "lfo1 rate": 25, "lfo2 rate": 26, "lfo3 rate": 27,
          "flt1 cut": 19, "flt1 res": 20, "flt2 cut": 21, "flt2 res": 22, "noise vol": 23, "noise pan": 24,
          "osc1 mod1": 46, "osc1 mod2": 47, "osc2 mod1": 48, "osc2 mod2": 49, "osc3 mod1": 50, "osc3 mod2": 51,
          "osc1 ratio1": 52, "osc1 ratio2": 53, "osc2 ratio1": 54, "osc2 ratio2": 55,
          "osc3 ratio1": 56, "osc3 ratio2": 57}
for _i in range(3):
    for _j, _name in enumerate(["tune", "semi", "fine", "pos", "pan", "vol"]):
        TARGET[f"osc{_i + 1} {_name}"] = 1 + 6 * _i + _j
    for _j, _name in enumerate(["att", "dec", "sus", "rel"]):
        TARGET[f"env{_i + 1} {_name}"] = 58 + 4 * _i + _j
for _i in range(12):
    TARGET[f"slot{_i + 1} amount"] = 28 + _i


# --- preset building --------------------------------------------------------

class Preset:
    """A sound: the parameter values that differ from the defaults."""

    def __init__(self, bank, name, values, note=""):
        self.bank = bank
        self.name = name
        self.values = values
        self.note = note


def matrix(*slots, first=1):
    """Matrix slots as (source, target, amount -1..1) in slot order."""
    values = {}
    for i, (source, target, amount) in enumerate(slots, start=first):
        values[f"Mod{i}Source"] = SOURCE[source]
        values[f"Mod{i}Target"] = TARGET[target]
        values[f"Mod{i}Amount"] = bipolar(amount)
    return values


def sequence(pattern, **options):
    """Sequencer pattern: a list of steps, each a dict with any of note
    (semitones), len (0..1 gate), vel (0..127, 0 = rest), a, b (-1..1)."""
    values = {"UseSequencer": 1, "SeqStepCount": steps(len(pattern))}
    for i, step in enumerate(pattern, start=1):
        if "note" in step:
            values[f"SeqNote{i}"] = semis(step["note"])
        if "len" in step:
            values[f"SeqLen{i}"] = step["len"]
        if "vel" in step:
            values[f"SeqVel{i}"] = velocity(step["vel"])
        if "a" in step:
            values[f"SeqModA{i}"] = bipolar(step["a"])
        if "b" in step:
            values[f"SeqModB{i}"] = bipolar(step["b"])
    values["SeqStepSize"] = division(options.get("step", "1/16"))
    values["SeqMode"] = SEQ_MODE[options.get("mode", "up")]
    if options.get("smooth_a"):
        values["SeqSmoothModA"] = 1
    if options.get("smooth_b"):
        values["SeqSmoothModB"] = 1
    return values


def preset_text(preset, table):
    """The file form the plug-in writes itself: every key in index order with
    six decimals, then the name; CR LF line ends."""
    known = {key for key, _ in table}
    unknown = set(preset.values) - known
    if unknown:
        raise SystemExit(f"{preset.bank}/{preset.name}: unknown keys {sorted(unknown)}")
    lines = []
    for key, default in table:
        value = float(preset.values.get(key, default))
        lines.append(f"{key}={value:f}")
    lines.append(f"PresetName={preset.name}")
    return "".join(line + "\r\n" for line in lines)


def write_library(presets, folder):
    table = parameter_table()
    written = []
    for preset in presets:
        bank = os.path.join(folder, preset.bank)
        os.makedirs(bank, exist_ok=True)
        path = os.path.join(bank, preset.name + ".prs")
        with open(path, "w", encoding="ascii", newline="") as f:
            f.write(preset_text(preset, table))
        written.append(path)
    return written


LEVELS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "levels.txt")


def read_levels():
    """The measured level trims, preset name to gain, from levels.txt."""
    levels = {}
    if os.path.exists(LEVELS):
        with open(LEVELS, encoding="utf-8") as f:
            for line in f:
                if "=" in line and not line.startswith("#"):
                    name, value = line.rstrip("\n").rsplit("=", 1)
                    levels[name] = float(value)
    return levels
