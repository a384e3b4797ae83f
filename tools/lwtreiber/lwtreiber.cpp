// Command-line front end of the test driver, for scripts and people that poke at the running
// program. Exit codes: 0 done, 1 window or control not found (or timeout), 2 wrong usage.

#include "Treiber.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>

namespace {

using Argumente = std::vector<std::wstring>;

// UTF-8 through fwrite: WriteConsoleW fails on redirected output, and scripts always redirect.
void Ausgeben(std::FILE* ziel, std::wstring zeile) {
    zeile += L'\n';
    std::string utf8(zeile.size() * 3, '\0');
    utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, zeile.data(), static_cast<int>(zeile.size()),
                                                        utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
    std::fwrite(utf8.data(), 1, utf8.size(), ziel);
}

std::wstring Hex(HWND hwnd) {
    wchar_t text[24];
    std::swprintf(text, std::size(text), L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
    return text;
}

// The number at a[i], standard when there is none, -1 when it is no number.
long Zahl(const Argumente& a, size_t i, long standard) {
    if (i >= a.size()) return standard;
    wchar_t* ende = nullptr;
    const long wert = std::wcstol(a[i].c_str(), &ende, 10);
    return a[i].empty() || *ende != L'\0' || wert < 0 ? -1 : wert;
}

int Gebrauch() {
    Ausgeben(stderr, L"Aufruf: lwtreiber list [PID]\n"
                     L"       lwtreiber wait \"TITEL\" [TIMEOUT_MS]\n"
                     L"       lwtreiber click \"TITEL\" \"KNOPFTEXT\"\n"
                     L"       lwtreiber text \"TITEL\" [STEUERELEMENT_ID]");
    return 2;
}

std::wstring Zeile(const std::wstring& anfang, const Treiber::FensterInfo& f) {
    return anfang + L'\t' + (f.sichtbar ? L'1' : L'0') + L'\t' + f.klasse + L"\t\"" + f.text + L'"';
}

int Ausführen(const Argumente& a) {
    const std::wstring befehl = a.empty() ? L"" : a[0];
    const long zahl = Zahl(a, 2, befehl == L"wait" ? 10000 : 0);
    if (befehl == L"list" && a.size() <= 2 && Zahl(a, 1, 0) >= 0) {
        for (const auto& f : Treiber::FensterAuflisten(static_cast<DWORD>(Zahl(a, 1, 0))))
            Ausgeben(stdout, Zeile(Hex(f.hwnd) + L'\t' + std::to_wstring(f.prozessId), f));
        return 0;
    }
    if (a.size() < 2 || a.size() > 3 || (befehl != L"click" && zahl < 0)) return Gebrauch();
    // Scripts call "wait" first; the other commands look only once.
    const HWND hwnd = Treiber::FensterWarten(a[1], befehl == L"wait" ? static_cast<DWORD>(zahl) : 0);
    if (befehl == L"wait") {
        if (hwnd) Ausgeben(stdout, Hex(hwnd));
        return hwnd ? 0 : 1;
    }
    if (befehl == L"click" && a.size() == 3) return hwnd && Treiber::KnopfKlicken(hwnd, a[2]) ? 0 : 1;
    if (befehl != L"text") return Gebrauch();
    if (a.size() == 3) {
        const auto text = hwnd ? Treiber::SteuerelementText(hwnd, static_cast<int>(zahl)) : std::nullopt;
        if (text) Ausgeben(stdout, *text);
        return text ? 0 : 1;
    }
    for (const auto& k : Treiber::KinderAuflisten(hwnd)) Ausgeben(stdout, Zeile(std::to_wstring(GetDlgCtrlID(k.hwnd)), k));
    return hwnd ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
    return Ausführen(Argumente(argv + 1, argv + argc));
}
