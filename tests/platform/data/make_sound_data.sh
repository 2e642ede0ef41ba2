#!/usr/bin/env bash
# Remakes the compressed sounds of the winmm tests (by hand; the tests only
# read them): a 0.5 s pattern, 0.1 s of a 1 kHz tone then 0.4 s of silence,
# 44100 Hz mono, encoded as MP3 (lame) and Ogg Vorbis (oggenc), Debian's
# packages lame and vorbis-tools.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
python3 - "$tmp/burst.wav" <<'PY'
import math, struct, sys, wave
rate = 44100
frames = bytearray()
for i in range(rate // 2):
    s = int(16000 * math.sin(2 * math.pi * 1000 * i / rate)) if i < rate // 10 else 0
    frames += struct.pack('<h', s)
with wave.open(sys.argv[1], 'wb') as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(rate); w.writeframes(bytes(frames))
PY
lame --quiet -b 64 "$tmp/burst.wav" burst.mp3
oggenc --quiet -q 2 -o burst.ogg "$tmp/burst.wav"
rm -r "$tmp"
