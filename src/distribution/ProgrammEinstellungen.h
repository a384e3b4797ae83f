#pragma once
// Where the file-sharing clients live on this computer: their program and download folders,
// from the registry, the usual folders below the programs folder and the clients' own settings
// files. The values live for the program run; the distribution may replace any of them with a
// folder the user chose, and the create dialog reads them.

#include <array>
#include <string>

namespace modProgrammEinstellungen {

// The clients' programs in their program folders, in the order the distribution starts the
// first that exists.
inline constexpr std::array<const wchar_t*, 4> kKazaaProgramme{L"kpp.exe", L"Kazaa.exe", L"Morpheus.exe", L"Grokster.exe"};
inline constexpr std::array<const wchar_t*, 1> kWinMXProgramme{L"Winmx.exe"};
inline constexpr std::array<const wchar_t*, 2> kEMuleProgramme{L"emule.exe", L"gdonkey.exe"};

extern std::wstring KazaaProgrammOrdner;     // Kazaa, Kazaa Lite, Morpheus, Grokster
extern std::wstring KazaaDownloadOrdner;
extern std::wstring WinMXProgrammOrdner;
extern std::wstring WinMXDownloadOrdner;     // never found: emptied by every discovery
extern std::wstring GetRightProgrammOrdner;
extern std::wstring EMuleProgrammOrdner;     // eMule or eDonkey2000
extern std::wstring EMuleTempOrdner;         // their unfinished downloads

// Sets six values anew (found or empty); EMuleTempOrdner changes only when the client's
// settings file names it, so a folder chosen earlier survives. Logs a warning when the eMule or
// eDonkey settings cannot be read. True when it ran to its end.
bool ProgrammEinstellungenLesen();

// Empties all seven values (for tests).
void OrdnerZurücksetzen();

}  // namespace modProgrammEinstellungen
