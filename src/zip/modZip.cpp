#include "modZip.h"

#include "Fortschritt.h"
#include "Systemfehler.h"
#include "ZipPacker.h"
#include "ZipText.h"
#include "modFunktionen.h"

#include <windows.h>
#include <zip.h>

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace modZip {

Zustand zustand;

void Zurücksetzen() { zustand = Zustand{}; }

namespace {

struct ArchivVerwerfen {
    void operator()(zip_t* archiv) const { zip_discard(archiv); }
};
using Archiv = std::unique_ptr<zip_t, ArchivVerwerfen>;

struct Eintrag {
    std::wstring name;  // as stored, '/' between folders
    ZipPacker::Datei datei;
};

// Without fJunkDir a file keeps its folders, but never a drive or server part: an archive must
// not name places on the machine that unpacks it.
std::wstring NameImArchiv(const std::wstring& pfad, bool nurDateiname) {
    // Windows takes '/' as a separator too.
    if (nurDateiname) return pfad.substr(pfad.find_last_of(L"\\/") == std::wstring::npos ? 0 : pfad.find_last_of(L"\\/") + 1);
    std::wstring name = pfad;
    if (name.rfind(L"\\\\", 0) == 0) {
        const size_t server = name.find(L'\\', 2);
        const size_t freigabe = server == std::wstring::npos ? server : name.find(L'\\', server + 1);
        name = freigabe == std::wstring::npos ? L"" : name.substr(freigabe + 1);
    } else if (name.size() >= 2 && name[1] == L':') {
        name = name.substr(2);
    }
    for (auto& zeichen : name)
        if (zeichen == L'\\') zeichen = L'/';
    while (!name.empty() && name.front() == L'/') name.erase(0, 1);
    return name;
}

int Stufe(int16_t fLevel) { return fLevel >= '0' && fLevel <= '9' ? fLevel - '0' : 9; }

// Keeps the progress window painted while a package is written: called by libzip after every
// block it writes and by the packer while it waits for compressed data.
void FensterBedienen() { modFortschritt::Zwischendurch(); }

int FensterBedienenZwischendurch(zip_t*, void*) {
    FensterBedienen();
    return 0;
}

time_t UnixZeit(const FILETIME& zeit) {
    const uint64_t hundertNs = (uint64_t{zeit.dwHighDateTime} << 32) | zeit.dwLowDateTime;
    return static_cast<time_t>((hundertNs - 116444736000000000ull) / 10000000ull);
}

int32_t Schreibfehler(const zip_error_t* fehler) {
    switch (zip_error_code_zip(fehler)) {
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
    case ZIP_ER_NOENT:
        return ZE_OPEN;
    case ZIP_ER_MEMORY:
        return ZE_MEM;
    case ZIP_ER_TMPOPEN:
        return ZE_CREAT;
    case ZIP_ER_WRITE:
    case ZIP_ER_RENAME:
    case ZIP_ER_CLOSE:
    case ZIP_ER_SEEK:
    case ZIP_ER_REMOVE:
        return ZE_WRITE;
    default:
        return ZE_LOGIC;
    }
}

void NichtLesbar(const std::wstring& pfad, unsigned long fehler) {
    modFortschritt::FortschrittAnzeigen(L"Fehler - Datei '" + pfad + L"' kann nicht gelesen werden (" +
                                        Systemfehler::MitNummer(fehler) + L")");
}

std::optional<ZipPacker::Datei> Lesbar(const std::wstring& pfad) {
    WIN32_FILE_ATTRIBUTE_DATA daten{};
    if (!GetFileAttributesExW(pfad.c_str(), GetFileExInfoStandard, &daten) || (daten.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        NichtLesbar(pfad, daten.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? ERROR_ACCESS_DENIED : GetLastError());
        return std::nullopt;
    }
    return ZipPacker::Datei{pfad, (uint64_t{daten.nFileSizeHigh} << 32) | daten.nFileSizeLow, UnixZeit(daten.ftLastWriteTime)};
}

bool NurUnterstützteOptionen(const Zustand& z) {
    return z.Date.empty() && z.szRootDir.empty() && z.szTempDir.empty() && !z.fEncrypt && !z.fRecurse && !z.fUpdate &&
           !z.fFreshen && !z.fComment;
}

// The list to pack, or the reason why it cannot be packed.
int32_t EinträgeSammeln(const Zustand& z, std::vector<Eintrag>& einträge) {
    if (z.uAnzahl <= 0) return ZE_NONE;
    const auto anzahl = static_cast<size_t>(z.uAnzahl);
    if (anzahl > z.uDateien.size()) return ZE_PARMS;
    std::vector<std::wstring> namen;
    for (size_t i = 0; i < anzahl; ++i) {
        const std::wstring& name = i < z.uNamen.size() ? z.uNamen[i] : std::wstring();
        namen.push_back(name.empty() ? NameImArchiv(z.uDateien[i], z.fJunkDir != 0) : name);
    }
    if (const auto gleich = GleicheNamen(namen)) {
        modFortschritt::FortschrittAnzeigen(L"Fehler - Der Name '" + namen[gleich->second] + L"' kommt mehrmals vor: '" +
                                            z.uDateien[gleich->first] + L"' und '" + z.uDateien[gleich->second] + L"'");
        return ZE_PARMS;
    }
    for (size_t i = 0; i < anzahl; ++i) {
        const auto datei = Lesbar(z.uDateien[i]);
        if (!datei) return ZE_OPEN;
        einträge.push_back({namen[i], *datei});
    }
    return ZE_OK;
}

}  // namespace

std::optional<std::pair<size_t, size_t>> GleicheNamen(const std::vector<std::wstring>& namen) {
    std::unordered_map<std::wstring, size_t> gesehen;
    for (size_t i = 0; i < namen.size(); ++i) {
        const auto [früher, neu] = gesehen.try_emplace(modFunktionen::Großbuchstaben(namen[i]), i);
        if (!neu) return std::pair{früher->second, i};
    }
    return std::nullopt;
}

int32_t ZipErstellen() {
    const Zustand& z = zustand;
    if (!NurUnterstützteOptionen(z)) return ZE_PARMS;
    std::vector<Eintrag> einträge;
    if (const int32_t fehler = EinträgeSammeln(z, einträge); fehler != ZE_OK) return fehler;

    zip_error_t fehler;
    zip_error_init(&fehler);
    zip_source_t* ziel = zip_source_win32w_create(z.uZipDatei.c_str(), 0, -1, &fehler);
    Archiv archiv(ziel ? zip_open_from_source(ziel, ZIP_CREATE | ZIP_TRUNCATE, &fehler) : nullptr);
    if (!archiv) {
        if (ziel) zip_source_free(ziel);
        zip_error_fini(&fehler);
        return ZE_CREAT;
    }
    zip_error_fini(&fehler);

    // Empty files and a request to store are written by libzip itself; all else is deflated
    // ahead by the packer.
    const int stufe = Stufe(z.fLevel);
    std::vector<ZipPacker::Datei> zuPacken;
    for (const auto& eintrag : einträge)
        if (stufe > 0 && eintrag.datei.größe > 0) zuPacken.push_back(eintrag.datei);
    uint64_t gesamt = 0;
    for (const auto& datei : zuPacken) gesamt += datei.größe;
    const modFortschritt::Bytefortschritt fortschritt(gesamt);
    ZipPacker::Packer packer(std::move(zuPacken), stufe, FensterBedienen);
    size_t gepackt = 0;
    for (const auto& eintrag : einträge) {
        const bool vorab = stufe > 0 && eintrag.datei.größe > 0;
        zip_source_t* quelle = vorab ? packer.Quelle(gepackt++, &fehler)
                                     : zip_source_win32w_create(eintrag.datei.pfad.c_str(), 0, -1, &fehler);
        if (!quelle) return ZE_OPEN;
        const zip_int64_t index = zip_file_add(archiv.get(), ZipText::Utf8(eintrag.name).c_str(), quelle, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(quelle);
            return ZE_LOGIC;
        }
        if (!vorab) zip_set_file_compression(archiv.get(), static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }

    zip_register_cancel_callback_with_state(archiv.get(), FensterBedienenZwischendurch, nullptr, nullptr);
    if (zip_close(archiv.get()) != 0) {
        // A file that another program holds open shows only here, and the line names it.
        if (const auto& lesefehler = packer.Fehlgeschlagen()) NichtLesbar(lesefehler->pfad, lesefehler->nummer);
        return Schreibfehler(zip_get_error(archiv.get()));
    }
    archiv.release();  // zip_close freed it
    return ZE_OK;
}

}  // namespace modZip
