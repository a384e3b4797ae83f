// Measures Ladewerk's ZIP adapters for tools/bench.sh: one operation per process, so that the
// peak working set belongs to that operation alone. Prints "sekunden=... spitze=..." on success.
//
//   lwbench packen ARCHIV LISTE     LISTE: UTF-8 text file, one full path per line
//   lwbench entpacken ARCHIV ZIEL
//   lwbench boden QUELLE ZIEL       creates, writes and closes the files of QUELLE in ZIEL, the
//                                   floor that no unpacking can go below
#include "Handles.h"
#include "Interaktion.h"
#include "modUnzip.h"
#include "modZip.h"

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// No person at the bench: a result message is printed instead of shown.
class Stumm final : public Interaktion::Benutzer {
public:
    int MeldungZeigen(HWND, const Interaktion::Meldung& meldung) override {
        std::fwprintf(stderr, L"Meldung: %ls\n", meldung.text.c_str());
        return IDOK;
    }
    int DateiExistiertFragen(HWND, const std::wstring&) override { return 3; }  // cancel
    std::optional<std::wstring> DateiWählen(HWND, const Interaktion::Dateianfrage&) override { return std::nullopt; }
    std::optional<std::wstring> OrdnerWählen(HWND, const std::wstring&, const std::wstring&) override { return std::nullopt; }
    std::optional<std::wstring> TextEingeben(HWND, const Interaktion::Texteingabe&) override { return std::nullopt; }
};

std::string Lesen(const std::wstring& pfad) {
    const Handles::Datei datei(CreateFileW(pfad.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string inhalt;
    LARGE_INTEGER größe{};
    if (!datei || !GetFileSizeEx(datei.Get(), &größe)) return inhalt;
    inhalt.resize(static_cast<size_t>(größe.QuadPart));
    DWORD gelesen = 0;
    if (!inhalt.empty()) ReadFile(datei.Get(), inhalt.data(), static_cast<DWORD>(inhalt.size()), &gelesen, nullptr);
    return inhalt;
}

std::vector<std::wstring> Zeilen(const std::string& text) {
    std::vector<std::wstring> zeilen;
    size_t anfang = 0;
    while (anfang < text.size()) {
        size_t ende = text.find('\n', anfang);
        if (ende == std::string::npos) ende = text.size();
        const std::string zeile = text.substr(anfang, ende - anfang);
        std::wstring breit(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, zeile.data(), static_cast<int>(zeile.size()), nullptr, 0)), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, zeile.data(), static_cast<int>(zeile.size()), breit.data(), static_cast<int>(breit.size()));
        if (!breit.empty()) zeilen.push_back(breit);
        anfang = ende + 1;
    }
    return zeilen;
}

// User and kernel time of all threads: on a busy machine wall time says more about the load.
double CpuSekunden() {
    FILETIME erzeugt, beendet, kern, benutzer;
    GetProcessTimes(GetCurrentProcess(), &erzeugt, &beendet, &kern, &benutzer);
    const auto wert = [](const FILETIME& z) { return static_cast<double>((uint64_t{z.dwHighDateTime} << 32) | z.dwLowDateTime) / 1e7; };
    return wert(kern) + wert(benutzer);
}

int Packen(const std::wstring& archiv, const std::wstring& liste) {
    const auto dateien = Zeilen(Lesen(liste));
    auto& z = modZip::zustand;
    z.fJunkDir = 1;
    z.fLevel = '9';
    z.uZipDatei = archiv;
    z.uAnzahl = static_cast<int32_t>(dateien.size());
    z.uDateien = dateien;
    return modZip::ZipErstellen();
}

int Entpacken(const std::wstring& archiv, const std::wstring& ziel) {
    auto& z = modUnzip::zustand;
    z.uÜberschreiben = 1;
    z.uZipDatei = archiv;
    z.uZielOrdner = ziel;
    modUnzip::ZipEntpacken();
    return z.uErgebnis;
}

int Boden(const std::wstring& quelle, const std::wstring& ziel) {
    std::vector<std::pair<std::wstring, std::string>> dateien;
    WIN32_FIND_DATAW eintrag;
    {
        const Handles::Suche suche(FindFirstFileW((quelle + L"\\*").c_str(), &eintrag));
        if (suche) {
            do {
                if (!(eintrag.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    dateien.emplace_back(eintrag.cFileName, Lesen(quelle + L"\\" + eintrag.cFileName));
            } while (FindNextFileW(suche.Get(), &eintrag));
        }
    }
    CreateDirectoryW(ziel.c_str(), nullptr);
    const auto anfang = std::chrono::steady_clock::now();
    for (const auto& [name, inhalt] : dateien) {
        const Handles::Datei datei(CreateFileW((ziel + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD geschrieben = 0;
        if (!datei || !WriteFile(datei.Get(), inhalt.data(), static_cast<DWORD>(inhalt.size()), &geschrieben, nullptr)) return 1;
    }
    std::printf("sekunden=%.3f\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - anfang).count());
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fwprintf(stderr, L"Aufruf: lwbench packen|entpacken|boden ARG1 ARG2\n");
        return 2;
    }
    const std::wstring was = argv[1];
    if (was == L"boden") return Boden(argv[2], argv[3]);
    Stumm stumm;
    Interaktion::Setzen(&stumm);
    const double cpuVorher = CpuSekunden();
    const auto anfang = std::chrono::steady_clock::now();
    const int ergebnis = was == L"packen" ? Packen(argv[2], argv[3]) : Entpacken(argv[2], argv[3]);
    const double sekunden = std::chrono::duration<double>(std::chrono::steady_clock::now() - anfang).count();
    const double cpu = CpuSekunden() - cpuVorher;
    Interaktion::Setzen(nullptr);
    PROCESS_MEMORY_COUNTERS speicher{};
    GetProcessMemoryInfo(GetCurrentProcess(), &speicher, sizeof speicher);
    if (ergebnis != 0) {
        std::fprintf(stderr, "Fehler %d\n", ergebnis);
        return 1;
    }
    std::printf("sekunden=%.3f spitze=%llu cpu=%.3f\n", sekunden, static_cast<unsigned long long>(speicher.PeakWorkingSetSize), cpu);
    return 0;
}
