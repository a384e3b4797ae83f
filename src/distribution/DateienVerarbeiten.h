#pragma once
// The receiving side's distribution: sorts the unpacked job files by extension into client
// classes, tells those clients to quit, asks for any client folder that is not known, moves
// each file into its client's folder (or hands GetRight lists to GetRight) and starts the
// clients again. Every step is a line in the progress log.

#include <string>
#include <vector>

namespace modVerteilung {

// Client class of a job file, called Funktion in the log.
enum Funktion : int { Kazaa = 1, WinMX = 2, GetRight = 3, EMule = 4 };

// By the exact, case-sensitive extension.
Funktion FunktionBestimmen(const std::wstring& pfad);

// Dateien: full paths of the unpacked job files (the package's options file is not one), all below
// Arbeitsordner. Files it does not move stay where they are; a client folder that is no
// absolute path or lies inside Arbeitsordner is no target. Every file's outcome is a log line.
// Returns how many job files did not arrive in their client's folder (a GetRight list handed to
// GetRight counts as arrived), so that the caller keeps the package while any of them is missing.
int DateienVerarbeiten(const std::vector<std::wstring>& Dateien, const std::wstring& Arbeitsordner);

}  // namespace modVerteilung
