#!/usr/bin/python3
"""Writes the query window's background music, resources/query/tune.mid: the folk song
茉莉花 (Mo Li Hua, public domain) in our own simple arrangement, a flute over a soft
piano, as a Standard MIDI File of format 0.

The melody is written below in numbered notation (1 = F, pentatonic: 1 2 3 5 6), each
note with its length in sixteenths; the piano plays the phrase's root on every half bar.
The whole song is played twice, the second time with the flute an octave higher.
Run: /usr/bin/python3 resources/make_tune.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "query", "tune.mid")

TICKS = 480                # per quarter note
SIXTEENTH = TICKS // 4
TEMPO_BPM = 72
FLUTE, PIANO = 73, 0       # General MIDI programs
DO = 65                    # 1 = F4

# Scale degree -> semitones above "1"; "'" marks the octave above, "," the one below.
DEGREES = {"1": 0, "2": 2, "3": 4, "4": 5, "5": 7, "6": 9, "7": 11}


def pitch(note):
    base = DO + DEGREES[note[0]]
    return base + 12 * note.count("'") - 12 * note.count(",")


# (note, sixteenths); "0" is a rest.
MELODY = [
    # 好一朵美丽的茉莉花 (twice)
    ("3", 2), ("3", 1), ("5", 1), ("6", 1), ("1'", 1), ("1'", 1), ("6", 1),
    ("5", 2), ("5", 1), ("6", 1), ("5", 4),
    ("3", 2), ("3", 1), ("5", 1), ("6", 1), ("1'", 1), ("1'", 1), ("6", 1),
    ("5", 2), ("5", 1), ("6", 1), ("5", 4),
    # 芬芳美丽满枝桠
    ("5", 2), ("5", 2), ("5", 2), ("3", 1), ("5", 1),
    ("6", 2), ("6", 2), ("5", 4),
    # 又香又白人人夸
    ("3", 2), ("2", 1), ("3", 1), ("5", 2), ("3", 1), ("2", 1),
    ("1", 2), ("1", 1), ("2", 1), ("1", 4),
    # 让我来将你摘下
    ("3", 1), ("2", 1), ("1", 1), ("3", 1), ("2", 3), ("3", 1),
    ("5", 2), ("6", 1), ("1'", 1), ("5", 4),
    # 送给别人家
    ("2", 2), ("3", 1), ("5", 1), ("2", 1), ("3", 1), ("1", 1), ("6,", 1),
    ("5,", 6), ("0", 2),
    # 茉莉花呀茉莉花
    ("6,", 2), ("1", 1), ("2", 1), ("3", 1), ("2", 1), ("1", 1), ("6,", 1),
    ("1", 2), ("2", 1), ("6,", 1), ("5,", 4),
]

# The piano's root for each half bar (eight sixteenths per bar of 2/4).
BASS = ["1", "1", "5,", "1", "1", "1", "5,", "1",
        "1", "5,", "1", "1", "6,", "1", "1", "1",
        "6,", "1", "5,", "1", "5,", "5,", "5,", "5,",
        "6,", "1", "6,", "5,"]


def varlen(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


def build_events():
    """(tick, order, bytes) for every event; order puts note-offs before note-ons."""
    events = []
    t = 0
    for octave in (0, 12):
        start = t
        for note, length in MELODY:
            ticks = length * SIXTEENTH
            if note != "0":
                p = pitch(note) + octave
                events.append((t, 1, bytes((0x90, p, 92))))
                # A short breath before the next note keeps repeated notes apart.
                events.append((t + ticks - 20, 0, bytes((0x80, p, 0))))
            t += ticks
        half = 4 * SIXTEENTH
        for k, root in enumerate(BASS):
            at = start + k * half
            if at >= t:
                break
            p = pitch(root) - 12
            events.append((at, 1, bytes((0x91, p, 58))))
            events.append((at + half - 10, 0, bytes((0x81, p, 0))))
        t += 2 * 8 * SIXTEENTH  # a bar of silence between the two rounds and at the end
    return sorted(events), t


def track_bytes():
    us_per_quarter = 60_000_000 // TEMPO_BPM
    head = [
        (0, b"\xFF\x03" + varlen(len(b"Mo Li Hua")) + b"Mo Li Hua"),
        (0, b"\xFF\x51\x03" + us_per_quarter.to_bytes(3, "big")),
        (0, b"\xFF\x58\x04\x02\x02\x18\x08"),  # 2/4
        (0, bytes((0xC0, FLUTE))),
        (0, bytes((0xC1, PIANO))),
        (0, bytes((0xB0, 7, 100))),
        (0, bytes((0xB1, 7, 80))),
    ]
    events, end = build_events()
    body = bytearray()
    now = 0
    for tick, data in head + [(tick, data) for tick, _, data in events]:
        body += varlen(tick - now) + data
        now = tick
    body += varlen(end - now) + b"\xFF\x2F\x00"
    return bytes(body), end


def main():
    track, end = track_bytes()
    data = (b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS) +
            b"MTrk" + struct.pack(">I", len(track)) + track)
    with open(OUT, "wb") as f:
        f.write(data)
    seconds = end / TICKS * 60 / TEMPO_BPM
    print("wrote %s, %d bytes, %.1f s" % (OUT, len(data), seconds))


if __name__ == "__main__":
    main()
