#include "Fortschritt.h"

#include "Fenster.h"
#include "Handles.h"
#include "Programm.h"

#include <algorithm>
#include <vector>

namespace modFortschritt {
namespace {
Anzeige* anzeige = nullptr;

// The running step; gesamt 0 when none runs.
uint64_t gesamt = 0;
uint64_t erledigt = 0;

// Often enough that the window answers at once, seldom enough that the work does not notice.
constexpr ULONGLONG kAbstandMs = 40;
ULONGLONG zuletzt = 0;

void BalkenSetzen() {
    if (anzeige) anzeige->BytesZeigen(std::min(erledigt, gesamt), gesamt);
}

// Plain files of any size in pieces that keep the window answering between them.
constexpr DWORD kKopierstück = 1u << 20;

bool Übertragen(HANDLE ein, HANDLE aus) {
    std::vector<char> puffer(kKopierstück);
    for (;;) {
        DWORD gelesen = 0, geschrieben = 0;
        if (!ReadFile(ein, puffer.data(), kKopierstück, &gelesen, nullptr)) return false;
        if (gelesen == 0) return true;
        if (!WriteFile(aus, puffer.data(), gelesen, &geschrieben, nullptr)) return false;
        if (geschrieben != gelesen) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        BytesErledigt(gelesen);
    }
}
}  // namespace

void AnzeigeSetzen(Anzeige* neue) { anzeige = neue; }

Anzeige* AktuelleAnzeige() { return anzeige; }

void FortschrittAnzeigen(const std::wstring& zeile) {
    if (anzeige) anzeige->ZeileAnhängen(zeile);
}

bool ArbeitLäuft() { return anzeige && anzeige->Arbeitet(); }

void Zwischendurch() {
    const ULONGLONG jetzt = GetTickCount64();
    if (jetzt - zuletzt < kAbstandMs) return;
    zuletzt = jetzt;
    if (gesamt) BalkenSetzen();
    Oberfläche::NachrichtenVerarbeiten();
}

Bytefortschritt::Bytefortschritt(uint64_t summe) {
    gesamt = summe;
    erledigt = 0;
    // The first bytes of a step are shown, and let events through, at once.
    zuletzt = 0;
    BalkenSetzen();
}

Bytefortschritt::~Bytefortschritt() {
    // Where the step got to, which the pause between updates may have kept back, then empty.
    BalkenSetzen();
    gesamt = erledigt = 0;
    BalkenSetzen();
}

void BytesErledigt(uint64_t anzahl) {
    erledigt += anzahl;
    Zwischendurch();
}

void BytesStand(uint64_t stand) {
    erledigt = stand;
    Zwischendurch();
}

bool DateiKopieren(const std::wstring& quelle, const std::wstring& ziel) {
    const Handles::Datei ein(CreateFileW(quelle.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!ein || !GetFileInformationByHandle(ein.Get(), &info)) return false;
    Handles::Datei aus(CreateFileW(ziel.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!aus) return false;
    bool fertig = false;
    DWORD fehler = ERROR_SUCCESS;
    {
        Programm::Überbleibsel teil(ziel);
        teil.OffenIn(aus.Get());
        const Bytefortschritt schritt((uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
        fertig = Übertragen(ein.Get(), aus.Get()) && SetFileTime(aus.Get(), nullptr, nullptr, &info.ftLastWriteTime);
        // Before the progress window repaints on leaving this block, which may set its own error.
        if (!fertig) fehler = GetLastError();
        teil.OffenIn(nullptr);
    }
    aus.Freigeben();
    if (!fertig) {
        DeleteFileW(ziel.c_str());
        SetLastError(fehler);
        return false;
    }
    // As a copy by the system: the attributes go along, read-only included.
    constexpr DWORD kMitnehmen = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    if (info.dwFileAttributes & kMitnehmen) SetFileAttributesW(ziel.c_str(), info.dwFileAttributes & kMitnehmen);
    return true;
}

std::wstring BytesText(uint64_t fertig, uint64_t summe) {
    static constexpr const wchar_t* kEinheiten[] = {L"Bytes", L"KB", L"MB", L"GB", L"TB"};
    size_t stufe = 0;
    double teiler = 1;
    while (stufe + 1 < std::size(kEinheiten) && static_cast<double>(summe) >= teiler * 1024) {
        teiler *= 1024;
        ++stufe;
    }
    auto zahl = [&](uint64_t wert) {
        if (stufe == 0) return std::to_wstring(wert);
        // In tenths, rounded down, so the bar never claims a step as done before it is.
        const auto zehntel = static_cast<uint64_t>(static_cast<double>(wert) * 10 / teiler);
        return std::to_wstring(zehntel / 10) + L"," + std::to_wstring(zehntel % 10);
    };
    return zahl(fertig) + L" von " + zahl(summe) + L" " + kEinheiten[stufe];
}

}  // namespace modFortschritt
