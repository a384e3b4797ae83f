#!/usr/bin/env python3
"""Checks the archives that Ladewerk wrote during the tests with the peers: Info-ZIP unzip
tests every archive, python's zipfile tests the small ones, and both must list exactly the
names the test wrote beside an archive (NAME.zip.namen, UTF-8, one per line).

    pruefen.py FOLDER
"""
import glob
import os
import subprocess
import sys
import zipfile

umgebung = dict(os.environ, LC_ALL="C.UTF-8")
archive = sorted(glob.glob(os.path.join(sys.argv[1], "*.zip")))
if not archive:
    sys.exit("keine Archive von Ladewerk gefunden")
fehler = 0
for archiv in archive:
    test = subprocess.run(["unzip", "-t", "-q", archiv], env=umgebung, capture_output=True, text=True)
    if test.returncode != 0:
        print(f"{archiv}: unzip -t meldet {test.returncode}: {test.stdout}{test.stderr}")
        fehler += 1
    with zipfile.ZipFile(archiv) as z:
        if os.path.getsize(archiv) < (64 << 20) and sum(i.file_size for i in z.infolist()) < (256 << 20):
            kaputt = z.testzip()
            if kaputt:
                print(f"{archiv}: zipfile meldet {kaputt} als beschädigt")
                fehler += 1
        namen_datei = archiv + ".namen"
        if os.path.exists(namen_datei):
            with open(namen_datei, encoding="utf-8") as f:
                soll = sorted(f.read().splitlines())
            liste = subprocess.run(["unzip", "-Z1", archiv], env=umgebung, capture_output=True).stdout
            for wer, ist in (("zipfile", sorted(z.namelist())),
                             ("unzip", sorted(liste.decode("utf-8").splitlines()))):
                if ist != soll:
                    print(f"{archiv}: {wer} liest {ist}, erwartet {soll}")
                    fehler += 1
    print(f"{archiv}: geprüft")
sys.exit(1 if fehler else 0)
