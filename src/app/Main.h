#pragma once
// Start and end of the program.

#include <string>

namespace modMain {

// The start routine: single instance, the command line, then the question or the main window.
void Main();

// Every end of the program goes through here: flush files, unload all windows, end the process.
// Returns only where a test program has put its own end in place.
void ProgrammBeenden();

void ZeichenInitialisieren();

// Asks whether the package named on the command line is to be processed now.
bool VerarbeitenFragen(const std::wstring& pfad);

// The whole argument text after the program name, every double quote removed: one path.
std::wstring BefehlszeilenPfad(const std::wstring& befehlszeile);

}  // namespace modMain
