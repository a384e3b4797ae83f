#include "Dateisuche.h"

#include "Fortschritt.h"
#include "Handles.h"
#include "modFunktionen.h"

#include <windows.h>

#include <cwctype>
#include <new>
#include <optional>

namespace modFunktionen {
namespace {

std::vector<std::wstring> suchergebnisse;

struct Eintrag {
    std::wstring name;
    DWORD attribute;
};

// The entries of a folder without "." and "..", in the platform's order; none when the folder
// cannot be listed. A name holding a wildcard would list other folders.
std::vector<Eintrag> Einträge(const std::wstring& ordner) {
    std::vector<Eintrag> einträge;
    const size_t nachPräfix = ordner.starts_with(L"\\\\?\\") ? 4 : 0;
    if (ordner.find_first_of(std::wstring_view(L"*?<>\"\0", 6), nachPräfix) != std::wstring::npos) return einträge;
    const std::wstring lang = LangerPfad(ordner);
    if (lang.empty()) return einträge;
    WIN32_FIND_DATAW daten{};
    const Handles::Suche suche(FindFirstFileExW((lang + (lang.ends_with(L'\\') ? L"*" : L"\\*")).c_str(),
                                                FindExInfoBasic, &daten, FindExSearchNameMatch, nullptr, 0));
    if (!suche) return einträge;
    do {
        const std::wstring name = daten.cFileName;
        if (name != L"." && name != L"..") einträge.push_back({name, daten.dwFileAttributes});
    } while (FindNextFileW(suche.Get(), &daten));
    return einträge;
}

bool IstOrdner(DWORD attribute) { return (attribute & FILE_ATTRIBUTE_DIRECTORY) != 0; }
bool HatAnalysepunkt(DWORD attribute) { return (attribute & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

bool PasstZuEndungen(const std::wstring& name, const std::vector<std::wstring>& endungen) {
    if (endungen.empty() || endungen.front().empty()) return true;
    for (const std::wstring& endung : endungen) {
        if (name.size() >= endung.size() && TexteGleich(name.substr(name.size() - endung.size()), endung)) return true;
    }
    return false;
}

// The path the platform really opens, links resolved, without the drive and without a trailing
// "\"; nothing when the path cannot be opened. Wine's GetFinalPathNameByHandleW fails for paths of
// MAX_PATH or more; the name the handle reports has no such limit and is resolved the same way.
std::optional<std::wstring> WirklicherPfad(const std::wstring& pfad) {
    const Handles::Datei datei(CreateFileW(pfad.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!datei) return std::nullopt;
    std::vector<BYTE> puffer(sizeof(FILE_NAME_INFO) + 2 * MAX_PATH);
    while (!GetFileInformationByHandleEx(datei.Get(), FileNameInfo, puffer.data(), static_cast<DWORD>(puffer.size()))) {
        if (GetLastError() != ERROR_MORE_DATA || puffer.size() > (1u << 20)) return std::nullopt;
        puffer.resize(puffer.size() * 2);
    }
    const auto* info = reinterpret_cast<const FILE_NAME_INFO*>(puffer.data());
    std::wstring wirklich(info->FileName, info->FileNameLength / sizeof(wchar_t));
    while (wirklich.ends_with(L'\\')) wirklich.pop_back();
    return wirklich;
}

// "C:\", "\\server\share" and the same in \\?\ form.
bool IstWurzel(std::wstring lang) {
    while (lang.ends_with(L'\\')) lang.pop_back();
    if (lang.starts_with(L"\\\\?\\UNC\\"))
        return lang.find(L'\\', 8) == std::wstring::npos ||
               lang.find(L'\\', lang.find(L'\\', 8) + 1) == std::wstring::npos;
    return lang.size() <= 6;  // "\\?\C:"
}

std::optional<std::wstring> NichtLöschbar(const std::wstring& ordner, const std::wstring& lang) {
    if (ordner.empty()) return L"kein Ordner angegeben";
    if (!PfadIstAbsolut(ordner) || lang.empty()) return L"der Pfad ist nicht absolut";
    if (IstWurzel(lang)) return L"das ist die Wurzel eines Laufwerks";
    const DWORD attribute = GetFileAttributesW(lang.c_str());
    if (attribute != INVALID_FILE_ATTRIBUTES && HatAnalysepunkt(attribute)) return L"der Ordner ist eine Verknüpfung";
    return std::nullopt;
}

}  // namespace

const std::vector<std::wstring>& Suchergebnisse() { return suchergebnisse; }

bool SuchergebnisHinzufügen(const std::wstring& eintrag, int zurücksetzen) {
    if (zurücksetzen == 1) {
        suchergebnisse.clear();
    } else {
        suchergebnisse.push_back(eintrag);
    }
    return true;
}

bool DateienSuchenAPI(std::wstring& ordner, const std::vector<std::wstring>& endungen, int rekursiv) {
    if (ordner.empty()) return true;
    if (!ordner.ends_with(L'\\')) ordner += L'\\';
    try {
        std::vector<std::wstring> unterordner;
        for (const Eintrag& eintrag : Einträge(ordner)) {
            if (!IstOrdner(eintrag.attribute)) {
                if (PasstZuEndungen(eintrag.name, endungen)) SuchergebnisHinzufügen(ordner + eintrag.name, 0);
            } else if (!HatAnalysepunkt(eintrag.attribute)) {
                // A link may lead back up the tree; entering it would never end.
                unterordner.push_back(eintrag.name);
            }
        }
        if (rekursiv == 1) {
            for (const std::wstring& name : unterordner) {
                std::wstring unter = ordner + name + L"\\";
                DateienSuchenAPI(unter, endungen, rekursiv);
            }
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool OrdnerLöschen(const std::wstring& ordner, bool dateienLöschen) {
    const std::wstring lang = LangerPfad(ordner);
    if (const auto grund = NichtLöschbar(ordner, lang)) {
        modFortschritt::FortschrittAnzeigen(L"Achtung - OrdnerLöschen: Ordner '" + ordner + L"' bleibt stehen, " +
                                            *grund);
        return true;
    }
    if (dateienLöschen) {
        for (const Eintrag& eintrag : Einträge(lang)) {
            // Under Wine, deleting a link to a file deletes its target: links stay, and with them
            // the folder.
            const std::wstring datei = lang + L"\\" + eintrag.name;
            if (!IstOrdner(eintrag.attribute) && !DateiIstVerknüpfung(datei)) DateiLöschen(datei);
        }
    }
    if (OrdnerExistiert(lang)) RemoveDirectoryW(lang.c_str());
    return true;
}

bool DateiIstVerknüpfung(const std::wstring& pfad) {
    WIN32_FIND_DATAW eintrag{};
    const std::wstring lang = LangerPfad(pfad);
    if (lang.empty()) return true;
    {
        const Handles::Suche suche(
            FindFirstFileExW(lang.c_str(), FindExInfoBasic, &eintrag, FindExSearchNameMatch, nullptr, 0));
        if (!suche) return true;
    }
    if (HatAnalysepunkt(eintrag.dwFileAttributes)) return true;
    // Wine marks only links to folders; a link to a file shows in where it really leads. Its
    // folder may be reached through links of its own, which is no reason to refuse.
    std::wstring ordner = PfadZurückgeben(lang);
    if (ordner.ends_with(L':')) ordner += L'\\';
    const auto wirklicheDatei = WirklicherPfad(lang), wirklicherOrdner = WirklicherPfad(ordner);
    return !wirklicheDatei || !wirklicherOrdner ||
           !TexteGleich(*wirklicheDatei, *wirklicherOrdner + L"\\" + eintrag.cFileName);
}

bool PfadIstAbsolut(const std::wstring& pfad) {
    if (pfad.starts_with(L"\\\\")) return true;
    return pfad.size() >= 3 && iswalpha(pfad[0]) && pfad[1] == L':' && (pfad[2] == L'\\' || pfad[2] == L'/');
}

}  // namespace modFunktionen
