#!/usr/bin/env python3
# The ZIP tests' other side, run by CTest; nothing of it is kept in the tree.
#   peers.py bauen FOLDER    the files Ladewerk packs, archives of the peers (Info-ZIP zip, python's
#                            zipfile) and hostile ones built byte by byte. Every member holds the
#                            name it must land under; NAME.zip.soll has "stored<TAB>landed" per
#                            member that must land.
#   peers.py pruefen FOLDER  Info-ZIP unzip and python's zipfile read what Ladewerk packed into
#                            FOLDER/ladewerk/NAME.zip from the files below FOLDER/NAME.
import os
import random
import shutil
import struct
import subprocess
import sys
import zipfile
import zlib

UTF8 = dict(os.environ, LC_ALL="C.UTF-8")
zufall = random.Random(1).randbytes


def pfad(name):
    return os.path.join(sys.argv[2], name)


def schreiben(name, inhalt, stelle=0):
    os.makedirs(os.path.dirname(pfad(name)), exist_ok=True)
    with open(pfad(name), "r+b" if os.path.exists(pfad(name)) else "wb") as f:
        f.seek(stelle)
        f.write(inhalt)


def deflate(inhalt):
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    return packer.compress(inhalt) + packer.flush()


def soll(archiv, paare):
    schreiben(archiv + ".soll", "".join(f"{g}\t{gelandet}\n" for g, gelandet in paare if gelandet).encode())


# A Windows archiver's archive, written by hand: names in kodierung without the UTF-8 flag, and
# believing what falsch claims of the member it names (crc, size, data, offset into another member).
def roh_zip(archiv, paare, kodierung="utf-8", **falsch):
    soll(archiv, paare)
    aus, zentral = bytearray(), bytearray()
    for name, gelandet in paare:
        daten = (gelandet or "-").encode()
        e = dict(crc=zlib.crc32(daten), size=len(daten), offset=len(aus), data=deflate(daten)) | falsch.get(name, {})
        name = name.encode(kodierung)
        if e["offset"] == len(aus):
            aus += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, 8, 0, 0x21, e["crc"], len(e["data"]),
                               min(e["size"], 0xFFFFFFFF), len(name), 0) + name + e["data"]
        extra = struct.pack("<HHQ", 1, 8, e["size"]) if e["size"] >= 0xFFFFFFFF else b""
        zentral += struct.pack("<IBBHHHHHIIIHHHHHII", 0x02014B50, 20, 3, 20, 0, 8, 0, 0x21, e["crc"], len(e["data"]),
                               min(e["size"], 0xFFFFFFFF), len(name), len(extra), 0, 0, 0,
                               e.get("attr", 0o100644 << 16), e["offset"]) + name + extra
    ende = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(paare), len(paare), len(zentral), len(aus), 0)
    schreiben(archiv, aus + zentral + ende)


def bauen():
    shutil.rmtree(sys.argv[2], ignore_errors=True)
    os.makedirs(pfad("ladewerk"))
    # What Ladewerk packs: pieces of every kind from two folders, across the packer's 1 MiB
    # boundaries (one file ends in a block of zeros that unpacking skips), and a sparse file
    # beyond 4 GiB.
    text = "".join(f"Datei-{i * 7919 % 10007}.part;" for i in range(200000)).encode()
    # Bytes 0-255 over and over, and random bytes that repeat, look random by their byte counts.
    for name, inhalt in (("eins/Größe Übung.dat", zufall(1500000) + bytes(1100000) + text[:900000] + zufall(5000)),
                         ("eins/日本語 ünïcödé.met", b"Liste\r\n" + b"x" * 2000), ("eins/zufall.avi", zufall(3 << 20)),
                         ("eins/zyklus.part", bytes(range(256)) * 20 + zufall(3000) + bytes(range(256)) * 12288),
                         ("zwei/Ελληνικά Жж.part", bytes(3 << 20)), ("zwei/GROSS klein.TXT", b""),
                         ("zwei/fast leer.part", bytes(900000) + text[:100]), ("zwei/text.lst", text[:2600000]),
                         ("zwei/wiederholter zufall.part", zufall(20000) * 160)):
        schreiben("packen/" + name, inhalt)
    for stelle, inhalt in ((0, b"Anfang"), ((4 << 30) + 5, zufall(200000)), ((4 << 30) + (3 << 20) + 14, b"End")):
        schreiben("gross/gross.part", inhalt, stelle)

    namen = ["Bär.dat", "Info-ZIP.txt"]
    for name in namen:
        schreiben("infozip/" + name, name.encode())
    for archiv, mehr in (("infozip.zip", []), ("infozip-passwort.zip", ["-P", "geheim"])):
        soll(archiv, [(n, n) for n in namen])
        subprocess.run(["zip", "-qj9", *mehr, pfad(archiv), *namen], cwd=pfad("infozip"), env=UTF8, check=True)
    shutil.copy(pfad("infozip-passwort.zip"), pfad("abgelehnt.zip"))  # where nothing may land
    # Æ and ø exist only in 850, the page of German Windows and of Wine's German locale.
    roh_zip("oem-cp850.zip", [("Grüße Ærø.dat", "Grüße Ærø.dat")], "cp850")
    # A name that needs no change keeps it; the others count on past every name taken, letter
    # case ignored. Folders are dropped.
    paare = [
        ("Größe Übung.dat", "Größe Übung.dat"), ("日本語.met", "日本語.met"), ("Ελληνικά.txt", "Ελληνικά.txt"),
        ("A.dat", "A.dat"), ("a.dat", "a-0.dat"), ("X.part.met", "X.part.met"), ("x.PART.met", "x-0.PART.met"),
        ("n" * 300 + "1.part.met", "n" * 246 + ".part.met"), ("n" * 300 + "2.part.met", "n" * 244 + "-0.part.met"),
        ("x.dat. . .", "x-0.dat"), ("COM1.dat", "_COM1-0.dat"), ("_COM1.dat", "_COM1.dat"),
        ("x.dat:evil", "x-0.dat_evil"), ("x.dat_evil", "x.dat_evil"), ("C:\\x.dat", "x-1.dat"), ("/x.dat", "x-2.dat"),
        ("../x.dat", "x-3.dat"), ("d/x.dat", "x-4.dat"), ("x.dat", "x.dat"), ("a/", None), ("a/b/y.txt", "y.txt")]
    soll("gleichnamig.zip", paare)
    with zipfile.ZipFile(pfad("gleichnamig.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        for name, gelandet in paare:
            z.writestr(name, (gelandet or "").encode())
    roh_zip("namen.zip", [
        ("../../boese1.txt", "boese1.txt"), ("..\\..\\boese2.txt", "boese2.txt"), ("C:\\W\\boese3.txt", "boese3.txt"),
        ("/etc/boese4.txt", "boese4.txt"), ("a/../../boese5.txt", "boese5.txt"), ("CON", "_CON"), ("aux", "_aux"),
        ("Com1.dat", "_Com1.dat"), ("lpt9", "_lpt9"), ("punkt.", "punkt"), ("leer ", "leer"), ("..", None), (".", None),
        ("datei.txt:strom", "datei.txt_strom"), ("z<e>i|c?h*en\".txt", "z_e_i_c_h_en_.txt"), ("ordner/", None),
        ("\x01steuer.txt", "_steuer.txt"), ("nul .txt", "_nul .txt"), ("CONOUT$.txt", "_CONOUT$.txt"), ("link", None)],
            link={"attr": 0o120777 << 16})
    # Members whose data do not match their CRC, small and large, are not written.
    roh_zip("crc.zip", [("gut.txt", "gut.txt"), ("kaputt.txt", None), ("gross.bin", None)],
            **{"kaputt.txt": {"crc": 1}, "gross.bin": {"crc": 1, "data": deflate(zufall(3 << 20)), "size": 3 << 20}})
    # Nothing is written from an archive whose members share their data, that claims more than any
    # disk holds, whose member unpacks to more than it claims, or with far more members than a package.
    roh_zip("ueberlappt.zip", [("a.bin", None), ("b.bin", None)], **{"b.bin": {"offset": 0}})
    roh_zip("riesig.zip", [("klein.txt", None), ("riesig.bin", None)], **{"riesig.bin": {"size": 1 << 60}})
    roh_zip("luege.zip", [("luege.bin", None)], **{"luege.bin": {"data": deflate(bytes(8 << 20))}})
    roh_zip("viele.zip", [("%05d.dat" % i, None) for i in range(10001)])
    schreiben("abgeschnitten.zip", open(pfad("infozip.zip"), "rb").read()[:150])
    schreiben("keinzip.zip", b"Dies ist kein ZIP-Archiv.\r\n" * 10)


def crc(datei, wert=0):
    with open(datei, "rb") as f:
        for stück in iter(lambda: f.read(1 << 24), b""):
            wert = zlib.crc32(stück, wert)
    return wert


# Both peers list the sources' names and sizes, the CRCs are the sources', each member is within
# half a percent of zlib's level 9, and unzip finds the data sound unless it is gigabytes.
def pruefen():
    fehler, archive = [], [pfad("ladewerk/" + a) for a in os.listdir(pfad("ladewerk")) if a.endswith(".zip")]
    for archiv in archive:
        quellen = {n: os.path.join(d, n) for d, _, namen in os.walk(pfad(os.path.basename(archiv)[:-4])) for n in namen}
        soll = sorted((name, os.path.getsize(p)) for name, p in quellen.items())
        liste = subprocess.run(["unzip", "-l", archiv], env=UTF8, capture_output=True, check=True).stdout.decode()
        gelesen = {"unzip": sorted((n, int(g)) for g, _, _, n in (z.split(None, 3) for z in liste.splitlines()[3:-2]))}
        with zipfile.ZipFile(archiv) as z:
            gelesen["zipfile"] = sorted((i.filename, i.file_size) for i in z.infolist())
            for i, quelle in ((i, quellen[i.filename]) for i in z.infolist() if i.filename in quellen):
                klein = os.path.getsize(quelle) < (1 << 30)
                zlib9 = len(deflate(open(quelle, "rb").read())) if klein else i.compress_size
                if i.CRC != crc(quelle) or i.compress_size > 1.005 * zlib9:
                    fehler.append(f"{archiv}: {i.filename}: CRC {i.CRC:08x}, {i.compress_size} Bytes, zlib {zlib9}")
        fehler += [f"{archiv}: {wer} liest {ist}, erwartet {soll}" for wer, ist in gelesen.items() if ist != soll]
        if sum(g for _, g in soll) < (1 << 30) and subprocess.run(["unzip", "-tqq", archiv], env=UTF8).returncode:
            fehler.append(f"{archiv}: unzip -t findet Fehler")
    sys.exit("\n".join(fehler or ["keine Archive von Ladewerk"]) if fehler or not archive else 0)


bauen() if sys.argv[1] == "bauen" else pruefen()
