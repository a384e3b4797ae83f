#pragma once
// Opening and creating packages.

#include <string>

namespace modKompression {

// The receiving side's entry: opens the package at paketpfad and reports in the progress window.
void DateienDekomprimieren(const std::wstring& paketpfad);

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

// Which client family is told to quit before its job files are packed, by the exact extension
// (letter case counts): ".dat" Kazaa, ".lst"/".grx"/".urls" none, ".met"/".part" eMule, any
// other or none WinMX.
enum class Familie { Kazaa, Keine, EMule, WinMX };
Familie FamilieZurückgeben(const std::wstring& dateiendung);

// The saving in whole percent: 100 minus the truncated percentage that the package has of the
// files' size; never below 0, and 0 when there was nothing to compress.
int ErsparnisProzent(std::uint64_t größeVorher, std::uint64_t größeNachher);

// Packs dateien (the job files, then the options file's path as the last entry) into the
// package at paketpfad and reports every step in the progress log. löschen and schließen act
// only when exactly 1. Success shows only as the package file existing afterwards.
void DateienKomprimieren(const std::vector<std::wstring>& dateien, const std::wstring& paketpfad, int löschen,
                         int schließen);

// "Fehler - {Beschreibung} (Fehler {Nummer}) ist bei Funktion '{Routine}' aufgetreten" with the
// system's description of the error number.
std::wstring LaufzeitfehlerZeile(unsigned long nummer, const std::wstring& routine);

}  // namespace modKompression
