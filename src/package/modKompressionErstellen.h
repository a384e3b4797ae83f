#pragma once
// Creating packages.

#include <cstdint>
#include <string>
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
