#!/usr/bin/env python3
"""Writes demo/audition.mid, the phrase that scripts/build.sh plays through a
few presets of every factory bank (out/bank-*.wav): a C minor chord over C3
for a bar and a half, then a short melody that ends on a held note.

    python3 tools/presets/audition.py
"""

import os
import struct
import sys

sys.path.insert(0, os.path.dirname(__file__))
from tvx import ROOT  # noqa: E402

TICKS = 480  # per quarter note; 120 BPM, so 0.5 s


def events():
    out = []

    def note(at, length, key, velocity):
        out.append((at, 0x90, key, velocity))
        out.append((at + length - 10, 0x80, key, 64))

    for key in (48, 60, 63, 67):
        note(0, 3 * TICKS, key, 100)
    melody = [(72, 1), (75, 1), (79, 1), (77, 1), (75, 1), (74, 1), (72, 4)]  # lengths in eighths
    at = 7 * TICKS // 2
    for key, eighths in melody:
        note(at, eighths * TICKS // 2, key, 90 if eighths == 1 else 100)
        at += eighths * TICKS // 2
    note(at - 2 * TICKS, 2 * TICKS, 44, 80)  # A flat under the last note
    return sorted(out, key=lambda e: (e[0], e[1] != 0x80))


def variable(n):
    groups = [n & 0x7F]
    n >>= 7
    while n:
        groups.insert(0, (n & 0x7F) | 0x80)
        n >>= 7
    return bytes(groups)


def main():
    track = bytearray(b"\x00\xff\x51\x03\x07\xa1\x20")  # 120 BPM
    now = 0
    for at, status, key, velocity in events():
        track += variable(at - now) + bytes([status, key, velocity])
        now = at
    track += b"\x00\xff\x2f\x00"
    path = os.path.join(ROOT, "demo", "audition.mid")
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS))
        f.write(b"MTrk" + struct.pack(">I", len(track)) + track)
    print(f"wrote {path}")


if __name__ == "__main__":
    main()
