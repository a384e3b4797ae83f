#include "Optionsdatei.h"

#include "Handles.h"
#include "modFunktionen.h"

#include <windows.h>

#include <cwctype>

namespace Optionsdatei {

std::string Inhalt(Version version) {
    return "Version=" + std::to_string(version.major) + "." + std::to_string(version.minor) + "\r\n";
}

bool Schreiben(const std::wstring& pfad, Version version) {
    const std::string inhalt = Inhalt(version);
    Handles::Datei datei(CreateFileW(pfad.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
    if (!datei) return false;
    DWORD geschrieben = 0;
    return WriteFile(datei.Get(), inhalt.data(), static_cast<DWORD>(inhalt.size()), &geschrieben, nullptr) &&
           geschrieben == inhalt.size();
}

bool IstOptionsdatei(const std::wstring& pfad) {
    const std::wstring name = kName;
    return pfad.size() >= name.size() && modFunktionen::TexteGleich(pfad.substr(pfad.size() - name.size()), name);
}

std::optional<std::wstring> WertLesen(const std::string& bytes) {
    static const std::string schlüssel = "version=";
    std::string klein = bytes;
    for (char& c : klein)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const size_t anfang = klein.find(schlüssel);
    if (anfang == std::string::npos) return std::nullopt;
    const size_t ende = bytes.find("\r\n", anfang + 1);
    if (ende == std::string::npos) return std::nullopt;
    const size_t wertAnfang = anfang + schlüssel.size();
    if (ende < wertAnfang) return std::wstring();
    // The file is ASCII; any other byte is kept as its Latin-1 character so a bad value is
    // reported, not silently changed.
    std::wstring wert;
    for (size_t i = wertAnfang; i < ende; ++i) wert += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    return wert;
}

namespace {

std::optional<int> Zahl(const std::wstring& ziffern) {
    if (ziffern.empty() || ziffern.size() > 6) return std::nullopt;
    int wert = 0;
    for (wchar_t c : ziffern) {
        if (c < L'0' || c > L'9') return std::nullopt;
        wert = wert * 10 + (c - L'0');
    }
    return wert;
}

}  // namespace

std::optional<Version> VersionAuswerten(const std::wstring& wert) {
    size_t anfang = 0, ende = wert.size();
    while (anfang < ende && std::iswspace(wert[anfang])) ++anfang;
    while (ende > anfang && std::iswspace(wert[ende - 1])) --ende;
    const std::wstring text = wert.substr(anfang, ende - anfang);
    const size_t punkt = text.find(L'.');
    const auto major = Zahl(text.substr(0, punkt));
    if (!major) return std::nullopt;
    if (punkt == std::wstring::npos) return Version{*major, 0};
    const auto minor = Zahl(text.substr(punkt + 1));
    if (!minor) return std::nullopt;
    return Version{*major, *minor};
}

}  // namespace Optionsdatei
