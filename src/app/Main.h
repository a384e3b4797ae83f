#pragma once
// Start and end of the program.

#include <windows.h>

#include <optional>
#include <string>

namespace modMain {

// The start routine: single instance, the command line, then the question or the main window.
void Main();

// Every end of the program goes through here: flush files, unload all windows, end the process.
// Returns only where a test program has put its own end in place.
void ProgrammBeenden();

void ZeichenInitialisieren();

// Asks whether the package named on the command line is to be processed now.
bool VerarbeitenFragen(const std::wstring& pfad, HWND besitzer = nullptr);
// True while that question is open: a package handed over meanwhile must wait its turn.
bool FrageOffen();

// A second start hands its package (or nothing) to the running instance's main window.
inline constexpr UINT kÜbergabeAusführen = WM_APP + 1;
// The handover of pfad; it points into pfad.
COPYDATASTRUCT ÜbergabeVerpacken(const std::wstring& pfad);
// The path of a handover; nothing for a message that is not one.
std::optional<std::wstring> ÜbergabeLesen(const COPYDATASTRUCT& daten);
// Tells, without holding up the running work, that the package was not taken.
void BeschäftigtMelden(const std::wstring& pfad);
// Brings the program's visible window to the front: the main window, else the progress window.
void NachVorn(HWND haupt);

// The whole argument text after the program name, every double quote removed: one path.
std::wstring BefehlszeilenPfad(const std::wstring& befehlszeile);

}  // namespace modMain
