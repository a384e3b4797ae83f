#include "Anwendungen.h"

#include "Fenster.h"
#include "Handles.h"
#include "ProgrammEinstellungen.h"
#include "modFunktionen.h"

#include <windows.h>

#include <span>
#include <vector>

namespace modAnwendungen {
namespace {

BOOL CALLBACK Sammeln(HWND fenster, LPARAM liste) {
    reinterpret_cast<std::vector<HWND>*>(liste)->push_back(fenster);
    return TRUE;
}

// Quitting our own thread would end the program in the middle of its work.
bool Eigenes(HWND fenster) {
    DWORD prozess = 0;
    GetWindowThreadProcessId(fenster, &prozess);
    return prozess == GetCurrentProcessId();
}

// The name of the program file the window's process runs; empty when it cannot be asked.
std::wstring Programmdatei(HWND fenster) {
    DWORD prozess = 0;
    GetWindowThreadProcessId(fenster, &prozess);
    const Handles::Handle h(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, prozess));
    if (!h) return {};
    std::wstring pfad(32768, L'\0');
    DWORD länge = static_cast<DWORD>(pfad.size());
    if (!QueryFullProcessImageNameW(h.Get(), 0, pfad.data(), &länge)) return {};
    pfad.resize(länge);
    return modFunktionen::DateinameZurückgeben(pfad);
}

bool IstClient(HWND fenster, const std::vector<std::wstring>& programme) {
    const std::wstring datei = Programmdatei(fenster);
    for (const std::wstring& programm : programme) {
        if (modFunktionen::TexteGleich(datei, programm)) return true;
    }
    return false;
}

// The programs a family is started as, and the names it is installed under besides.
std::vector<std::wstring> Familie(std::span<const wchar_t* const> gestartet, std::initializer_list<const wchar_t*> auch) {
    std::vector<std::wstring> programme(gestartet.begin(), gestartet.end());
    programme.insert(programme.end(), auch.begin(), auch.end());
    return programme;
}

}  // namespace

bool FensterSchließen(const std::wstring& Titel, const std::vector<std::wstring>& Programme) {
    if (Titel.empty()) return false;
    std::vector<HWND> fenster;
    EnumWindows(&Sammeln, reinterpret_cast<LPARAM>(&fenster));
    using modFunktionen::Großbuchstaben;
    const std::wstring gesucht = Großbuchstaben(Titel);
    bool ergebnis = false;
    for (HWND h : fenster) {
        if (Großbuchstaben(Oberfläche::TextLesen(h)).find(gesucht) == std::wstring::npos || Eigenes(h) || !IstClient(h, Programme))
            continue;
        if (PostMessageW(h, WM_QUIT, 0, 0)) ergebnis = true;
    }
    return ergebnis;
}

void AnwendungenSchließen(bool kazaa, bool eMule, bool winMX) {
    using namespace modProgrammEinstellungen;
    if (kazaa) {
        const auto programme = Familie(kKazaaProgramme, {L"kazaalite.exe"});
        for (const wchar_t* titel : {L"Kazaa - [", L"Grokster - [", L"Morpheus - ["}) FensterSchließen(titel, programme);
    }
    if (winMX) FensterSchließen(L"Winmx v", Familie(kWinMXProgramme, {}));
    if (eMule) {
        const auto programme = Familie(kEMuleProgramme, {L"edonkey2000.exe"});
        for (const wchar_t* titel : {L"EMule V", L"EDonkey2000"}) FensterSchließen(titel, programme);
    }
}

}  // namespace modAnwendungen
