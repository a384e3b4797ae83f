// What a stored member name becomes on disk: a bare file name that Windows takes as it is, with
// every change it needed named for the log.
#include "modUnzip.h"

#include "modFunktionen.h"

#include <string>

namespace modUnzip {

Landename SichererName(const std::wstring& gespeichert) {
    Landename ergebnis;
    const auto vermerken = [&](bool geändert, const wchar_t* grund) {
        if (geändert) ergebnis.änderungen.emplace_back(grund);
    };
    const size_t trenner = gespeichert.find_last_of(L"/\\");
    std::wstring& name = ergebnis.name;
    name = trenner == std::wstring::npos ? gespeichert : gespeichert.substr(trenner + 1);
    vermerken(trenner != std::wstring::npos, L"Ordnerangabe entfernt");
    bool strom = false, unzulässig = false;
    for (auto& zeichen : name) {
        if (zeichen == L':') {
            strom = true;
            zeichen = L'_';
        } else if (modFunktionen::ZeichenImNamenUnzulässig(zeichen)) {
            unzulässig = true;
            zeichen = L'_';
        }
    }
    vermerken(strom, L"':' durch '_' ersetzt, sonst entstünde ein Datenstrom");
    vermerken(unzulässig, L"unzulässige Zeichen durch '_' ersetzt");
    const size_t länge = name.size();
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
    vermerken(name.size() != länge, L"Punkte oder Leerzeichen am Ende entfernt");
    if (name.empty()) return ergebnis;
    const bool gerät = modFunktionen::IstGerätename(name);
    if (gerät) name.insert(0, L"_");
    vermerken(gerät, L"Gerätename, '_' vorangestellt");
    if (name.size() > 255) {
        size_t endung = modFunktionen::FolgenamenEndung(name).size();
        if (endung > 32) endung = 0;  // an "extension" that long would leave too little of the name
        name = name.substr(0, 255 - endung) + name.substr(name.size() - endung);
        vermerken(true, L"auf 255 Zeichen gekürzt");
    }
    return ergebnis;
}

}  // namespace modUnzip
