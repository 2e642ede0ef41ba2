#!/usr/bin/env python3
"""make_sounds.py - writes the sounds of the sound_pad example (run by hand).

melody.mid  a tune of 16 notes on a piano, 120 beats a minute (Standard MIDI File)
drum.wav    a 120 ms drum thump, 22050 Hz, 16-bit mono PCM
"""
import math, os, struct, wave

here = os.path.dirname(os.path.abspath(__file__))

def var_len(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, 0x80 | (n & 0x7F))
        n >>= 7
    return bytes(out)

def melody(path):
    notes = [64, 64, 65, 67, 67, 65, 64, 62, 60, 60, 62, 64, 64, 62, 62, 0]   # 0: a rest
    track = bytearray(b'\x00\xC0\x00')                       # piano
    rest = 0
    for n in notes:
        if n == 0:
            rest += 96
            continue
        track += var_len(rest) + bytes([0x90, n, 90]) + var_len(90) + bytes([0x80, n, 0])
        rest = 6                                              # a short gap between notes
    track += var_len(rest) + b'\xFF\x2F\x00'
    with open(path, 'wb') as f:
        f.write(b'MThd' + struct.pack('>IHHH', 6, 0, 1, 96))
        f.write(b'MTrk' + struct.pack('>I', len(track)) + track)

def drum(path, rate=22050):
    frames = bytearray()
    n = rate * 120 // 1000
    for i in range(n):
        t = i / rate
        freq = 150 - 90 * i / n                               # the pitch falls
        s = int(20000 * math.exp(-t * 30) * math.sin(2 * math.pi * freq * t))
        frames += struct.pack('<h', s)
    with wave.open(path, 'wb') as w:
        w.setnchannels(1); w.setsampwidth(2); w.setframerate(rate); w.writeframes(bytes(frames))

melody(os.path.join(here, 'melody.mid'))
drum(os.path.join(here, 'drum.wav'))
