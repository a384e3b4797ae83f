#include "UnixProgramm.h"

#include "Fenster.h"
#include "Handles.h"
#include "Zwischenordner.h"

#include <windows.h>

#include <cstdlib>

namespace UnixProgramm {
namespace {

using DosName = WCHAR*(const char*);
using UnixName = char*(const WCHAR*);

// Exported by Wine's kernel32 only.
template <typename F> F* WineFunktion(const char* name) {
    return reinterpret_cast<F*>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

std::wstring Utf8NachText(const std::string& text) {
    std::wstring ergebnis(text.size(), L'\0');
    ergebnis.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                            ergebnis.data(), static_cast<int>(ergebnis.size()))));
    return ergebnis;
}

std::wstring DosPfad(const char* unix) {
    auto* umwandeln = WineFunktion<DosName>("wine_get_dos_file_name");
    WCHAR* dos = umwandeln ? umwandeln(unix) : nullptr;
    if (!dos) return {};
    std::wstring ergebnis = dos;
    HeapFree(GetProcessHeap(), 0, dos);
    return ergebnis;
}

// The exit code once the shell has written it whole (digits and a line end).
std::optional<int> CodeLesen(const std::wstring& pfad) {
    const Handles::Datei datei(CreateFileW(pfad.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    if (!datei) return std::nullopt;
    char puffer[16] = {};
    DWORD gelesen = 0;
    if (!ReadFile(datei.Get(), puffer, sizeof puffer - 1, &gelesen, nullptr) || gelesen == 0 ||
        puffer[gelesen - 1] != '\n')
        return std::nullopt;
    return std::atoi(puffer);
}

}  // namespace

std::wstring Pfad(const std::wstring& windowsPfad) {
    auto* umwandeln = WineFunktion<UnixName>("wine_get_unix_file_name");
    char* unix = umwandeln ? umwandeln(windowsPfad.c_str()) : nullptr;
    if (!unix) return {};
    const std::wstring ergebnis = Utf8NachText(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return ergebnis;
}

Ablauf Ausführen(const std::vector<std::wstring>& argumente, unsigned long wartezeitMs) {
    const Zwischenordner ordner;
    const std::wstring codeDatei = ordner.Pfad().empty() ? L"" : ordner.Pfad() + L"\\exitcode";
    const std::wstring unixCodeDatei = codeDatei.empty() ? L"" : Pfad(codeDatei);
    std::wstring shell = DosPfad("/bin/sh");
    if (argumente.empty() || unixCodeDatei.empty() || shell.empty()) return {ERROR_PATH_NOT_FOUND, std::nullopt};

    // "$0" is the code file, "$@" the program and its arguments, so nothing is quoted twice.
    std::wstring befehl = L"sh -c " + Befehlszeilenargument(L"\"$@\"; echo $? >\"$0\"") + L" " +
                          Befehlszeilenargument(unixCodeDatei);
    for (const std::wstring& argument : argumente) befehl += L" " + Befehlszeilenargument(argument);

    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION prozess{};
    if (!CreateProcessW(shell.c_str(), befehl.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &prozess))
        return {GetLastError(), std::nullopt};
    const Handles::Handle prozessHandle(prozess.hProcess), threadHandle(prozess.hThread);

    const ULONGLONG ende = GetTickCount64() + wartezeitMs;
    std::optional<int> code;
    while (!(code = CodeLesen(codeDatei)) && GetTickCount64() < ende) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        Oberfläche::NachrichtenVerarbeiten();
    }
    return {0, code};
}

std::wstring Befehlszeilenargument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
    std::wstring ergebnis = L"\"";
    size_t schrägstriche = 0;
    for (wchar_t zeichen : argument) {
        if (zeichen == L'\\') {
            ++schrägstriche;
            continue;
        }
        ergebnis.append(zeichen == L'"' ? schrägstriche * 2 + 1 : schrägstriche, L'\\');
        schrägstriche = 0;
        ergebnis += zeichen;
    }
    ergebnis.append(schrägstriche * 2, L'\\');
    return ergebnis + L"\"";
}

}  // namespace UnixProgramm
