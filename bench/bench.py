#!/usr/bin/env python3
"""Runs Ladewerk's ZIP adapters (lwbench.exe under Wine) side by side with Info-ZIP on each
corpus and prints one row per corpus and operation. Called by tools/bench.sh.

    bench.py LWBENCH ARBEITSORDNER RUNDEN KORPUS...

Ladewerk's seconds are measured inside the program (the operation itself, without Wine's start);
Info-ZIP's are the wall time of its process. Both unpack the same archive, the one Ladewerk made.
"""
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

lwbench, arbeit, runden, korpora = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4:]


def fenster(pfad):
    return "Z:" + os.path.abspath(pfad).replace("/", "\\")


def ladewerk(*argumente):
    # Output through a file, not a pipe: Wine's helper processes inherit the pipe and keep it
    # open long after the program ended.
    with tempfile.TemporaryFile("w+") as aus:
        ergebnis = subprocess.run(["wine", lwbench, *argumente], stdout=aus, stderr=subprocess.STDOUT)
        aus.seek(0)
        text = aus.read()
    treffer = re.search(r"sekunden=([\d.]+)(?: spitze=(\d+))?", text)
    if ergebnis.returncode != 0 or not treffer:
        sys.exit(f"lwbench {' '.join(argumente)} schlug fehl: {text}")
    return float(treffer.group(1)), int(treffer.group(2) or 0)


def infozip(befehl, **mehr):
    anfang = time.perf_counter()
    subprocess.run(befehl, check=True, **mehr)
    return time.perf_counter() - anfang


def leeren(pfad):
    shutil.rmtree(pfad, ignore_errors=True)
    os.makedirs(pfad)


def ordnergröße(pfad):
    return sum(os.path.getsize(os.path.join(pfad, n)) for n in os.listdir(pfad))


zeilen = []
for korpus in korpora:
    name = os.path.basename(os.path.normpath(korpus))
    dateien = sorted(os.path.join(w, d) for w, _, ds in os.walk(korpus) for d in ds)
    basis = os.path.join(arbeit, "lauf", name)
    leeren(basis)
    liste = os.path.join(basis, "liste.txt")
    with open(liste, "w", encoding="utf-8") as f:
        f.write("".join(fenster(d) + "\n" for d in dateien))
    lw_zip, iz_zip = os.path.join(basis, "ladewerk.zip"), os.path.join(basis, "infozip.zip")
    messung = {k: [] for k in ("lw_pack", "iz_pack", "lw_unpack", "iz_unpack", "boden")}
    spitze = {"pack": 0, "unpack": 0}
    for _ in range(runden):
        for archiv in (lw_zip, iz_zip):
            if os.path.exists(archiv):
                os.remove(archiv)
        sekunden, spitze_jetzt = ladewerk("packen", fenster(lw_zip), fenster(liste))
        messung["lw_pack"].append(sekunden)
        spitze["pack"] = max(spitze["pack"], spitze_jetzt)
        messung["iz_pack"].append(infozip(["zip", "-9", "-j", "-q", iz_zip, "-@"],
                                          input="\n".join(dateien).encode()))
        lw_aus, iz_aus, boden_aus = (os.path.join(basis, n) for n in ("aus-lw", "aus-iz", "aus-boden"))
        for ordner in (lw_aus, iz_aus, boden_aus):
            leeren(ordner)
        sekunden, spitze_jetzt = ladewerk("entpacken", fenster(lw_zip), fenster(lw_aus))
        messung["lw_unpack"].append(sekunden)
        spitze["unpack"] = max(spitze["unpack"], spitze_jetzt)
        messung["iz_unpack"].append(infozip(["unzip", "-j", "-o", "-q", lw_zip, "-d", iz_aus]))
        if len(dateien) >= 1000:
            messung["boden"].append(ladewerk("boden", fenster(iz_aus), fenster(boden_aus))[0])
    lw_bytes, iz_bytes = os.path.getsize(lw_zip), os.path.getsize(iz_zip)
    if ordnergröße(lw_aus) != ordnergröße(iz_aus):
        sys.exit(f"{name}: Ladewerk und unzip haben verschieden viel entpackt")
    m = {k: statistics.median(v) for k, v in messung.items() if v}
    zeilen.append((name, "pack", m["lw_pack"], m["iz_pack"], lw_bytes, iz_bytes, spitze["pack"]))
    gesamt = ordnergröße(lw_aus)
    zeilen.append((name, "unpack", m["lw_unpack"], m["iz_unpack"], gesamt, gesamt, spitze["unpack"]))
    if "boden" in m:
        zeilen.append((name, "unpack/floor", m["lw_unpack"], m["boden"], gesamt, gesamt, spitze["unpack"]))
    for ordner in (lw_aus, iz_aus, boden_aus):
        shutil.rmtree(ordner, ignore_errors=True)

print(f"{'corpus':<10} {'operation':<13} {'LW s':>8} {'IZ s':>8} {'time x':>7} {'LW bytes':>13} {'IZ bytes':>13} "
      f"{'size x':>7} {'LW peak MiB':>11}")
for name, was, lw_s, iz_s, lw_b, iz_b, spitze_b in zeilen:
    print(f"{name:<10} {was:<13} {lw_s:8.3f} {iz_s:8.3f} {lw_s / iz_s:7.2f} {lw_b:13d} {iz_b:13d} "
          f"{lw_b / iz_b if iz_b else 1:7.4f} {spitze_b / 2**20:11.1f}")
print(f"(median of {runden} runs; 'unpack/floor': IZ column is the floor program's create/write/close time)")
