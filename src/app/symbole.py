#!/usr/bin/env python3
"""Draws Ladewerk's two icons and writes them as .ico files (16, 32, 48 and 256 pixels):
the program's (a parcel with an arrow: downloads carried elsewhere) and the packages' (a page
with the parcel on it). Called by the build; nothing here comes from elsewhere.

    symbole.py ZIELORDNER
"""
import os
import struct
import sys
import zlib

GRÖSSEN = (16, 32, 48, 256)

PAKET = (196, 150, 90)
PAKET_RAND = (120, 84, 40)
PAKET_DECKEL = (214, 172, 112)
PFEIL = (30, 90, 170)
PFEIL_RAND = (20, 60, 120)
SEITE = (250, 250, 250)
SEITE_RAND = (110, 110, 110)
ECKE = (215, 215, 215)


def im_polygon(x, y, punkte):
    """Even-odd rule; points in units of the picture (0..1)."""
    innen = False
    j = len(punkte) - 1
    for i, (xi, yi) in enumerate(punkte):
        xj, yj = punkte[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            innen = not innen
        j = i
    return innen


def rechteck(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def umrandet(form, rand, breite):
    """A shape as two layers: the border colour, then the fill inset by the border's width."""
    xs = [p[0] for p in form[1]]
    ys = [p[1] for p in form[1]]
    mx, my = (min(xs) + max(xs)) / 2, (min(ys) + max(ys)) / 2
    sx = 1 - 2 * breite / (max(xs) - min(xs))
    sy = 1 - 2 * breite / (max(ys) - min(ys))
    innen = [(mx + (x - mx) * sx, my + (y - my) * sy) for x, y in form[1]]
    return [(rand, form[1]), (form[0], innen)]


def programm_ebenen(rand):
    pfeil = [(0.40, 0.04), (0.60, 0.04), (0.60, 0.36), (0.78, 0.36), (0.50, 0.68), (0.22, 0.36), (0.40, 0.36)]
    return (umrandet((PAKET, rechteck(0.08, 0.40, 0.92, 0.96)), PAKET_RAND, rand)
            + [(PAKET_DECKEL, rechteck(0.08 + rand, 0.40 + rand, 0.92 - rand, 0.55))]
            + [(PAKET_RAND, rechteck(0.08, 0.55, 0.92, 0.55 + rand))]
            + umrandet((PFEIL, pfeil), PFEIL_RAND, rand * 0.8))


def paket_ebenen(rand):
    seite = [(0.14, 0.02), (0.66, 0.02), (0.88, 0.24), (0.88, 0.98), (0.14, 0.98)]
    ecke = [(0.66, 0.02), (0.66, 0.24), (0.88, 0.24)]
    klein = [(0.28, 0.50, 0.74, 0.86), (0.28, 0.50, 0.74, 0.60)]
    ebenen = umrandet((SEITE, seite), SEITE_RAND, rand)
    ebenen += [(SEITE_RAND, ecke), (ECKE, [(0.66 + rand, 0.02 + 2 * rand), (0.66 + rand, 0.24 - rand), (0.88 - 2 * rand, 0.24 - rand)])]
    x0, y0, x1, y1 = klein[0]
    ebenen += umrandet((PAKET, rechteck(x0, y0, x1, y1)), PAKET_RAND, rand)
    ebenen += [(PAKET_RAND, rechteck(x0, 0.60, x1, 0.60 + rand))]
    ebenen += umrandet((PFEIL, [(0.46, 0.30), (0.56, 0.30), (0.56, 0.46), (0.64, 0.46), (0.51, 0.58), (0.38, 0.46), (0.46, 0.46)]),
                       PFEIL_RAND, rand * 0.8)
    return ebenen


def zeichnen(größe, ebenen_von):
    """RGBA rows, top first; each pixel sampled 4x4 times for smooth edges."""
    proben = 4
    rand = max(1.0 / größe, 0.03)
    ebenen = ebenen_von(rand)
    zeilen = []
    for py in range(größe):
        zeile = bytearray()
        for px in range(größe):
            summe = [0, 0, 0, 0]
            for sy in range(proben):
                for sx in range(proben):
                    x = (px + (sx + 0.5) / proben) / größe
                    y = (py + (sy + 0.5) / proben) / größe
                    farbe = None
                    for f, punkte in ebenen:
                        if im_polygon(x, y, punkte):
                            farbe = f
                    if farbe:
                        summe[0] += farbe[0]
                        summe[1] += farbe[1]
                        summe[2] += farbe[2]
                        summe[3] += 255
            deckend = summe[3] // 255
            if deckend:
                zeile += bytes((summe[0] // deckend, summe[1] // deckend, summe[2] // deckend, summe[3] // (proben * proben)))
            else:
                zeile += bytes(4)
        zeilen.append(bytes(zeile))
    return zeilen


def png(größe, zeilen):
    def block(art, daten):
        return struct.pack(">I", len(daten)) + art + daten + struct.pack(">I", zlib.crc32(art + daten) & 0xFFFFFFFF)
    roh = b"".join(b"\0" + z for z in zeilen)
    return (b"\x89PNG\r\n\x1a\n" + block(b"IHDR", struct.pack(">IIBBBBB", größe, größe, 8, 6, 0, 0, 0))
            + block(b"IDAT", zlib.compress(roh, 9)) + block(b"IEND", b""))


def dib(größe, zeilen):
    """32-bit BGRA bottom-up with the 1-bit mask that old readers still expect."""
    kopf = struct.pack("<IiiHHIIiiII", 40, größe, größe * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    farben = bytearray()
    maske = bytearray()
    maskenzeile = ((größe + 31) // 32) * 4
    for z in reversed(zeilen):
        bits = bytearray(maskenzeile)
        for x in range(größe):
            r, g, b, a = z[4 * x:4 * x + 4]
            farben += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        maske += bits
    return kopf + bytes(farben) + bytes(maske)


def ico(ebenen_von):
    bilder = []
    for größe in GRÖSSEN:
        zeilen = zeichnen(größe, ebenen_von)
        bilder.append((größe, png(größe, zeilen) if größe >= 256 else dib(größe, zeilen)))
    kopf = struct.pack("<HHH", 0, 1, len(bilder))
    versatz = 6 + 16 * len(bilder)
    verzeichnis = b""
    daten = b""
    for größe, bild in bilder:
        verzeichnis += struct.pack("<BBBBHHII", größe % 256, größe % 256, 0, 0, 1, 32, len(bild), versatz + len(daten))
        daten += bild
    return kopf + verzeichnis + daten


def main():
    ziel = sys.argv[1]
    os.makedirs(ziel, exist_ok=True)
    for name, ebenen_von in (("ladewerk.ico", programm_ebenen), ("paket.ico", paket_ebenen)):
        with open(os.path.join(ziel, name), "wb") as datei:
            datei.write(ico(ebenen_von))


if __name__ == "__main__":
    main()
