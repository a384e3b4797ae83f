#include "Peer.h"

#include "Handles.h"

#include <windows.h>

namespace Peer {
namespace {

std::string Utf8(const std::wstring& text) {
    std::string utf8(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                        static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
}

std::wstring Breit(const std::string& utf8) {
    std::wstring text(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                        static_cast<int>(text.size()));
    return text;
}

std::string Literal(const std::string& text) {
    std::string literal = "'";
    for (char c : text) {
        if (c == '\\' || c == '\'') literal += '\\';
        literal += c;
    }
    return literal + "'";
}

bool Schreiben(const std::wstring& pfad, const std::string& inhalt) {
    const Handles::Datei datei(
        CreateFileW(pfad.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD geschrieben = 0;
    return datei && WriteFile(datei.Get(), inhalt.data(), static_cast<DWORD>(inhalt.size()), &geschrieben, nullptr) &&
           geschrieben == inhalt.size();
}

std::string Lesen(const std::wstring& pfad) {
    const Handles::Datei datei(
        CreateFileW(pfad.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char puffer[16] = {};
    DWORD gelesen = 0;
    if (!datei || !ReadFile(datei.Get(), puffer, sizeof puffer, &gelesen, nullptr)) return {};
    return std::string(puffer, gelesen);
}

// Wine hands a Linux program no handle to wait on: the process handle is signalled at once and
// carries no exit code. The script therefore leaves a marker with its outcome as its last act.
bool Ausführen(const std::wstring& skript, const std::wstring& marke) {
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION prozess{};
    std::wstring zeile = L"\"Z:\\usr\\bin\\python3\" \"" + Breit(UnixPfad(skript)) + L"\"";
    if (!CreateProcessW(nullptr, zeile.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &prozess))
        return false;
    const Handles::Handle handle(prozess.hProcess), faden(prozess.hThread);
    for (int i = 0; i < 1200; ++i, Sleep(50)) {
        const std::string ergebnis = Lesen(marke);
        if (!ergebnis.empty()) return ergebnis == "ok";
    }
    return false;
}

}  // namespace

std::string UnixPfad(const std::wstring& windowsPfad) {
    using Umwandlung = char* (*)(const wchar_t*);
    const auto umwandeln = reinterpret_cast<Umwandlung>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!umwandeln) return {};
    char* pfad = umwandeln(windowsPfad.c_str());
    if (!pfad) return {};
    std::string ergebnis = pfad;
    HeapFree(GetProcessHeap(), 0, pfad);
    return ergebnis;
}

bool Python(const std::wstring& ordner, const std::string& skript) {
    std::wstring temp(GetTempPathW(0, nullptr), L'\0');
    temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    static unsigned zähler = 0;
    const std::wstring basis = temp + L"lwpeer-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++zähler);
    const std::wstring datei = basis + L".py", körper = basis + L"-koerper.py", marke = basis + L".ende";
    // The marker is written under another name and renamed, so it is never read half-written.
    const std::string rahmen = "import os, traceback\n"
                               "marke = " + Literal(UnixPfad(marke)) + "\n"
                               "ergebnis = 'ok'\n"
                               "try:\n"
                               "    os.chdir(" + Literal(UnixPfad(ordner)) + ")\n"
                               "    exec(compile(open(" + Literal(UnixPfad(körper)) + ").read(), 'peer', 'exec'), {})\n"
                               "except BaseException:\n"
                               "    traceback.print_exc()\n"
                               "    ergebnis = 'fehler'\n"
                               "open(marke + '.neu', 'w').write(ergebnis)\n"
                               "os.rename(marke + '.neu', marke)\n";
    const bool gelaufen = Schreiben(körper, skript) && Schreiben(datei, rahmen) && Ausführen(datei, marke);
    DeleteFileW(datei.c_str());
    DeleteFileW(körper.c_str());
    DeleteFileW(marke.c_str());
    return gelaufen;
}

bool Zip(const std::wstring& ordner, const std::wstring& archiv, const std::vector<std::wstring>& dateien) {
    std::string argumente = "['zip', '-q', '-j', '-9', " + Literal(Utf8(archiv).find('\\') == std::string::npos
                                                                         ? Utf8(archiv)
                                                                         : UnixPfad(archiv));
    for (const std::wstring& datei : dateien) argumente += ", " + Literal(Utf8(datei));
    return Python(ordner, "import subprocess\nsubprocess.run(" + argumente + "], check=True)\n");
}

}  // namespace Peer
