#pragma once
// Opening packages.

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
