// Command-line front end of the test driver, for scripts that poke at the running program.
// Exit codes: 0 done, 1 window or control not found (or timeout), 2 wrong usage.

#include "Treiber.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cwchar>

namespace {

using Argumente = std::vector<std::wstring>;

// WriteConsoleW fails on redirected output, and scripts always redirect.
void Ausgeben(std::FILE* ziel, std::wstring zeile) {
    zeile += L'\n';
    const int länge = static_cast<int>(zeile.size());
    std::string utf8(WideCharToMultiByte(CP_UTF8, 0, zeile.data(), länge, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, zeile.data(), länge, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), ziel);
}

std::wstring Hex(HWND hwnd) {
    wchar_t text[24];
    std::swprintf(text, std::size(text), L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
    return text;
}

std::optional<long> Zahl(const Argumente& a, size_t i, long standard) {
    if (i >= a.size()) return standard;
    wchar_t* ende = nullptr;
    errno = 0;
    const long wert = std::wcstol(a[i].c_str(), &ende, 10);
    if (a[i].empty() || *ende != L'\0' || errno != 0) return std::nullopt;
    return wert;
}

int Gebrauch() {
    Ausgeben(stderr, L"Aufruf: lwtreiber list [PID]\n"
                     L"       lwtreiber wait \"TITEL\" [TIMEOUT_MS]\n"
                     L"       lwtreiber click \"TITEL\" \"KNOPFTEXT\"\n"
                     L"       lwtreiber text \"TITEL\" [STEUERELEMENT_ID]\n"
                     L"       lwtreiber close \"TITEL\"");
    return 2;
}

std::wstring Zeile(const std::wstring& anfang, const Treiber::FensterInfo& f) {
    return anfang + L'\t' + (f.sichtbar ? L'1' : L'0') + L'\t' + f.klasse + L"\t\"" + f.text + L'"';
}

int Ausführen(const Argumente& a) {
    const std::wstring befehl = a.empty() ? L"" : a[0];
    if (befehl == L"list" && a.size() <= 2) {
        const auto pid = Zahl(a, 1, 0);
        if (!pid || *pid < 0) return Gebrauch();
        for (const auto& f : Treiber::FensterAuflisten(static_cast<DWORD>(*pid)))
            Ausgeben(stdout, Zeile(Hex(f.hwnd) + L'\t' + std::to_wstring(f.prozessId), f));
        return 0;
    }
    if (a.size() < 2 || a.size() > 3) return Gebrauch();
    if (befehl == L"wait") {
        const auto frist = Zahl(a, 2, 10000);
        if (!frist || *frist < 0) return Gebrauch();
        const HWND hwnd = Treiber::FensterWarten(a[1], static_cast<DWORD>(*frist));
        if (hwnd) Ausgeben(stdout, Hex(hwnd));
        return hwnd ? 0 : 1;
    }
    // Scripts call "wait" first; the other commands look only once.
    const HWND hwnd = Treiber::FensterWarten(a[1], 0);
    if (befehl == L"click" && a.size() == 3) return hwnd && Treiber::KnopfKlicken(hwnd, a[2]) ? 0 : 1;
    if (befehl == L"close" && a.size() == 2) return hwnd && PostMessageW(hwnd, WM_CLOSE, 0, 0) ? 0 : 1;
    if (befehl != L"text") return Gebrauch();
    if (a.size() == 3) {
        const auto id = Zahl(a, 2, 0);
        if (!id) return Gebrauch();
        const auto text = hwnd ? Treiber::SteuerelementText(hwnd, static_cast<int>(*id)) : std::nullopt;
        if (text) Ausgeben(stdout, *text);
        return text ? 0 : 1;
    }
    for (const auto& k : Treiber::KinderAuflisten(hwnd))
        Ausgeben(stdout, Zeile(std::to_wstring(GetDlgCtrlID(k.hwnd)), k));
    return hwnd ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
    return Ausführen(Argumente(argv + 1, argv + argc));
}
