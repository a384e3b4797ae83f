#include "ZipTestHilfen.h"

#include "Dateien.h"
#include "Handles.h"
#include "modUnzip.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

std::wstring Umgebung(const wchar_t* name) {
    std::wstring wert(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    wert.resize(GetEnvironmentVariableW(name, wert.data(), static_cast<DWORD>(wert.size())));
    return wert;
}

}  // namespace

std::wstring PeerDatei(const std::wstring& name) {
    std::wstring ordner = Umgebung(L"LADEWERK_ZIPDATEN");
    EXPECT_FALSE(ordner.empty()) << "LADEWERK_ZIPDATEN fehlt";
    for (auto& zeichen : ordner)
        if (zeichen == L'/') zeichen = L'\\';
    return L"Z:" + ordner + L"\\" + name;
}

std::wstring PrüfOrdner() {
    const std::wstring ordner = PeerDatei(L"ladewerk");
    CreateDirectoryW(ordner.c_str(), nullptr);
    return ordner;
}

std::map<std::wstring, std::string> Ordnerinhalt(const std::wstring& ordner) {
    std::map<std::wstring, std::string> inhalt;
    WIN32_FIND_DATAW eintrag;
    const Handles::Suche suche(FindFirstFileW((ordner + L"\\*").c_str(), &eintrag));
    if (!suche) return inhalt;
    do {
        const std::wstring name = eintrag.cFileName;
        if (name == L"." || name == L"..") continue;
        inhalt[name] = (eintrag.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "<Ordner>" : Inhalt(ordner + L"\\" + name);
    } while (FindNextFileW(suche.Get(), &eintrag));
    return inhalt;
}

int32_t Entpacken(const std::wstring& archiv, const std::wstring& ziel) {
    auto& z = modUnzip::zustand;
    z.uNachfragen = 0;
    z.uÜberschreiben = 1;
    z.uKommentarZeigen = 0;
    z.uExtractList = 0;
    z.uOrdnerBeachten = 0;
    z.uDateienAnzahl = 0;
    z.uAusnahmenAnzahl = 0;
    z.uZipDatei = archiv;
    z.uZielOrdner = ziel;
    z.uZipAusgabe.clear();
    z.uZipAnzahl = 0;
    modUnzip::ZipEntpacken();
    return z.uErgebnis;
}
