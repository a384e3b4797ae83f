#pragma once
// Opening and creating packages.

#include <windows.h>

#include <string>

namespace modKompression {

// The receiving side's entry: unpacks the package at paketpfad into a working folder of its
// own, checks its version, hands the files to the distribution, then clears the working folder
// away. The package goes to the recycle bin only when every job file arrived; otherwise it
// stays where it is and the log says why. Reports every step in the progress window.
void DateienDekomprimieren(const std::wstring& paketpfad);

// Version of the last package opened, as its options file gives it; "1.00" when it has none.
extern std::wstring Paketversion;

// "Dekompression beendet, Ergebnis:" with the extraction's listing, information text and count.
std::wstring Ergebniszeile(const std::wstring& liste, const std::wstring& ausgabe, long anzahl);

// The log line of an unexpected error of opening or creating a package: "Fehler -
// {Beschreibung} (Fehler {Nummer}) ist bei Funktion '{Routine}' aufgetreten".
std::wstring Fehlerzeile(DWORD nummer, const std::wstring& routine);

}  // namespace modKompression

// Creating packages (modKompressionErstellen.cpp).

#include <cstdint>
#include <vector>

namespace modKompression {

// A package holds at most this many job files besides the options file.
inline constexpr size_t kHöchstzahlDateien = 2500;

// The path with every character of Programm::UngültigeZeichen replaced by "_", folders
// included; empty when it holds none of them.
std::wstring DateinamenPrüfen(const std::wstring& pfad);

// The saving in whole percent: 100 minus the truncated percentage that the package has of the
// files' size; never below 0, and 0 when there was nothing to compress.
int ErsparnisProzent(std::uint64_t größeVorher, std::uint64_t größeNachher);

// Packs dateien (the job files, then the options file's path as the last entry) into the
// package at paketpfad and reports every step in the progress log. löschen and schließen act
// only when exactly 1. True when this run wrote the package completely; a package that was
// at paketpfad before stays whole until the new one takes its place. The job files are only
// read: a name with brackets goes into the package cleaned, the file itself keeps it.
bool DateienKomprimieren(const std::vector<std::wstring>& dateien, const std::wstring& paketpfad, int löschen,
                         int schließen);

}  // namespace modKompression
