#include "Shell.h"

#include "Dateisuche.h"
#include "Fortschritt.h"
#include "Handles.h"
#include "Interaktion.h"
#include "modFunktionen.h"

#include <shellapi.h>
#include <shlobj.h>

namespace modFunktionen {
namespace {

HWND programmBesitzer = nullptr;

// The shell's namespace and file associations may need COM on this thread; whoever initialised
// it before keeps it.
class ComBereich {
public:
    ComBereich() : ergebnis_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComBereich() {
        if (SUCCEEDED(ergebnis_)) CoUninitialize();
    }
    ComBereich(const ComBereich&) = delete;
    ComBereich& operator=(const ComBereich&) = delete;

private:
    HRESULT ergebnis_;
};

// Empty for items outside the file system (the computer, the control panel).
std::wstring PidlPfad(LPCITEMIDLIST pidl) {
    for (DWORD länge = MAX_PATH; länge <= 32768; länge *= 2) {
        std::wstring pfad(länge, L'\0');
        if (SHGetPathFromIDListEx(pidl, pfad.data(), länge, GPFIDL_DEFAULT)) return pfad.substr(0, pfad.find(L'\0'));
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    }
    return {};
}

// Wine's recursive shell delete works in MAX_PATH buffers and follows links (see docs/wine.md),
// so only plain files with short absolute paths reach it.
std::optional<std::wstring> NichtFürPapierkorb(const std::wstring& pfad) {
    if (!PfadIstAbsolut(pfad) || pfad.starts_with(L"\\\\?\\") || pfad.starts_with(L"\\\\.\\"))
        return L"der Pfad ist nicht absolut";
    if (pfad.size() >= MAX_PATH) return L"der Pfad ist länger als " + std::to_wstring(MAX_PATH - 1) + L" Zeichen";
    if (DateiIstVerknüpfung(pfad)) return L"die Datei ist eine Verknüpfung";
    return std::nullopt;
}

void BleibtLiegen(const std::wstring& pfad, const std::wstring& grund) {
    modFortschritt::FortschrittAnzeigen(L"Achtung - DateienInPapierkorb: Datei '" + pfad + L"' bleibt liegen, " + grund);
}

// The picker can only be told where to start once it exists; start is the folder's path.
int CALLBACK OrdnerdialogBeginnen(HWND dialog, UINT nachricht, LPARAM, LPARAM start) {
    if (nachricht == BFFM_INITIALIZED) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}

}  // namespace

std::wstring SpeziellerOrdner(int nummer) {
    LPITEMIDLIST roh = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, nummer, &roh) != S_OK) return {};
    const Handles::Pidl pidl(roh);
    const std::wstring pfad = PidlPfad(pidl.Get());
    return pfad.empty() ? pfad : pfad + L"\\";
}

std::wstring OrdnerAuswählen(const std::wstring& text, HWND besitzer, const std::wstring& start) {
    const std::optional<std::wstring> gewählt = Interaktion::Aktuell().OrdnerWählen(besitzer, text, start);
    if (!gewählt || gewählt->empty()) return {};
    return *gewählt + L'\0';
}

std::optional<std::wstring> OrdnerdialogZeigen(HWND besitzer, const std::wstring& text, const std::wstring& start) {
    const ComBereich com;
    BROWSEINFOW info{};
    info.hwndOwner = besitzer;
    info.lpszTitle = text.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    if (!start.empty()) {
        info.lpfn = &OrdnerdialogBeginnen;
        info.lParam = reinterpret_cast<LPARAM>(start.c_str());
    }
    const Handles::Pidl pidl(SHBrowseForFolderW(&info));
    if (!pidl) return std::nullopt;
    std::wstring pfad = PidlPfad(pidl.Get());
    if (pfad.empty()) return std::nullopt;
    return pfad;
}

double ProgrammStarten(const std::wstring& datei, const std::wstring& parameter) {
    const ComBereich com;
    const HINSTANCE ergebnis = ShellExecuteW(programmBesitzer, nullptr, datei.c_str(),
                                             parameter.empty() ? nullptr : parameter.c_str(), nullptr, SW_SHOWNORMAL);
    return static_cast<double>(reinterpret_cast<INT_PTR>(ergebnis));
}

void ProgrammStartenBesitzerSetzen(HWND besitzer) { programmBesitzer = besitzer; }

long DateienInPapierkorb(const std::vector<std::wstring>& dateien) {
    std::vector<std::wstring> übergeben;
    std::wstring liste;
    for (const std::wstring& pfad : dateien) {
        if (!DateiExistiert(pfad)) {
            modFortschritt::FortschrittAnzeigen(L"DateienInPapierkorb: Fehler beim Löschen - Datei '" + pfad +
                                                L"' existiert nicht");
            break;
        }
        if (const auto grund = NichtFürPapierkorb(pfad)) {
            BleibtLiegen(pfad, *grund);
            continue;
        }
        übergeben.push_back(pfad);
        liste += pfad;
        liste += L'\0';
    }
    if (liste.empty()) return 0;
    liste += L'\0';

    SHFILEOPSTRUCTW auftrag{};
    auftrag.wFunc = FO_DELETE;
    auftrag.pFrom = liste.c_str();
    auftrag.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
    const long ergebnis = SHFileOperationW(&auftrag);
    // On a write-protected drive the shell leaves the file, and Wine's even reports success.
    for (const std::wstring& pfad : übergeben) {
        if (DateiExistiert(pfad)) BleibtLiegen(pfad, L"der Papierkorb hat sie nicht angenommen");
    }
    return ergebnis;
}

}  // namespace modFunktionen
