#include "modZip.h"

#include "Fenster.h"
#include "Fortschritt.h"
#include "ZipText.h"
#include "modFunktionen.h"

#include <windows.h>
#include <zip.h>

#include <memory>
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
    std::wstring pfad;
    std::wstring name;  // as stored, '/' between folders
};

// Without fJunkDir a file keeps its folders, but never a drive or server part: an archive must
// not name places on the machine that unpacks it.
std::wstring NameImArchiv(const std::wstring& pfad, bool nurDateiname) {
    if (nurDateiname) return modFunktionen::DateinameZurückgeben(pfad);
    std::wstring name = pfad;
    if (name.rfind(L"\\\\", 0) == 0) {
        const size_t server = name.find(L'\\', 2);
        const size_t freigabe = server == std::wstring::npos ? server : name.find(L'\\', server + 1);
        name = freigabe == std::wstring::npos ? L"" : name.substr(freigabe + 1);
    } else if (name.size() >= 2 && name[1] == L':') {
        name = name.substr(2);
    }
    while (!name.empty() && name.front() == L'\\') name.erase(0, 1);
    for (auto& zeichen : name)
        if (zeichen == L'\\') zeichen = L'/';
    return name;
}

int Stufe(int16_t fLevel) { return fLevel >= '0' && fLevel <= '9' ? fLevel - '0' : 9; }

// Keeps the progress window painted while libzip writes: libzip calls this after every block.
int FensterBedienen(zip_t*, void* zuletzt) {
    auto& tick = *static_cast<ULONGLONG*>(zuletzt);
    const ULONGLONG jetzt = GetTickCount64();
    if (jetzt - tick >= 40) {
        tick = jetzt;
        Fenster::NachrichtenVerarbeiten();
    }
    return 0;
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

bool NurUnterstützteOptionen(const Zustand& z) {
    return z.Date.empty() && z.szRootDir.empty() && z.szTempDir.empty() && !z.fEncrypt && !z.fRecurse && !z.fUpdate &&
           !z.fFreshen && !z.fComment;
}

// The list to pack, or the reason why it cannot be packed. Two files whose names differ only in
// letter case would overwrite each other when unpacked on Windows, so they count as one name.
int32_t EinträgeSammeln(const Zustand& z, std::vector<Eintrag>& einträge) {
    if (z.uAnzahl <= 0) return ZE_NONE;
    if (static_cast<size_t>(z.uAnzahl) > z.uDateien.size()) return ZE_PARMS;
    for (int32_t i = 0; i < z.uAnzahl; ++i) {
        const std::wstring& pfad = z.uDateien[static_cast<size_t>(i)];
        Eintrag eintrag{pfad, NameImArchiv(pfad, z.fJunkDir != 0)};
        if (!modFunktionen::DateiExistiert(pfad)) {
            modFortschritt::FortschrittAnzeigen(L"Fehler - Datei '" + pfad + L"' kann nicht gelesen werden");
            return ZE_OPEN;
        }
        for (const auto& früher : einträge) {
            if (modFunktionen::TexteGleich(früher.name, eintrag.name)) {
                modFortschritt::FortschrittAnzeigen(L"Fehler - Der Name '" + eintrag.name +
                                                    L"' kommt mehrmals vor: '" + früher.pfad + L"' und '" + pfad + L"'");
                return ZE_PARMS;
            }
        }
        einträge.push_back(std::move(eintrag));
    }
    return ZE_OK;
}

}  // namespace

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

    const int stufe = Stufe(z.fLevel);
    for (const auto& eintrag : einträge) {
        zip_source_t* quelle = zip_source_win32w_create(eintrag.pfad.c_str(), 0, -1, &fehler);
        if (!quelle) return ZE_OPEN;
        const zip_int64_t index = zip_file_add(archiv.get(), ZipText::Utf8(eintrag.name).c_str(), quelle, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(quelle);
            return ZE_LOGIC;
        }
        zip_set_file_compression(archiv.get(), static_cast<zip_uint64_t>(index), stufe ? ZIP_CM_DEFLATE : ZIP_CM_STORE,
                                 static_cast<zip_uint32_t>(stufe));
    }

    ULONGLONG zuletzt = GetTickCount64();
    zip_register_cancel_callback_with_state(archiv.get(), FensterBedienen, nullptr, &zuletzt);
    if (zip_close(archiv.get()) != 0) return Schreibfehler(zip_get_error(archiv.get()));
    archiv.release();  // zip_close freed it
    return ZE_OK;
}

}  // namespace modZip
