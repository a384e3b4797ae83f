#!/usr/bin/env python3
"""Builds the archives the ZIP tests read: archives of the peers (Info-ZIP zip, python's
zipfile) and hostile archives built byte by byte. Run by CTest before the tests; nothing of
it is kept in the repository.

    peers.py OUTPUT_FOLDER
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

ZIEL = sys.argv[1]


def pfad(name):
    return os.path.join(ZIEL, name)


def roh_zip(name, einträge, zip64_eintrag=None):
    """Writes an archive by hand. Each entry: dict with name (bytes), data (stored bytes as
    they stand in the archive), method, crc, size (uncompressed), flags, attr, system,
    offset (None: where it lands; an int: point the directory at that offset instead)."""
    aus = bytearray()
    zentral = bytearray()
    for e in einträge:
        versatz = len(aus) if e.get("offset") is None else e["offset"]
        if e.get("offset") is None:
            aus += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, e.get("flags", 0), e.get("method", 0), 0, 0x21,
                               e["crc"], len(e["data"]), min(e["size"], 0xFFFFFFFF), len(e["name"]), 0)
            aus += e["name"] + e["data"]
        extra = b""
        größe = e["size"]
        if größe >= 0xFFFFFFFF:
            extra = struct.pack("<HHQ", 1, 8, größe)
            größe = 0xFFFFFFFF
        zentral += struct.pack("<IBBHHHHHIIIHHHHHII", 0x02014B50, 20, e.get("system", 0), 20, e.get("flags", 0),
                               e.get("method", 0), 0, 0x21, e["crc"], len(e["data"]), größe, len(e["name"]),
                               len(extra), 0, 0, 0, e.get("attr", 0), versatz)
        zentral += e["name"] + extra
    anfang = len(aus)
    aus += zentral
    aus += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(einträge), len(einträge), len(zentral), anfang, 0)
    with open(pfad(name), "wb") as f:
        f.write(aus)


def eintrag(name, inhalt, **mehr):
    roh = zlib.compressobj(9, zlib.DEFLATED, -15)
    daten = roh.compress(inhalt) + roh.flush()
    e = {"name": name, "data": daten, "method": 8, "crc": zlib.crc32(inhalt), "size": len(inhalt)}
    e.update(mehr)
    return e


class OemInfo(zipfile.ZipInfo):
    """A Windows archiver's entry: the name in an OEM code page, no UTF-8 flag."""
    codepage = "cp850"

    def _encodeFilenameFlags(self):
        return self.filename.encode(self.codepage), self.flag_bits & ~0x800


def peers():
    with zipfile.ZipFile(pfad("python-utf8.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        for name in ["Größe Übung.dat", "日本語.met", "Ελληνικά.txt", "plain.txt"]:
            z.writestr(name, ("Inhalt von " + name).encode("utf-8"))
    # German letters have the same codes in both OEM pages; Æ and ø exist only in 850, the
    # page of German Windows, which is the one Wine's German locale reports.
    for codepage, name in (("cp850", "Grüße Ærø.dat"), ("cp437", "Prüfung ÄÖÜ äöü ß.dat")):
        with zipfile.ZipFile(pfad(f"oem-{codepage}.zip"), "w", zipfile.ZIP_DEFLATED) as z:
            info = OemInfo(name)
            info.codepage = codepage
            z.writestr(info, b"OEM")
    # Names that land on one file name once letter case is ignored and names are made safe.
    lang = "n" * 300
    with zipfile.ZipFile(pfad("gleichnamig.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        for i, name in enumerate(["A.dat", "a.dat", "X.part.met", "x.PART.met", lang + "1.part.met",
                                  lang + "2.part.met", "x.dat. . .", "COM1.dat", "_COM1.dat", "x.dat:evil",
                                  "x.dat_evil", "C:\\x.dat", "/x.dat", "../x.dat", "d/x.dat", "x.dat"]):
            z.writestr(name, b"g%d" % i)
    with zipfile.ZipFile(pfad("ordner.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("a/", b"")
        z.writestr("a/x.txt", b"erstes")
        z.writestr("b/c/x.txt", b"zweites")
        z.writestr("b/y.txt", b"y")

    quelle = tempfile.mkdtemp()
    try:
        for name, inhalt in (("Bär.dat", b"B" * 5000), ("leer.txt", b""), ("zufall.bin", os.urandom(70000))):
            with open(os.path.join(quelle, name), "wb") as f:
                f.write(inhalt)
        umgebung = dict(os.environ, LC_ALL="C.UTF-8")
        for ziel, mehr in (("infozip.zip", []), ("infozip-passwort.zip", ["-P", "geheim"])):
            subprocess.run(["zip", "-q", "-j", "-9", *mehr, pfad(ziel), "Bär.dat", "leer.txt", "zufall.bin"],
                           cwd=quelle, env=umgebung, check=True)
            shutil.copy(os.path.join(quelle, "zufall.bin"), pfad("zufall.bin"))
    finally:
        shutil.rmtree(quelle)


def feindlich():
    namen = [b"../../boese1.txt", b"..\\..\\boese2.txt", b"C:\\Windows\\boese3.txt", b"/etc/boese4.txt",
             b"a/../../boese5.txt", b"CON", b"aux.txt", b"Com1.dat", b"lpt9", b"punkt.", b"leer ", b"datei.txt:strom",
             b"z<e>i|c?h*en\".txt", b"..", b".", b"ordner/", b"\x01steuer.txt", b"nul .txt", b"CONOUT$.txt"]
    roh_zip("namen.zip", [eintrag(n, b"n%d" % i) for i, n in enumerate(namen)])

    roh_zip("verweis.zip", [eintrag(b"link", b"/etc/passwd", system=3, attr=0o120777 << 16),
                            eintrag(b"echt.txt", b"echt", system=3, attr=0o100644 << 16)])

    gut = eintrag(b"gut.txt", b"gut")
    kaputt = eintrag(b"kaputt.txt", b"A" * 3000)
    kaputt["crc"] ^= 0x1234
    groß_kaputt = eintrag(b"gross.bin", os.urandom(3 << 20))
    groß_kaputt["crc"] ^= 1
    roh_zip("crc.zip", [gut, kaputt, groß_kaputt])

    # Two directory entries that share one member's data: each "unpacks" the same bytes.
    bombe = eintrag(b"a.bin", bytes(1 << 20))
    zweite = dict(bombe, name=b"b.bin", offset=0)
    roh_zip("ueberlappt.zip", [bombe, zweite])

    # A member that claims more than any disk holds.
    roh_zip("riesig.zip", [eintrag(b"klein.txt", b"klein"), eintrag(b"riesig.bin", b"x", size=1 << 60)])

    # A member that unpacks to far more than its directory entry says.
    lügner = eintrag(b"luege.bin", bytes(8 << 20))
    lügner["size"] = 10
    roh_zip("luege.zip", [lügner])

    # Far more members than any package holds: refused before the first one is written.
    with zipfile.ZipFile(pfad("viele.zip"), "w", zipfile.ZIP_STORED) as z:
        for i in range(10001):
            z.writestr("%05d.dat" % i, b"")

    with open(pfad("infozip.zip"), "rb") as f:
        ganz = f.read()
    with open(pfad("abgeschnitten.zip"), "wb") as f:
        f.write(ganz[: len(ganz) // 2])
    with open(pfad("keinzip.zip"), "wb") as f:
        f.write(b"Dies ist kein ZIP-Archiv.\r\n" * 10)


if __name__ == "__main__":
    shutil.rmtree(ZIEL, ignore_errors=True)
    os.makedirs(ZIEL)
    peers()
    feindlich()
