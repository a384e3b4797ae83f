#include "Dateien.h"

#include "Handles.h"
#include "Treiber.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

void Schreiben(const std::wstring& pfad, const std::string& inhalt) {
    const Handles::Datei datei(CreateFileW(pfad.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD geschrieben = 0;
    if (datei) WriteFile(datei.Get(), inhalt.data(), static_cast<DWORD>(inhalt.size()), &geschrieben, nullptr);
}

std::optional<std::string> Lesen(const std::wstring& pfad) {
    const Handles::Datei datei(
        CreateFileW(pfad.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER größe{};
    if (!datei || !GetFileSizeEx(datei.Get(), &größe)) return std::nullopt;
    std::string inhalt(static_cast<size_t>(größe.QuadPart), '\0');
    DWORD gelesen = 0;
    if (!inhalt.empty() && !ReadFile(datei.Get(), inhalt.data(), static_cast<DWORD>(inhalt.size()), &gelesen, nullptr))
        return std::nullopt;
    inhalt.resize(gelesen);
    return inhalt;
}

std::string Inhalt(const std::wstring& pfad) { return Lesen(pfad).value_or("<fehlt>"); }

std::wstring Anlegen(const std::wstring& pfad, DWORD attribute) {
    const std::wstring lang = L"\\\\?\\" + pfad;
    const bool angelegt = (attribute & FILE_ATTRIBUTE_DIRECTORY)
                              ? CreateDirectoryW(lang.c_str(), nullptr)
                              : static_cast<bool>(Handles::Datei(CreateFileW(lang.c_str(), GENERIC_WRITE, 0, nullptr,
                                                                             CREATE_NEW, attribute, nullptr)));
    EXPECT_TRUE(angelegt) << pfad << L": " << GetLastError();
    return pfad;
}

std::wstring TieferOrdner(std::wstring basis, size_t länge) {
    while (basis.size() < länge) Anlegen(basis += L"\\" + std::wstring(40, L't'), FILE_ATTRIBUTE_DIRECTORY);
    return basis;
}

std::wstring Inhaltsliste(const std::wstring& ordner) {
    std::vector<std::wstring> namen;
    WIN32_FIND_DATAW daten{};
    const Handles::Suche suche(FindFirstFileW((ordner + L"\\*").c_str(), &daten));
    if (suche) {
        do {
            const std::wstring name = daten.cFileName;
            if (name != L"." && name != L"..") namen.push_back(name);
        } while (FindNextFileW(suche.Get(), &daten));
    }
    std::sort(namen.begin(), namen.end());
    std::wstring liste;
    for (const auto& name : namen) liste += (liste.empty() ? L"" : L" ") + name;
    return liste;
}

std::wstring HelferProgramm() {
    const char* pfad = std::getenv("LADEWERK_HELFER");
    return pfad ? Treiber::UnixPfadNachWindows(pfad) : L"";
}

void RegistryTextSetzen(HKEY wurzel, const std::wstring& schlüssel, const wchar_t* name, const std::wstring& wert) {
    EXPECT_EQ(RegSetKeyValueW(wurzel, schlüssel.c_str(), name, REG_SZ, wert.c_str(),
                              static_cast<DWORD>((wert.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS)
        << schlüssel;
}

bool Existiert(const std::wstring& pfad) { return GetFileAttributesW(pfad.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool Enthält(const std::vector<std::wstring>& texte, const std::wstring& text) {
    return std::find(texte.begin(), texte.end(), text) != texte.end();
}

std::wstring BenutzerTemp() {
    std::wstring temp(GetTempPathW(0, nullptr), L'\0');
    temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    return temp;
}
