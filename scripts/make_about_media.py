#!/usr/bin/env python3
"""Draws the about panel's three pictures and synthesizes its short melody.

    scripts/make_about_media.py [OUTPUT_DIR]      (default: data/sample)

The pictures are drawn with ImageMagick's `convert` and saved as baseline
JPEG; the melody is a few seconds of soft sine tones written with the
standard `wave` module (8-bit mono, 11025 Hz, so the file stays small).
"""
import math
import os
import struct
import subprocess
import sys
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "data", "sample")


def convert(*args):
    subprocess.run(["convert", *args], check=True)


def banner(path, top, bottom, title, subtitle):
    # A water-coloured gradient with a crest line and a wave, the name on it.
    convert("-size", "321x110", f"gradient:{top}-{bottom}",
            "-fill", "none", "-stroke", "#ffffff", "-strokewidth", "2",
            "-draw", "path 'M 0,86 C 40,70 80,102 120,86 S 200,70 240,86 S 300,102 321,86'",
            "-stroke", "#1d3557", "-strokewidth", "3",
            "-draw", "line 0,60 321,60",
            "-stroke", "none", "-fill", "#ffffff",
            "-font", "DejaVu-Sans-Bold", "-pointsize", "26",
            "-annotate", "+14+40", title,
            "-font", "DejaVu-Sans", "-pointsize", "12",
            "-annotate", "+16+104", subtitle,
            "-strip", "-interlace", "none", "-quality", "88", path)


def square(path):
    convert("-size", "70x70", "xc:#1d3557",
            "-fill", "#a8dadc", "-stroke", "none",
            "-draw", "polygon 10,14 35,58 60,14 50,14 35,42 20,14",
            "-fill", "none", "-stroke", "#ffffff", "-strokewidth", "2",
            "-draw", "path 'M 4,63 C 16,57 24,69 35,63 S 54,57 66,63'",
            "-strip", "-interlace", "none", "-quality", "90", path)


def melody(path):
    rate = 11025
    # A short rising and falling phrase (Hz, seconds).
    notes = [(523.25, 0.30), (659.25, 0.30), (783.99, 0.30), (1046.5, 0.45),
             (783.99, 0.30), (659.25, 0.30), (698.46, 0.30), (587.33, 0.30),
             (523.25, 0.80)]
    frames = bytearray()
    for freq, seconds in notes:
        count = int(rate * seconds)
        for i in range(count):
            t = i / rate
            # A quick attack and a gentle decay keep the notes apart.
            envelope = min(1.0, i / (0.01 * rate)) * math.exp(-3.0 * t / seconds)
            sample = 0.45 * envelope * (math.sin(2 * math.pi * freq * t)
                                        + 0.3 * math.sin(4 * math.pi * freq * t)) / 1.3
            frames += struct.pack("B", int(128 + 127 * sample))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(1)
        out.setframerate(rate)
        out.writeframes(bytes(frames))


def main():
    os.makedirs(OUT, exist_ok=True)
    banner(os.path.join(OUT, "LOGO_LEVY.jpg"), "#457b9d", "#a8dadc",
           "VELDRON", "Transformace povodňové vlny")
    banner(os.path.join(OUT, "LOGO_PRAVY.jpg"), "#1d3557", "#457b9d",
           "Nádrž a přeliv", "Vývojový tým VELDRON")
    square(os.path.join(OUT, "LOGO_ZNAK.jpg"))
    melody(os.path.join(OUT, "ZVUK.wav"))


if __name__ == "__main__":
    main()
