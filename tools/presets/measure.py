#!/usr/bin/env python3
"""Listening by numbers: renders every factory preset with the phrase the
library test plays and prints what an ear would judge.

    python3 tools/presets/measure.py [--calibrate] [--wheel] [PRESET.prs ...]

Columns: peak and RMS (dBFS) at velocity 100; brightness (a spectral
centroid estimate from the slope of the signal, Hz); attack (time to reach
half the peak) and tail (time after the keys are released until the output
stays below -80 dBFS); DC offset over the
phrase. --wheel renders again with the mod wheel
fully up and shows the change of level and brightness. --calibrate writes
levels.txt: the level trim (dB) that puts each preset's peak at -4.5 dBFS.
Needs the native build (build/native/bin/vsthost, build/native/plugin).
"""

import array
import glob
import math
import os
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
from tvx import LEVELS, ROOT, read_levels  # noqa: E402

HOST = os.path.join(ROOT, "build", "native", "bin", "vsthost")
PLUGIN = os.path.join(ROOT, "build", "native", "plugin", "Tessaravox.so")
RATE = 44100
TARGET_PEAK_DB = -4.5
RELEASE_AT = 1.5  # seconds: the phrase's keys go up here
TAIL = 8.0


def midi_phrase(path, wheel):
    """The library test's phrase: C3 alone, a C major chord a quarter second
    later, all released at 1.5 s; 120 BPM, velocity 100."""
    ticks = 480  # per quarter note = 0.5 s
    events = []
    if wheel:
        events.append((0, bytes([0xB0, 1, 127])))
    events.append((0, bytes([0x90, 48, 100])))
    for note in (60, 64, 67):
        events.append((ticks // 2, bytes([0x90, note, 100])))
    for note in (48, 60, 64, 67):
        events.append((3 * ticks, bytes([0x80, note, 64])))
    track = bytearray()
    now = 0
    for at, data in events:
        delta = at - now
        now = at
        groups = [delta & 0x7F]
        delta >>= 7
        while delta:
            groups.insert(0, (delta & 0x7F) | 0x80)
            delta >>= 7
        track += bytes(groups) + data
    track += b"\x00\xff\x2f\x00"
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, ticks))
        f.write(b"MTrk" + struct.pack(">I", len(track)) + track)


def read_wav(path):
    with open(path, "rb") as f:
        data = f.read()
    pos = 12
    while pos < len(data):
        cid, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        if cid == b"data":
            samples = array.array("f")
            samples.frombytes(data[pos + 8:pos + 8 + size])
            return samples[0::2], samples[1::2]
        pos += 8 + size
    raise SystemExit(f"{path}: no data chunk")


def to_db(x):
    return 20 * math.log10(x) if x > 0 else -200.0


def analyse(left, right):
    both = [max(abs(a), abs(b)) for a, b in zip(left, right)]
    peak = max(both)
    n = len(left)
    sound_end = min(n, int((RELEASE_AT + 0.2) * RATE))
    rms = math.sqrt(sum(a * a + b * b for a, b in zip(left[:sound_end], right[:sound_end])) / (2 * sound_end))
    diff = math.sqrt(sum((left[i] - left[i - 1]) ** 2 for i in range(1, sound_end)) / sound_end)
    mono_rms = math.sqrt(sum(a * a for a in left[:sound_end]) / sound_end) or 1e-12
    brightness = RATE / (2 * math.pi) * diff / mono_rms
    attack = next((i for i, v in enumerate(both) if v >= peak / 2), 0) / RATE
    last_loud = max((i for i, v in enumerate(both) if v >= 1e-4), default=0)
    tail = max(0.0, last_loud / RATE - RELEASE_AT)
    phrase = int(RELEASE_AT * RATE)
    dc = max(abs(sum(left[:phrase]) / phrase), abs(sum(right[:phrase]) / phrase))
    return {"peak": to_db(peak), "rms": to_db(rms), "bright": brightness, "attack": attack, "tail": tail,
            "dc": dc, "end": to_db(max(both[-RATE // 4:]))}


def render(preset, midi, out):
    subprocess.run([HOST, "render", PLUGIN, "--midi", midi, "--out", out, "--preset", preset,
                    "--tail", str(TAIL - RELEASE_AT), "--tempo", "120"], check=True, stdout=subprocess.DEVNULL)
    return analyse(*read_wav(out))



def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    calibrate = "--calibrate" in sys.argv
    wheel = "--wheel" in sys.argv
    files = args or sorted(glob.glob(os.path.join(ROOT, "presets", "*", "*.prs")))
    levels = read_levels()
    with tempfile.TemporaryDirectory() as tmp:
        plain, up = os.path.join(tmp, "phrase.mid"), os.path.join(tmp, "wheel.mid")
        midi_phrase(plain, False)
        midi_phrase(up, True)
        print(f"{'preset':34} {'peak':>6} {'rms':>6} {'bright':>7} {'attack':>6} {'tail':>5} {'dc':>7}"
              + ("  wheel: peak  bright" if wheel else ""))
        for preset in files:
            ident = os.path.relpath(preset, os.path.join(ROOT, "presets"))[:-4]
            m = render(preset, plain, os.path.join(tmp, "x.wav"))
            line = (f"{ident:34} {m['peak']:6.1f} {m['rms']:6.1f} {m['bright']:7.0f} {m['attack']:6.2f} "
                    f"{m['tail']:5.2f} {m['dc']:7.4f}")
            if m["end"] > -80:
                line += f"  STILL SOUNDING ({m['end']:.0f} dB)"
            if wheel:
                w = render(preset, up, os.path.join(tmp, "w.wav"))
                line += f"  {w['peak'] - m['peak']:+5.1f} {w['bright'] / max(m['bright'], 1):5.2f}x"
            print(line, flush=True)
            levels[ident] = levels.get(ident, 0.0) + TARGET_PEAK_DB - m["peak"]
    if calibrate:
        with open(LEVELS, "w", encoding="utf-8") as f:
            f.write("# Level trim per preset in dB for a -4.5 dBFS peak (measure.py --calibrate)\n")
            for ident, trim in sorted(levels.items()):
                f.write(f"{ident}={trim:.2f}\n")
        print(f"wrote {LEVELS}")


if __name__ == "__main__":
    main()
