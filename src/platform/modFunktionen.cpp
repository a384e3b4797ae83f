#include "modFunktionen.h"

#include "Dateisuche.h"
#include "Handles.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <string_view>

namespace modFunktionen {

std::wstring VollständigerPfad(const std::wstring& pfad) {
    if (pfad.empty() || pfad.find(L'\0') != std::wstring::npos) return pfad;
    std::wstring voll(pfad.size() + MAX_PATH, L'\0');
    for (;;) {
        const DWORD länge = GetFullPathNameW(pfad.c_str(), static_cast<DWORD>(voll.size()), voll.data(), nullptr);
        if (länge == 0) return pfad;
        if (länge < voll.size()) {
            voll.resize(länge);
            return voll;
        }
        voll.resize(länge);
    }
}

namespace {

bool BeginntMit(std::wstring_view text, std::wstring_view anfang) {
    return text.substr(0, anfang.size()) == anfang;
}

// The API would stop at a NUL and read * ? < > " as wildcards. "\\?\" and "\\.\" are prefixes.
bool NenntEinenNamen(const std::wstring& pfad) {
    std::wstring_view rest = pfad;
    if (BeginntMit(rest, L"\\\\?\\") || BeginntMit(rest, L"\\\\.\\")) rest.remove_prefix(4);
    return rest.find_first_of(std::wstring_view(L"*?<>\"\0", 6)) == std::wstring_view::npos;
}

size_t NamensAnfang(const std::wstring& pfad) {
    const size_t trenner = pfad.find_last_of(L"\\/");
    if (trenner != std::wstring::npos) return trenner + 1;
    return pfad.size() >= 2 && pfad[1] == L':' ? 2 : 0;
}

bool GerätImPfad(const std::wstring& pfad) {
    return IstGerätename(std::wstring_view(pfad).substr(NamensAnfang(pfad)));
}

// Whether a device name opens does not depend on its folder everywhere (Windows maps
// C:\missing\nul to \\.\nul), but callers use "Ordner\nul" to ask about Ordner.
bool GerätesOrdnerExistiert(const std::wstring& pfad) {
    const size_t anfang = NamensAnfang(pfad);
    return OrdnerExistiert(anfang == 0 ? std::wstring(L".") : pfad.substr(0, anfang));
}

}  // namespace

std::wstring Großbuchstaben(const std::wstring& text) {
    std::wstring groß = text;
    const int länge = static_cast<int>(text.size());
    if (länge > 0 && LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(), länge, groß.data(), länge,
                                   nullptr, nullptr, 0) != länge) {
        groß = text;
        CharUpperBuffW(groß.data(), static_cast<DWORD>(länge));
    }
    return groß;
}

bool IstGerätename(std::wstring_view name) {
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && name.back() == L' ') name.remove_suffix(1);
    const std::wstring groß = Großbuchstaben(std::wstring(name));
    if (groß == L"CON" || groß == L"PRN" || groß == L"AUX" || groß == L"NUL" || groß == L"CONIN$" || groß == L"CONOUT$")
        return true;
    if (groß.size() != 4 || (!groß.starts_with(L"COM") && !groß.starts_with(L"LPT"))) return false;
    const wchar_t ziffer = groß[3];
    return (ziffer >= L'0' && ziffer <= L'9') || ziffer == L'\u00B9' || ziffer == L'\u00B2' || ziffer == L'\u00B3';
}

std::wstring LangerPfad(const std::wstring& pfad) {
    std::wstring lang = BeginntMit(pfad, L"\\\\?\\") ? pfad : VollständigerPfad(pfad);
    if (lang.empty() || BeginntMit(lang, L"\\\\.\\") || !(BeginntMit(lang, L"\\\\") || PfadIstAbsolut(lang))) return {};
    if (!BeginntMit(lang, L"\\\\?\\"))
        lang = BeginntMit(lang, L"\\\\") ? L"\\\\?\\UNC\\" + lang.substr(2) : L"\\\\?\\" + lang;
    // A root keeps its "\": "\\?\C:" names the volume, not the folder at its top.
    while (lang.size() > 4 && lang.back() == L'\\' && lang[lang.size() - 2] != L':') lang.pop_back();
    return lang;
}

std::wstring FürApi(const std::wstring& pfad) {
    if (pfad.size() < MAX_PATH - 12 || BeginntMit(pfad, L"\\\\?\\") || BeginntMit(pfad, L"\\\\.\\")) return pfad;
    const std::wstring lang = LangerPfad(pfad);
    return lang.empty() ? pfad : lang;
}

std::wstring PfadZurückgeben(const std::wstring& pfad) {
    const size_t trenner = pfad.rfind(L'\\');
    return trenner == std::wstring::npos ? std::wstring() : pfad.substr(0, trenner);
}

std::wstring DateinameZurückgeben(const std::wstring& pfad) {
    const size_t trenner = pfad.rfind(L'\\');
    return trenner == std::wstring::npos ? pfad : pfad.substr(trenner + 1);
}

std::wstring DateiendungZurückgeben(const std::wstring& pfad) {
    const size_t punkt = pfad.rfind(L'.');
    if (punkt == std::wstring::npos || pfad.find(L'\\', punkt) != std::wstring::npos) return {};
    return pfad.substr(punkt);
}

std::wstring DateinameOhneEndung(const std::wstring& name) {
    return name.substr(0, name.size() - DateiendungZurückgeben(name).size());
}

bool ZeichenImNamenUnzulässig(wchar_t zeichen) {
    if (zeichen < 0x20 || (zeichen >= 0x7F && zeichen <= 0x9F)) return true;
    return std::wstring_view(L"*?\"<>|").find(zeichen) != std::wstring_view::npos;
}

std::wstring FolgenamenEndung(const std::wstring& name) {
    for (const std::wstring_view emule : {L".part.met", L".part.met.bak"}) {
        if (name.size() > emule.size() && TexteGleich(name.substr(name.size() - emule.size()), std::wstring(emule)))
            return name.substr(name.size() - emule.size());
    }
    return DateiendungZurückgeben(name);
}

std::wstring Folgename(const std::wstring& name, unsigned nummer) {
    constexpr size_t kLängsterName = 255;
    const std::wstring endung = FolgenamenEndung(name);
    const std::wstring zusatz = L"-" + std::to_wstring(nummer) + endung;
    std::wstring stamm = name.substr(0, name.size() - endung.size());
    if (stamm.size() + zusatz.size() > kLängsterName) stamm.resize(kLängsterName - std::min(zusatz.size(), kLängsterName));
    return stamm + zusatz;
}

std::wstring NullzeichenEntfernen(const std::wstring& text) {
    if (text.empty() || text.back() != L'\0') return text;
    return text.substr(0, text.find(L'\0'));
}

bool TexteGleich(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && Großbuchstaben(a) == Großbuchstaben(b);
}

std::wstring TextErsetzen(const std::wstring& text, const std::wstring& suche, const std::wstring& ersatz) {
    if (suche.empty()) return text;
    // These control characters have no case: comparing them exactly spares mapping the whole text.
    const bool genau = suche.size() == 1 &&
                       (suche[0] == L'\r' || suche[0] == L'\n' || suche[0] == L'\0' || suche[0] == L'\x01');
    std::wstring großerText;
    std::wstring großeSuche;
    if (!genau) {
        großerText = Großbuchstaben(text);
        großeSuche = Großbuchstaben(suche);
    }
    const std::wstring_view heuhaufen = genau ? text : großerText;
    const std::wstring_view nadel = genau ? suche : großeSuche;

    // Going on behind the occurrence in the original is going on behind the replacement in the
    // result, so inserted text is never searched, and the text is copied once instead of being
    // moved for every occurrence.
    std::wstring ergebnis;
    size_t weiter = 0;
    for (size_t fund; (fund = heuhaufen.find(nadel, weiter)) != std::wstring_view::npos; weiter = fund + suche.size()) {
        ergebnis.append(text, weiter, fund - weiter);
        ergebnis += ersatz;
    }
    if (weiter == 0) return text;
    ergebnis.append(text, weiter);
    return ergebnis;
}

bool TextDatensätzeLesen(const std::wstring& text, const std::wstring& trenner, long startPosition,
                         long erwarteteAnzahl, std::vector<std::wstring>& datensätze) {
    datensätze.assign(1, std::wstring());
    if (text.empty()) return false;

    size_t anzahl = 0;
    const auto hinzufügen = [&](std::wstring datensatz) {
        if (anzahl++ == 0) {
            datensätze.front() = std::move(datensatz);
        } else {
            datensätze.push_back(std::move(datensatz));
        }
    };

    // There is no position before the first character: that is a failure, not the beginning.
    if (startPosition < 1) return false;
    size_t position = std::min(static_cast<size_t>(startPosition) - 1, text.size());
    if (!trenner.empty()) {
        for (size_t fund; (fund = text.find(trenner, position)) != std::wstring::npos; position = fund + trenner.size()) {
            hinzufügen(text.substr(position, fund - position));
        }
    }
    // A text that ends with a one-character separator has one more, empty record; callers count
    // records, so a longer separator at the end adds none.
    if (trenner.size() == 1 && text.back() == trenner[0]) {
        hinzufügen(std::wstring());
    } else if (position < text.size()) {
        hinzufügen(text.substr(position));
    }
    return erwarteteAnzahl < 0 || (anzahl >= 1 && anzahl == static_cast<size_t>(erwarteteAnzahl));
}

bool DateiExistiert(const std::wstring& pfad) {
    if (pfad.empty() || pfad.back() == L':' || pfad.back() == L'\\' || pfad.back() == L'/') return false;
    if (!NenntEinenNamen(pfad)) return false;
    if (GerätImPfad(pfad)) return GerätesOrdnerExistiert(pfad);

    const std::wstring api = FürApi(pfad);
    WIN32_FIND_DATAW daten{};
    const Handles::Suche suche(FindFirstFileExW(api.c_str(), FindExInfoBasic, &daten, FindExSearchNameMatch, nullptr, 0));
    if (suche) return (daten.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;

    // Listing the folder may be denied while the file itself can be opened. Without
    // FILE_FLAG_BACKUP_SEMANTICS a folder does not open here.
    const Handles::Datei datei(CreateFileW(api.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER größe{};
    return datei && GetFileSizeEx(datei.Get(), &größe);
}

std::wstring TempOrdner() {
    std::wstring temp(GetTempPathW(0, nullptr), L'\0');
    temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    while (!temp.empty() && temp.back() == L'\\') temp.pop_back();
    return temp;
}

std::optional<std::wstring> NeuerOrdner(const std::wstring& darin, unsigned long& fehler) {
    static constexpr wchar_t kZiffern[] = L"0123456789ABCDEF";
    const DWORD basis = GetCurrentProcessId() * 7919u + GetTickCount();
    for (DWORD versuch = 0; versuch < 100; ++versuch) {
        std::wstring name(8, L'0');
        for (DWORD i = 8, wert = basis + versuch; i-- > 0; wert >>= 4) name[i] = kZiffern[wert & 0xF];
        const std::wstring ordner = darin + L"\\Ladewerk-" + name;
        if (CreateDirectoryW(FürApi(ordner).c_str(), nullptr)) return ordner;
        fehler = GetLastError();
        if (fehler != ERROR_ALREADY_EXISTS) return std::nullopt;
    }
    return std::nullopt;
}

bool OrdnerExistiert(const std::wstring& pfad) {
    if (pfad.empty() || pfad.find(L'\0') != std::wstring::npos) return false;
    const DWORD attribute = GetFileAttributesW(FürApi(pfad).c_str());
    return attribute != INVALID_FILE_ATTRIBUTES && (attribute & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::uint64_t> Dateigröße(const std::wstring& pfad) {
    WIN32_FILE_ATTRIBUTE_DATA daten{};
    if (!GetFileAttributesExW(FürApi(pfad).c_str(), GetFileExInfoStandard, &daten)) return std::nullopt;
    return (std::uint64_t{daten.nFileSizeHigh} << 32) | daten.nFileSizeLow;
}

bool NameVergeben(const std::wstring& pfad) { return DateiExistiert(pfad) || OrdnerExistiert(pfad); }

bool DateiLöschen(const std::wstring& pfad) {
    // A pattern names no single file: "gone" would be a lie while the files it matches stay.
    if (!NenntEinenNamen(pfad)) return false;
    if (!DateiExistiert(pfad)) return true;
    // Wine does not mark a link to a file, and deleting it deletes the file it leads to.
    if (DateiIstVerknüpfung(pfad)) return false;

    const std::wstring api = FürApi(pfad);
    const DWORD vorher = GetFileAttributesW(api.c_str());
    if (!SetFileAttributesW(api.c_str(), FILE_ATTRIBUTE_NORMAL)) return false;
    // A file another program holds open stays as it was, read-only or hidden flag included.
    if (!DeleteFileW(api.c_str()) && vorher != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesW(api.c_str(), vorher);
    }
    return !DateiExistiert(pfad);
}

std::optional<unsigned char> Windows1252Code(wchar_t zeichen) {
    // 0x80..0x9F; 0 where Windows-1252 leaves the code unassigned.
    static constexpr std::array<wchar_t, 32> kC1 = {
        L'\u20AC', 0,         L'\u201A', L'\u0192', L'\u201E', L'\u2026', L'\u2020', L'\u2021',
        L'\u02C6', L'\u2030', L'\u0160', L'\u2039', L'\u0152', 0,         L'\u017D', 0,
        0,         L'\u2018', L'\u2019', L'\u201C', L'\u201D', L'\u2022', L'\u2013', L'\u2014',
        L'\u02DC', L'\u2122', L'\u0161', L'\u203A', L'\u0153', 0,         L'\u017E', L'\u0178',
    };
    if (zeichen < 0x80 || (zeichen >= 0xA0 && zeichen <= 0xFF)) return static_cast<unsigned char>(zeichen);
    const auto treffer = std::find(kC1.begin(), kC1.end(), zeichen);
    if (treffer == kC1.end()) return std::nullopt;
    return static_cast<unsigned char>(0x80 + (treffer - kC1.begin()));
}

}  // namespace modFunktionen
