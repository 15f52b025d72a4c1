#!/usr/bin/env python3
"""Speaks the announcement WAV files that ship beside the exe with Debian's
espeak-ng (its Japanese voice reads kana), in the format of the chime:
PCM, mono, 8 bits, 11025 samples per second. The loudness (RMS over the
sounding parts) is matched to res/wav/DING.wav, so that chime and voice come
at one level.

    python3 res/make_voices.py         # writes data/ship/*.wav (needs espeak-ng)

Turn phrases are the default guide phrases; a speed-camera file names the
camera's kind and, for "_h", the major road; GPS途絶 and GPS復帰 say that the
GPS signal was lost and is back."""

import array
import math
import os
import subprocess
import sys
import tempfile
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "data", "ship")
CHIME = os.path.join(HERE, "wav", "DING.wav")
RATE = 11025

# Commas between the words: without them espeak-ng loses its way in a long run
# of kana and spells some of them out.
WARNING = "スピード、ちゅうい。"
MAJOR = "かんせんどうろに、"
PHRASES = {
    "右方向": "まもなく、みぎほうこうです。",
    "左方向": "まもなく、ひだりほうこうです。",
    "直進": "このさき、ちょくしんです。",
    "目的地": "まもなく、もくてきちです。",
    "ovis1_h": "このさき、" + MAJOR + "レーダーしき、オービスです。" + WARNING,
    "ovis1_l": "このさき、レーダーしき、オービスです。" + WARNING,
    "ovis2_h": "このさき、" + MAJOR + "エイチシステムの、オービスです。" + WARNING,
    "ovis2_l": "このさき、エイチシステムの、オービスです。" + WARNING,
    "ovis3_h": "このさき、" + MAJOR + "ループコイルしき、オービスです。" + WARNING,
    "ovis3_l": "このさき、ループコイルしき、オービスです。" + WARNING,
    "オービス": "このさき、オービスです。" + WARNING,
    "GPS途絶": "ジーピーエスの、しんごうが、とだえました。",
    "GPS復帰": "ジーピーエスの、しんごうが、もどりました。",
}


def read_mono(path):
    """Samples of a mono 8- or 16-bit WAV file as floats in -1..1, and its rate."""
    with wave.open(path, "rb") as w:
        width, rate, frames = w.getsampwidth(), w.getframerate(), w.readframes(w.getnframes())
    if width == 1:
        return [(b - 128) / 128 for b in frames], rate
    return [v / 32768 for v in array.array("h", frames)], rate


def loudness(samples, rate):
    """RMS over the 20 ms blocks that are not near silence."""
    block = rate // 50
    levels = []
    for i in range(0, len(samples) - block, block):
        chunk = samples[i:i + block]
        levels.append(math.sqrt(sum(v * v for v in chunk) / block))
    loud = [v for v in levels if v > max(levels) * 0.1]
    return math.sqrt(sum(v * v for v in loud) / len(loud))


def speak(text):
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "voice.wav")
        subprocess.run(["espeak-ng", "-v", "ja", "-s", "150", "-w", path, text], check=True)
        return read_mono(path)


def to_rate(samples, rate):
    """Averages neighbours down to RATE (a simple low-pass for 22050 -> 11025)."""
    step = rate / RATE
    out = []
    for n in range(int(len(samples) / step)):
        a, b = int(n * step), max(int(n * step) + 1, int((n + 1) * step))
        out.append(sum(samples[a:b]) / (b - a))
    return out


def trim(samples, threshold=0.01):
    """Drops the silence before and after the voice, keeping 50 ms of each."""
    sounding = [i for i, v in enumerate(samples) if abs(v) > threshold]
    pad = RATE // 20
    return samples[max(0, sounding[0] - pad):sounding[-1] + pad]


def write(name, samples):
    frames = bytes(128 + max(-127, min(127, int(round(v * 127)))) for v in samples)
    with wave.open(os.path.join(OUT, name + ".wav"), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(RATE)
        w.writeframes(frames)


def main():
    chime, chime_rate = read_mono(CHIME)
    target = loudness(chime, chime_rate)
    os.makedirs(OUT, exist_ok=True)
    for name, text in PHRASES.items():
        samples, rate = speak(text)
        voice = trim(to_rate(samples, rate))
        gain = target / loudness(voice, RATE)
        # Speech peaks higher than a chime at the same loudness: limit them
        # softly rather than clip.
        write(name, [math.tanh(v * gain * 1.2) / 1.2 for v in voice])
        print(f"{name}.wav: {len(voice) / RATE:.1f} s, gain {gain:.2f}", file=sys.stderr)


if __name__ == "__main__":
    main()
