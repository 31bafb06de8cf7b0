#!/usr/bin/env python3
"""Writes the recovery sound, sounds/optimize.wav, from nothing but arithmetic.

A soft rising two-note chime (E6 then B6, with a quiet octave overtone), about 0.45 s,
22,050 Hz mono 16-bit PCM: small (about 20 KB) and playable by every Windows release.

    python3 scripts/make-sound.py OUTPUT.wav
"""
import math
import struct
import sys
import wave

RATE = 22050
LENGTH_S = 0.45
NOTES = [  # (start s, frequency Hz, peak amplitude)
    (0.00, 1318.51, 0.42),
    (0.09, 1975.53, 0.36),
]


def sample_at(t):
    value = 0.0
    for start, freq, peak in NOTES:
        if t < start:
            continue
        u = t - start
        attack = min(1.0, u / 0.004)          # 4 ms rise: no click at the start
        decay = math.exp(-u * 9.0)             # bell-like fade
        tone = math.sin(2 * math.pi * freq * u) + 0.18 * math.sin(4 * math.pi * freq * u)
        value += peak * attack * decay * tone
    tail = min(1.0, (LENGTH_S - t) / 0.03)     # 30 ms fade to silence at the end
    return value * max(0.0, tail)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make-sound.py OUTPUT.wav\n")
        return 2
    count = int(RATE * LENGTH_S)
    frames = bytearray()
    for i in range(count):
        v = max(-1.0, min(1.0, sample_at(i / RATE)))
        frames += struct.pack("<h", int(round(v * 32767 * 0.8)))
    with wave.open(argv[1], "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
