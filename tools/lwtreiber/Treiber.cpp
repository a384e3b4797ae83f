#include "Treiber.h"

#include <dlgs.h>

#include <algorithm>
#include <utility>

namespace Treiber {
namespace {

constexpr DWORD kTaktMs = 50;
// A hung program must not hang the driver with it.
constexpr UINT kAntwortMs = 2000;

template <class Bedingung>
bool Warten(DWORD timeoutMs, Bedingung erfüllt) {
    for (const ULONGLONG ende = GetTickCount64() + timeoutMs; !erfüllt(); Sleep(kTaktMs))
        if (GetTickCount64() >= ende) return false;
    return true;
}

BOOL CALLBACK Sammeln(HWND hwnd, LPARAM ziel) {
    reinterpret_cast<std::vector<HWND>*>(ziel)->push_back(hwnd);
    return TRUE;
}

// Null means the top-level windows.
std::vector<HWND> Handles(HWND eltern) {
    std::vector<HWND> handles;
    if (eltern)
        EnumChildWindows(eltern, Sammeln, reinterpret_cast<LPARAM>(&handles));
    else
        EnumWindows(Sammeln, reinterpret_cast<LPARAM>(&handles));
    return handles;
}

DWORD ProzessVon(HWND hwnd) {
    DWORD id = 0;
    GetWindowThreadProcessId(hwnd, &id);
    return id;
}

FensterInfo Info(HWND hwnd) {
    FensterInfo info{hwnd, ProzessVon(hwnd), std::wstring(256, L'\0'), FensterText(hwnd), IsWindowVisible(hwnd) != FALSE};
    info.klasse.resize(GetClassNameW(hwnd, info.klasse.data(), static_cast<int>(info.klasse.size())));
    return info;
}

std::vector<FensterInfo> Infos(const std::vector<HWND>& handles) {
    std::vector<FensterInfo> infos;
    for (HWND h : handles) infos.push_back(Info(h));
    return infos;
}

// "&&" stands for a literal ampersand.
std::wstring OhneMnemonik(const std::wstring& text) {
    std::wstring ohne;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && ++i == text.size()) break;
        ohne += text[i];
    }
    return ohne;
}

bool Bedienbar(HWND hwnd) {
    for (HWND h = hwnd; h && h != GetDesktopWindow(); h = GetAncestor(h, GA_PARENT))
        if (!IsWindowEnabled(h)) return false;
    return IsWindowVisible(hwnd) != FALSE;
}

}  // namespace

std::vector<FensterInfo> FensterAuflisten(DWORD prozessId) {
    std::vector<HWND> handles = Handles(nullptr);
    if (prozessId != 0) std::erase_if(handles, [&](HWND h) { return ProzessVon(h) != prozessId; });
    return Infos(handles);
}

std::vector<FensterInfo> KinderAuflisten(HWND fenster) {
    return fenster ? Infos(Handles(fenster)) : std::vector<FensterInfo>{};
}

HWND FensterWarten(const std::wstring& titel, DWORD timeoutMs, DWORD prozessId) {
    HWND gefunden = nullptr;
    Warten(timeoutMs, [&] {
        for (const FensterInfo& f : FensterAuflisten(prozessId))
            if (f.sichtbar && f.text == titel) gefunden = f.hwnd;
        return gefunden != nullptr;
    });
    return gefunden;
}

bool FensterVerschwindenWarten(HWND fenster, DWORD timeoutMs) {
    return Warten(timeoutMs, [&] { return !IsWindow(fenster) || !IsWindowVisible(fenster); });
}

bool KnopfKlicken(HWND fenster, const std::wstring& text) {
    const std::wstring gesucht = OhneMnemonik(text);
    for (const FensterInfo& kind : KinderAuflisten(fenster)) {
        const bool knopf = _wcsicmp(kind.klasse.c_str(), L"Button") == 0;
        if (knopf && _wcsicmp(OhneMnemonik(kind.text).c_str(), gesucht.c_str()) == 0 && Bedienbar(kind.hwnd))
            return PostMessageW(kind.hwnd, BM_CLICK, 0, 0) != FALSE;
    }
    return false;
}

std::wstring FensterText(HWND fenster) {
    DWORD_PTR länge = 0;
    if (!SendMessageTimeoutW(fenster, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAntwortMs, &länge) || länge == 0)
        return {};
    std::wstring text(länge + 1, L'\0');
    DWORD_PTR kopiert = 0;
    if (!SendMessageTimeoutW(fenster, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kAntwortMs, &kopiert))
        return {};
    text.resize(std::min<size_t>(kopiert, länge));
    return text;
}

std::optional<std::wstring> SteuerelementText(HWND fenster, int id) {
    if (fenster)
        for (HWND kind : Handles(fenster))
            if (GetDlgCtrlID(kind) == id) return FensterText(kind);
    return std::nullopt;
}

std::vector<std::wstring> AlleTexte(HWND fenster) {
    std::vector<std::wstring> texte;
    for (FensterInfo& kind : KinderAuflisten(fenster))
        if (kind.sichtbar && !kind.text.empty()) texte.push_back(std::move(kind.text));
    return texte;
}

namespace {

// Explorer-style dialogs name the file in a combo box, older ones in an edit box.
HWND DateinameFeld(HWND dialog) {
    HWND feld = GetDlgItem(dialog, cmb13);
    return feld ? feld : GetDlgItem(dialog, edt1);
}

}  // namespace

bool DateinameBestätigen(HWND dialog, const std::wstring& name) {
    HWND feld = dialog ? DateinameFeld(dialog) : nullptr;
    DWORD_PTR ergebnis = 0;
    return feld &&
           SendMessageTimeoutW(feld, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()), SMTO_ABORTIFHUNG,
                               kAntwortMs, &ergebnis) &&
           PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

bool ProzessEndeWarten(HANDLE prozess, DWORD timeoutMs, DWORD* exitCode) {
    if (!prozess || WaitForSingleObject(prozess, timeoutMs) != WAIT_OBJECT_0) return false;
    return !exitCode || GetExitCodeProcess(prozess, exitCode);
}

std::optional<Prozess> Prozess::Starten(const std::wstring& exe, const std::wstring& argumente,
                                        const std::wstring& ordner) {
    std::wstring befehl = L"\"" + exe + L"\"";
    if (!argumente.empty()) befehl += L" " + argumente;
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, befehl.data(), nullptr, nullptr, FALSE, 0, nullptr, ordner.empty() ? nullptr : ordner.c_str(),
                        &start, &info))
        return std::nullopt;
    CloseHandle(info.hThread);
    return Prozess(info.hProcess, info.dwProcessId);
}

void Prozess::Schließer::operator()(HANDLE h) const {
    if (WaitForSingleObject(h, 0) == WAIT_TIMEOUT) {
        TerminateProcess(h, 9);
        // Termination is asynchronous; the next test may want to delete the exe or its files.
        WaitForSingleObject(h, kAntwortMs);
    }
    CloseHandle(h);
}

std::wstring UnixPfadNachWindows(const std::string& unixPfad) {
    const int größe = static_cast<int>(unixPfad.size());
    std::wstring pfad(MultiByteToWideChar(CP_UTF8, 0, unixPfad.data(), größe, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, unixPfad.data(), größe, pfad.data(), static_cast<int>(pfad.size()));
    std::ranges::replace(pfad, L'/', L'\\');
    return pfad.starts_with(L'\\') ? L"Z:" + pfad : pfad;
}

}  // namespace Treiber
