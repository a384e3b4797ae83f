#include "Anwendungen.h"

#include "Fenster.h"

#include <windows.h>

#include <string_view>
#include <vector>

namespace modAnwendungen {
namespace {

std::wstring Groß(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

BOOL CALLBACK Sammeln(HWND fenster, LPARAM liste) {
    reinterpret_cast<std::vector<HWND>*>(liste)->push_back(fenster);
    return TRUE;
}

// Quitting our own thread would end the program in the middle of its work, and an explorer
// window shows a folder that merely carries a client's name.
bool Ausgenommen(HWND fenster) {
    DWORD prozess = 0;
    GetWindowThreadProcessId(fenster, &prozess);
    if (prozess == GetCurrentProcessId()) return true;
    wchar_t klasse[32] = L"";
    GetClassNameW(fenster, klasse, static_cast<int>(std::size(klasse)));
    return std::wstring_view(klasse) == L"CabinetWClass" || std::wstring_view(klasse) == L"ExploreWClass";
}

}  // namespace

bool FensterSchließen(const std::wstring& Titel) {
    if (Titel.empty()) return false;
    std::vector<HWND> fenster;
    EnumWindows(&Sammeln, reinterpret_cast<LPARAM>(&fenster));
    const std::wstring gesucht = Groß(Titel);
    bool ergebnis = false;
    for (HWND h : fenster) {
        if (Groß(Fenster::TextLesen(h)).find(gesucht) == std::wstring::npos || Ausgenommen(h)) continue;
        if (PostMessageW(h, WM_QUIT, 0, 0)) ergebnis = true;
    }
    return ergebnis;
}

void AnwendungenSchließen(bool kazaa, bool eMule, bool winMX) {
    if (kazaa) {
        for (const wchar_t* titel : {L"Kazaa - [", L"Grokster - [", L"Morpheus - ["}) FensterSchließen(titel);
    }
    if (winMX) FensterSchließen(L"Winmx v");
    if (eMule) {
        for (const wchar_t* titel : {L"EMule V", L"EDonkey2000"}) FensterSchließen(titel);
    }
}

}  // namespace modAnwendungen
