#!/usr/bin/env python3
"""Generates the benchmark corpora, modelled on partial downloads as the clients keep them.

    korpora.py ZIEL [--large | --only-large]

mixed   two large partial downloads (64 and 80 MB: downloaded stretches of compressed media
        between zero-filled gaps), 300 small binary metadata files, three text lists
media   four 10 MB files of incompressible media data
klein   2,500 small files
gross   one 5 GiB sparse file with a few downloaded stretches (only with --large)
"""
import os
import random
import sys

ziel = sys.argv[1]
zufall = random.Random(2026)


def schreiben(ordner, name, daten):
    os.makedirs(ordner, exist_ok=True)
    with open(os.path.join(ordner, name), "wb") as f:
        f.write(daten)


def teildownload(größe):
    """Downloaded stretches (incompressible) and zero-filled gaps, about half each."""
    daten = bytearray(größe)
    stelle = 0
    while stelle < größe:
        stück = min(zufall.randint(1 << 20, 6 << 20), größe - stelle)
        if zufall.random() < 0.55:
            daten[stelle:stelle + stück] = zufall.randbytes(stück)
        stelle += stück + zufall.randint(0, 3 << 20)
    return bytes(daten)


def metadaten(i):
    """A client's binary job record: header, name, hashes of the parts, counters."""
    teile = zufall.randint(1, 200)
    name = f"Film {i} - Teil {zufall.randint(1, 9)}.avi".encode()
    return (b"\xe0\x0e" + len(name).to_bytes(2, "little") + name + zufall.randbytes(16) +
            teile.to_bytes(2, "little") + b"".join(zufall.randbytes(16) for _ in range(teile)) +
            b"".join(zufall.randint(0, 1 << 30).to_bytes(4, "little") + b"\x00\x00\x00\x00" for _ in range(teile // 4)))


def liste(zeilen):
    return "".join(f"http://server{zufall.randint(1, 40)}.example.net/dl/{zufall.randint(1, 10**6)}/"
                   f"Datei_{zufall.randint(1, 10**5)}.part;{zufall.randint(0, 1 << 31)}\r\n"
                   for _ in range(zeilen)).encode()


def standard():
    mixed = os.path.join(ziel, "mixed")
    schreiben(mixed, "Film A.avi.part", teildownload(64 << 20))
    schreiben(mixed, "Film B.mkv.part", teildownload(80 << 20))
    for i in range(300):
        schreiben(mixed, f"{i:03d}.part.met", metadaten(i))
    for i in range(3):
        schreiben(mixed, f"liste{i}.lst", liste(15000))
    for i in range(4):
        schreiben(os.path.join(ziel, "media"), f"video{i}.avi", zufall.randbytes(10 << 20))
    klein = os.path.join(ziel, "klein")
    for i in range(2500):
        inhalt = metadaten(i)[: zufall.randint(100, 6000)] if i % 3 else liste(zufall.randint(2, 60))
        schreiben(klein, f"{i:04d}.dat", inhalt)


def gross():
    ordner = os.path.join(ziel, "gross")
    os.makedirs(ordner, exist_ok=True)
    with open(os.path.join(ordner, "Gross.iso.part"), "wb") as f:
        f.truncate(5 << 30)
        for stelle in (0, 2 << 30, (5 << 30) - (8 << 20)):
            f.seek(stelle)
            f.write(zufall.randbytes(8 << 20))


if "--only-large" not in sys.argv:
    standard()
if "--large" in sys.argv or "--only-large" in sys.argv:
    gross()
