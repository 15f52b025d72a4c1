#!/usr/bin/env python3
"""Synthesises the three announcement sounds as WAV files in the resource
format of the program: PCM, mono, 8 bits, 11025 samples per second. Standard
library only.

    python3 res/make_sounds.py         # writes res/wav/DING.wav, START.wav, END.wav

DING  a two-tone chime before every announcement (high, then a third lower);
START a rising four-note jingle when guidance starts;
END   the same notes falling when it ends."""

import math
import os
import wave

RATE = 11025
HERE = os.path.dirname(os.path.abspath(__file__))

# Equal-tempered pitches in Hz.
C5, E5, G5, C6, E6 = 523.25, 659.26, 783.99, 1046.50, 1318.51


def bell(freq, seconds, decay):
    """A struck tone: the fundamental and two soft partials, fading
    exponentially, with a 5 ms attack so that it does not click."""
    out = []
    for n in range(int(seconds * RATE)):
        t = n / RATE
        env = math.exp(-t * decay) * min(1.0, t / 0.005)
        v = (math.sin(2 * math.pi * freq * t)
             + 0.35 * math.sin(2 * math.pi * 2 * freq * t) * math.exp(-t * decay)
             + 0.12 * math.sin(2 * math.pi * 3 * freq * t))
        out.append(env * v / 1.47)
    return out


def mix(total_seconds, notes):
    """Lays (start time, samples) over one another; notes ring on."""
    buf = [0.0] * int(total_seconds * RATE)
    for start, samples in notes:
        offset = int(start * RATE)
        for i, v in enumerate(samples[:len(buf) - offset]):
            buf[offset + i] += v
    return buf


def fade_out(samples, seconds=0.05):
    n = int(seconds * RATE)
    for i in range(n):
        samples[-n + i] *= 1 - i / n
    return samples


def write(name, samples, level=0.7):
    # 8-bit PCM is unsigned, silence at 128.
    peak = max(abs(v) for v in samples) or 1.0
    frames = bytes(128 + int(round(v / peak * level * 127)) for v in samples)
    with wave.open(os.path.join(HERE, "wav", name + ".wav"), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(RATE)
        w.writeframes(frames)


def jingle(pitches):
    step = 0.11
    return fade_out(mix(0.8, [(i * step, bell(f, 0.8 - i * step, 7.0))
                              for i, f in enumerate(pitches)]))


def main():
    os.makedirs(os.path.join(HERE, "wav"), exist_ok=True)
    write("DING", fade_out(mix(1.1, [(0.0, bell(E6, 1.1, 5.0)), (0.32, bell(C6, 0.78, 4.5))])))
    write("START", jingle([C5, E5, G5, C6]))
    write("END", jingle([C6, G5, E5, C5]))


if __name__ == "__main__":
    main()
