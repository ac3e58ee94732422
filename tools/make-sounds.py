#!/usr/bin/env python3
"""Writes the three built-in sound cues as 16-bit mono WAV files.

LTING: a soft two-tone chime (a page is shown, the bar starts).
CLICK: a short percussive tick (a button is pressed or released).
GLICK: a brighter double tick (a drag or a move starts).
"""
import math
import os
import struct
import sys
import wave

RATE = 22050


def tone(freq, ms, volume=0.5, decay=8.0, harmonics=(1.0, 0.3, 0.1)):
    n = int(RATE * ms / 1000)
    out = []
    for i in range(n):
        t = i / RATE
        env = math.exp(-decay * t / (ms / 1000)) * min(1.0, i / (RATE * 0.002))
        s = sum(a * math.sin(2 * math.pi * freq * (k + 1) * t) for k, a in enumerate(harmonics))
        out.append(volume * env * s / sum(harmonics))
    return out


def silence(ms):
    return [0.0] * int(RATE * ms / 1000)


def mix(*parts):
    length = max(len(p) for p in parts)
    return [sum(p[i] for p in parts if i < len(p)) for i in range(length)]


def write(path, samples):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1, min(1, s)) * 32000)) for s in samples))


def main(folder):
    os.makedirs(folder, exist_ok=True)
    write(os.path.join(folder, "LTING.wav"),
          mix(tone(1318.5, 380, 0.45, 5.0), silence(90) + tone(1760.0, 420, 0.4, 5.0)))
    write(os.path.join(folder, "CLICK.wav"), tone(2400, 28, 0.6, 12.0, (1.0, 0.5, 0.25)))
    write(os.path.join(folder, "GLICK.wav"),
          tone(3100, 24, 0.55, 12.0) + silence(30) + tone(3600, 24, 0.5, 12.0))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "assets", "builtin", "sounds"))
