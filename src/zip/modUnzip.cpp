#include "modUnzip.h"

#include "Fortschritt.h"
#include "Handles.h"
#include "Interaktion.h"
#include "Programm.h"
#include "Systemfehler.h"
#include "ZipPacker.h"
#include "ZipText.h"
#include "ZipVerzeichnis.h"
#include "modFunktionen.h"

#include <windows.h>
#include <zip.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace modUnzip {

Zustand zustand;

void Zurücksetzen() { zustand = Zustand{}; }

namespace {

constexpr wchar_t kCrLf[] = L"\r\n";
// Members up to this size are checked in memory and then written in one go under their final
// name; larger ones stream into a hidden temporary file that is renamed once it checked out.
constexpr size_t kPuffer = 1u << 20;
constexpr int kPasswortVersuche = 3;

struct ArchivVerwerfen {
    void operator()(zip_t* archiv) const { zip_discard(archiv); }
};
struct MitgliedSchließen {
    void operator()(zip_file_t* datei) const { zip_fclose(datei); }
};
using Archiv = std::unique_ptr<zip_t, ArchivVerwerfen>;
using Mitglied = std::unique_ptr<zip_file_t, MitgliedSchließen>;

void Melden(const std::wstring& zeile) { zustand.uZipAusgabe += zeile + kCrLf; }

// The first failure decides the result; later ones only add their lines.
void ErgebnisMerken(int32_t& ergebnis, int32_t fehler) {
    if (fehler != PK_OK && (ergebnis == PK_OK || ergebnis == PK_WARN)) ergebnis = fehler;
}

void Addieren(uint64_t& summe, uint64_t wert) {
    summe += wert;
    if (summe < wert) summe = UINT64_MAX;
}

// Stored names carry the UTF-8 flag, or come from Windows archivers in the OEM code page of the
// packing machine. Names that are valid UTF-8 without the flag are taken as UTF-8 as well: bytes
// of an OEM name almost never form valid UTF-8.
std::wstring NameLesen(zip_t* archiv, zip_uint64_t index) {
    const char* roh = zip_get_name(archiv, index, ZIP_FL_ENC_RAW);
    if (!roh) return {};
    const std::string_view bytes(roh);
    const char* streng = zip_get_name(archiv, index, ZIP_FL_ENC_STRICT);
    const bool markiert = streng && bytes == streng;
    if (ZipText::IstAscii(bytes) || markiert || ZipText::IstUtf8(bytes)) return ZipText::AusCodepage(bytes, CP_UTF8);
    return ZipText::AusCodepage(bytes, GetOEMCP());
}

enum class Art { Datei, Ordner, Verweis };

Art ArtLesen(zip_t* archiv, zip_uint64_t index, const std::wstring& name) {
    if (!name.empty() && (name.back() == L'/' || name.back() == L'\\')) return Art::Ordner;
    zip_uint8_t system = 0;
    zip_uint32_t attribute = 0;
    if (zip_file_get_external_attributes(archiv, index, 0, &system, &attribute) != 0) return Art::Datei;
    const zip_uint32_t modus = (attribute >> 16) & 0170000;
    if (system == ZIP_OPSYS_UNIX && modus == 0120000) return Art::Verweis;
    if (system == ZIP_OPSYS_UNIX && modus == 0040000) return Art::Ordner;
    if (attribute & FILE_ATTRIBUTE_DIRECTORY) return Art::Ordner;
    return Art::Datei;
}

bool OrdnerAnlegen(const std::wstring& langerPfad) {
    if (CreateDirectoryW(langerPfad.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return (GetFileAttributesW(langerPfad.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
               GetFileAttributesW(langerPfad.c_str()) != INVALID_FILE_ATTRIBUTES;
    const size_t trenner = langerPfad.find_last_of(L'\\');
    if (GetLastError() != ERROR_PATH_NOT_FOUND || trenner == std::wstring::npos || trenner < 7) return false;
    return OrdnerAnlegen(langerPfad.substr(0, trenner)) && CreateDirectoryW(langerPfad.c_str(), nullptr);
}

// Free space where the folder is or will be; nothing when no part of its path can tell.
std::optional<uint64_t> FreierPlatz(std::wstring ordner) {
    ULARGE_INTEGER frei{};
    while (!GetDiskFreeSpaceExW((ordner + L"\\").c_str(), &frei, nullptr, nullptr)) {
        const size_t trenner = ordner.find_last_of(L'\\');
        if (trenner == std::wstring::npos || trenner < 4) return std::nullopt;
        ordner.resize(trenner);
    }
    return frei.QuadPart;
}

struct Plan {
    zip_uint64_t index;
    std::wstring gespeichert;  // stored name, for the listing and messages
    std::wstring ziel;         // safe file name in the target folder
    std::vector<std::wstring> änderungen;  // why ziel differs from the stored name
    zip_stat_t stat;
};

std::wstring NamenswechselZeile(const Plan& plan) {
    std::wstring gründe;
    for (const std::wstring& grund : plan.änderungen) gründe += (gründe.empty() ? L"" : L", ") + grund;
    return L"Achtung - '" + plan.gespeichert + L"' wurde als '" + plan.ziel + L"' entpackt (" + gründe + L")";
}

// --- Writing one member -------------------------------------------------------------------

// A freshly created file. Zero blocks are skipped instead of written: the file system fills the
// gap with zeros when the end is set, and partial downloads are mostly zeros.
class Ausgabe {
public:
    explicit Ausgabe(HANDLE datei) : datei_(datei) {}

    bool Schreiben(const char* daten, size_t anzahl) {
        constexpr size_t kBlock = 64u << 10;
        size_t geschrieben = 0;  // bytes of daten dealt with
        for (size_t block = 0; block < anzahl; block += kBlock) {
            const size_t n = std::min(kBlock, anzahl - block);
            if (n < kBlock || !ZipPacker::NurNullen(reinterpret_cast<const unsigned char*>(daten) + block, n)) continue;
            if (!Direkt(daten + geschrieben, block - geschrieben) || !Überspringen(n)) return false;
            geschrieben = block + n;
        }
        return Direkt(daten + geschrieben, anzahl - geschrieben);
    }

    bool Abschließen() { return !lücke_ || SetEndOfFile(datei_); }

private:
    bool Überspringen(size_t anzahl) {
        LARGE_INTEGER weiter{};
        weiter.QuadPart = static_cast<LONGLONG>(anzahl);
        lücke_ = true;
        return SetFilePointerEx(datei_, weiter, nullptr, FILE_CURRENT);
    }

    bool Direkt(const char* daten, size_t anzahl) {
        if (anzahl == 0) return true;
        DWORD geschrieben = 0;
        lücke_ = false;
        return WriteFile(datei_, daten, static_cast<DWORD>(anzahl), &geschrieben, nullptr) && geschrieben == anzahl;
    }

    HANDLE datei_;
    bool lücke_ = false;  // the file ends in a skipped gap that SetEndOfFile must cover
};

Handles::Datei Anlegen(const std::wstring& pfad, DWORD attribute) {
    return Handles::Datei(CreateFileW(pfad.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attribute, nullptr));
}

// One extraction run: the open archive, the target folder and what the person answered so far.
class Entpackung {
public:
    Entpackung(Zustand& z, zip_t* archiv, std::wstring ordner) : z_(z), archiv_(archiv), ordner_(std::move(ordner)) {}

    int32_t Verarbeiten(const Plan& plan) {
        const bool schreiben = !z_.uExtractList && !z_.uTesten;
        const std::wstring ziel = ordner_ + L"\\" + plan.ziel;
        const bool immerÜberschreiben = z_.uÜberschreiben && !z_.uNachfragen;
        if (schreiben && !immerÜberschreiben && GetFileAttributesW(ziel.c_str()) != INVALID_FILE_ATTRIBUTES &&
            !ÜberschreibenErlaubt(plan))
            return PK_OK;
        if (z_.uExtractList) {
            Auflisten(plan);
            return PK_OK;
        }
        Mitglied mitglied;
        if (const int32_t fehler = Öffnen(plan, mitglied); fehler != PK_OK) return fehler;
        int32_t fehler = PK_OK;
        if (!schreiben)
            fehler = Durchlesen(plan, mitglied.get(), [](const char*, size_t) { return true; });
        else if (plan.stat.size <= kPuffer)
            fehler = KleinSchreiben(plan, mitglied.get(), ziel);
        else
            fehler = GroßSchreiben(plan, mitglied.get(), ziel);
        if (fehler != PK_OK) return fehler;
        Auflisten(plan);
        if (schreiben && !plan.änderungen.empty()) Melden(NamenswechselZeile(plan));
        return PK_OK;
    }

private:
    bool ÜberschreibenErlaubt(const Plan& plan) {
        if (!z_.uNachfragen) return z_.uÜberschreiben != 0;
        if (keineMehr_) return false;
        const int antwort = Interaktion::Aktuell().MeldungZeigen(
            GetActiveWindow(), {L"Overwrite " + plan.ziel + L"?", L"VBUnZip32 - File Already Exists!", MB_YESNOCANCEL | MB_ICONEXCLAMATION});
        if (antwort == IDCANCEL) keineMehr_ = true;
        return antwort == IDYES;
    }

    void Auflisten(const Plan& plan) {
        if (z_.uZipAnzahl == 0) z_.uZipListe = ListenKopf() + kCrLf;
        std::tm zeit{};
        const time_t mtime = plan.stat.mtime;
        localtime_s(&zeit, &mtime);
        z_.uZipListe += Listenzeile(plan.gespeichert, plan.stat.size, zeit.tm_mon + 1, zeit.tm_mday, zeit.tm_year + 1900,
                                    zeit.tm_hour, zeit.tm_min) + kCrLf;
        ++z_.uZipAnzahl;
    }

    // Encrypted members: the password that opened the last one is tried first, then the person
    // is asked. Windows archivers encode the password in the ANSI or OEM code page, newer ones
    // in UTF-8: each of these is tried.
    int32_t Öffnen(const Plan& plan, Mitglied& mitglied) {
        if (plan.stat.encryption_method == ZIP_EM_NONE) {
            mitglied.reset(zip_fopen_index(archiv_, plan.index, 0));
            return mitglied ? PK_OK : Öffnungsfehler(plan, zip_get_error(archiv_));
        }
        if (passwort_ && MitPasswortÖffnen(plan, *passwort_, mitglied)) return PK_OK;
        for (int versuch = 0; versuch < kPasswortVersuche; ++versuch) {
            if (z_.uPasswortAbbruch) break;
            const std::wstring antwort = Interaktion::Eingabe(GetActiveWindow(), L"Please Enter The Password!", true);
            if (antwort.empty()) {
                z_.uPasswortAbbruch = true;
                break;
            }
            if (MitPasswortÖffnen(plan, antwort, mitglied)) {
                passwort_ = antwort;
                return PK_OK;
            }
            if (zip_error_code_zip(zip_get_error(archiv_)) != ZIP_ER_WRONGPASSWD) return Öffnungsfehler(plan, zip_get_error(archiv_));
        }
        Melden(L"Fehler - '" + plan.gespeichert + L"' ist verschlüsselt und wurde ohne richtiges Passwort nicht entpackt");
        return IZ_BADPWD;
    }

    bool MitPasswortÖffnen(const Plan& plan, const std::wstring& passwort, Mitglied& mitglied) {
        std::vector<std::string> formen;
        for (const unsigned codepage : {static_cast<unsigned>(CP_ACP), static_cast<unsigned>(CP_UTF8), GetOEMCP()}) {
            std::string form = ZipText::InCodepage(passwort, codepage);
            if (std::find(formen.begin(), formen.end(), form) == formen.end()) formen.push_back(std::move(form));
        }
        for (const auto& form : formen) {
            mitglied.reset(zip_fopen_index_encrypted(archiv_, plan.index, 0, form.c_str()));
            if (mitglied) return true;
            if (zip_error_code_zip(zip_get_error(archiv_)) != ZIP_ER_WRONGPASSWD) return false;
        }
        return false;
    }

    int32_t Öffnungsfehler(const Plan& plan, zip_error_t* fehler) {
        const int code = zip_error_code_zip(fehler);
        if (code == ZIP_ER_COMPNOTSUPP || code == ZIP_ER_ENCRNOTSUPP) {
            Melden(L"Fehler - '" + plan.gespeichert + L"' ist mit einem nicht unterstützten Verfahren gepackt oder verschlüsselt");
            return IZ_UNSUP;
        }
        Melden(L"Fehler - '" + plan.gespeichert + L"' lässt sich nicht lesen (" + ZipText::AusCodepage(zip_error_strerror(fehler), CP_ACP) + L")");
        return PK_ERR;
    }

    // Reads the member to its end, which is where libzip checks the CRC, and hands each piece to
    // schreiben. Nothing beyond the size the directory announced is ever handed on: that size is
    // what the free-space check counted.
    template <typename Schreiben>
    int32_t Durchlesen(const Plan& plan, zip_file_t* mitglied, Schreiben&& schreiben) {
        puffer_.resize(kPuffer);
        uint64_t gelesen = 0;
        for (;;) {
            const zip_int64_t n = zip_fread(mitglied, puffer_.data(), puffer_.size());
            if (n < 0) {
                const int code = zip_error_code_zip(zip_file_get_error(mitglied));
                Melden(L"Fehler - '" + plan.gespeichert + (code == ZIP_ER_CRC ? L"' ist beschädigt (Prüfsumme falsch oder falsches Passwort)"
                                                                              : L"' ist beschädigt") +
                       L" und wurde nicht entpackt");
                return PK_ERR;
            }
            if (n == 0) return PK_OK;
            gelesen += static_cast<uint64_t>(n);
            if (gelesen > plan.stat.size) {
                Melden(L"Fehler - '" + plan.gespeichert + L"' ist größer als im Archiv angegeben und wurde nicht entpackt");
                return PK_BADERR;
            }
            if (!schreiben(puffer_.data(), static_cast<size_t>(n))) {
                Melden(L"Fehler - '" + plan.ziel + L"' kann nicht geschrieben werden " + Systemfehler::Nummer(GetLastError()));
                return PK_DISK;
            }
            modFortschritt::BytesErledigt(static_cast<uint64_t>(n));
        }
    }

    // Small members are checked in memory first, so the common case costs one create, one write
    // and one close, under the final name when no file of that name exists.
    int32_t KleinSchreiben(const Plan& plan, zip_file_t* mitglied, const std::wstring& ziel) {
        std::string inhalt;
        inhalt.reserve(static_cast<size_t>(plan.stat.size));
        if (const int32_t fehler = Durchlesen(plan, mitglied, [&](const char* d, size_t n) { inhalt.append(d, n); return true; });
            fehler != PK_OK)
            return fehler;
        if (Handles::Datei datei = Anlegen(ziel, FILE_ATTRIBUTE_NORMAL); datei) {
            Ausgabe ausgabe(datei.Get());
            if (ausgabe.Schreiben(inhalt.data(), inhalt.size()) && ausgabe.Abschließen()) return PK_OK;
            datei.Freigeben();
            DeleteFileW(ziel.c_str());
            return Schreibfehler(plan);
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return Schreibfehler(plan);
        return ÜberTemporäreDatei(plan, ziel, [&](Ausgabe& ausgabe) {
            return ausgabe.Schreiben(inhalt.data(), inhalt.size()) ? PK_OK : Schreibfehler(plan);
        });
    }

    int32_t GroßSchreiben(const Plan& plan, zip_file_t* mitglied, const std::wstring& ziel) {
        return ÜberTemporäreDatei(plan, ziel, [&](Ausgabe& ausgabe) {
            return Durchlesen(plan, mitglied, [&](const char* d, size_t n) { return ausgabe.Schreiben(d, n); });
        });
    }

    // Writes into a new hidden file beside the target and renames it over the target only when
    // everything checked out: an existing file is replaced whole or not at all, and a link of
    // that name is replaced, never written through.
    template <typename Füllen>
    int32_t ÜberTemporäreDatei(const Plan& plan, const std::wstring& ziel, Füllen&& füllen) {
        std::wstring temp;
        Handles::Datei datei;
        for (unsigned nummer = 0; !datei && nummer < 100; ++nummer) {
            temp = ordner_ + L"\\~lw" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(plan.index) + L"-" +
                   std::to_wstring(nummer) + L".tmp";
            datei = Anlegen(temp, FILE_ATTRIBUTE_HIDDEN);
        }
        if (!datei) return Schreibfehler(plan);
        Programm::Überbleibsel rest(temp);
        rest.OffenIn(datei.Get());
        Ausgabe ausgabe(datei.Get());
        int32_t fehler = füllen(ausgabe);
        if (fehler == PK_OK && !ausgabe.Abschließen()) fehler = Schreibfehler(plan);
        datei.Freigeben();
        if (fehler == PK_OK) {
            SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (MoveFileExW(temp.c_str(), ziel.c_str(), MOVEFILE_REPLACE_EXISTING)) return PK_OK;
            fehler = Schreibfehler(plan);
        }
        DeleteFileW(temp.c_str());
        return fehler;
    }

    int32_t Schreibfehler(const Plan& plan) {
        Melden(L"Fehler - '" + plan.ziel + L"' kann nicht geschrieben werden " + Systemfehler::Nummer(GetLastError()));
        return PK_DISK;
    }

    Zustand& z_;
    zip_t* archiv_;
    std::wstring ordner_;
    std::optional<std::wstring> passwort_;
    bool keineMehr_ = false;
    std::vector<char> puffer_;
};

// --- The run ---------------------------------------------------------------------------------

bool OptionenUnterstützt(const Zustand& z) {
    return !z.uNurNeuere && !z.uAusgabeStdout && !z.uAuffrischen && !z.uOrdnerBeachten && !z.uZeilenenden &&
           z.uDateienAnzahl == 0 && z.uAusnahmenAnzahl == 0;
}

int32_t Öffnungsfehler(const zip_error_t& fehler) {
    switch (fehler.zip_err) {
    case ZIP_ER_MEMORY:
        return PK_MEM;
    case ZIP_ER_NOENT:
    case ZIP_ER_OPEN:
    case ZIP_ER_NOZIP:
    case ZIP_ER_EOF:
        return PK_NOZIP;
    default:
        return PK_BADERR;
    }
}

// A member whose stored name needed no change keeps it; every other member that would land on a
// name taken in this run gets the next free sequential name, so that no member overwrites another.
void NamenVergeben(std::vector<Plan>& pläne) {
    // Windows compares file names ignoring letter case.
    std::set<std::wstring> vergeben;
    const auto frei = [&](const std::wstring& name) { return vergeben.insert(modFunktionen::Großbuchstaben(name)).second; };
    std::vector<bool> hatNamen(pläne.size());
    for (size_t i = 0; i < pläne.size(); ++i) hatNamen[i] = pläne[i].änderungen.empty() && frei(pläne[i].ziel);
    // Where counting goes on for a name, so that many members of one name cost no quadratic time.
    std::map<std::wstring, unsigned> nächsteNummer;
    for (size_t i = 0; i < pläne.size(); ++i) {
        Plan& plan = pläne[i];
        if (hatNamen[i] || frei(plan.ziel)) continue;
        unsigned& nummer = nächsteNummer[modFunktionen::Großbuchstaben(plan.ziel)];
        std::wstring neu = modFunktionen::Folgename(plan.ziel, nummer++);
        while (!frei(neu)) neu = modFunktionen::Folgename(plan.ziel, nummer++);
        plan.änderungen.push_back(L"'" + plan.ziel + L"' ist schon vergeben");
        plan.ziel = std::move(neu);
    }
}

// What is to be written, or the reason why the archive is refused before anything is written.
int32_t Planen(Zustand& z, zip_t* archiv, HANDLE datei, std::vector<Plan>& pläne) {
    const zip_int64_t anzahl = zip_get_num_entries(archiv, 0);
    if (anzahl > kHöchstzahlEinträge) {
        Melden(L"Fehler - Das Archiv hat " + std::to_wstring(anzahl) + L" Einträge, mehr als die erlaubten " +
               std::to_wstring(kHöchstzahlEinträge) + L"; es wird nichts entpackt");
        return PK_BADERR;
    }
    const auto verzeichnis = ZipVerzeichnis::Lesen(datei);
    if (!verzeichnis || static_cast<zip_int64_t>(verzeichnis->bereiche.size()) != anzahl) {
        Melden(L"Fehler - Das Inhaltsverzeichnis des Archivs ist beschädigt, es wird nichts entpackt");
        return PK_BADERR;
    }
    if (ZipVerzeichnis::Überlappen(*verzeichnis)) {
        Melden(L"Fehler - Einträge des Archivs teilen sich ihre Daten (ZIP-Bombe), es wird nichts entpackt");
        return PK_BADERR;
    }
    int32_t ergebnis = PK_OK;
    uint64_t bedarf = 0;
    for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(anzahl); ++i) {
        Plan plan{i, NameLesen(archiv, i), {}, {}, {}};
        if (zip_stat_index(archiv, i, 0, &plan.stat) != 0) {
            Melden(L"Fehler - Eintrag " + std::to_wstring(i + 1) + L" des Archivs ist unlesbar, es wird nichts entpackt");
            return PK_BADERR;
        }
        const Art art = ArtLesen(archiv, i, plan.gespeichert);
        if (art == Art::Ordner) continue;
        if (art == Art::Verweis) {
            Melden(L"Achtung - Die Verknüpfung '" + plan.gespeichert + L"' wird nicht angelegt");
            ErgebnisMerken(ergebnis, PK_WARN);
            ++z.uNichtEntpackt;
            continue;
        }
        Landename landename = SichererName(plan.gespeichert);
        plan.ziel = std::move(landename.name);
        plan.änderungen = std::move(landename.änderungen);
        if (z.uLeerzeichenErsetzen && plan.ziel.find(L' ') != std::wstring::npos) {
            std::replace(plan.ziel.begin(), plan.ziel.end(), L' ', L'_');
            plan.änderungen.push_back(L"Leerzeichen durch '_' ersetzt");
        }
        if (plan.ziel.empty()) {
            Melden(L"Achtung - '" + plan.gespeichert + L"' hat keinen verwendbaren Dateinamen und wird übersprungen");
            ErgebnisMerken(ergebnis, PK_WARN);
            ++z.uNichtEntpackt;
            continue;
        }
        Addieren(bedarf, plan.stat.size);
        pläne.push_back(std::move(plan));
    }
    NamenVergeben(pläne);
    if (!z.uExtractList && !z.uTesten) {
        const auto frei = FreierPlatz(modFunktionen::LangerPfad(z.uZielOrdner));
        if (frei && bedarf > *frei) {
            Melden(L"Fehler - Die Dateien des Archivs brauchen " + std::to_wstring(bedarf) + L" Bytes, frei sind nur " +
                   std::to_wstring(*frei) + L" Bytes; es wird nichts entpackt");
            return PK_DISK;
        }
    }
    return ergebnis;
}

// The archive, with the handle through which its directory is checked independently of libzip.
struct Geöffnet {
    Handles::Datei datei;
    Archiv archiv;
    int32_t fehler = PK_OK;
};

Geöffnet ArchivÖffnen(const std::wstring& pfad) {
    Geöffnet geöffnet;
    geöffnet.datei = Handles::Datei(CreateFileW(pfad.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    zip_error_t fehler;
    zip_error_init(&fehler);
    zip_source_t* quelle = geöffnet.datei ? zip_source_win32w_create(pfad.c_str(), 0, -1, &fehler) : nullptr;
    geöffnet.archiv.reset(quelle ? zip_open_from_source(quelle, ZIP_RDONLY, &fehler) : nullptr);
    if (!geöffnet.archiv) {
        if (quelle) zip_source_free(quelle);
        geöffnet.fehler = geöffnet.datei ? Öffnungsfehler(fehler) : PK_NOZIP;
    }
    zip_error_fini(&fehler);
    return geöffnet;
}

int32_t Entpacken(Zustand& z) {
    z.uNichtEntpackt = 0;
    if (!OptionenUnterstützt(z)) {
        Melden(L"Fehler - Diese Entpack-Optionen werden nicht unterstützt");
        return PK_PARAM;
    }
    const Geöffnet geöffnet = ArchivÖffnen(z.uZipDatei);
    if (!geöffnet.archiv) {
        Melden(L"Fehler - '" + z.uZipDatei + L"' ist kein vollständiges ZIP-Archiv oder lässt sich nicht öffnen");
        return geöffnet.fehler;
    }
    std::vector<Plan> pläne;
    int32_t ergebnis = Planen(z, geöffnet.archiv.get(), geöffnet.datei.Get(), pläne);
    if (ergebnis != PK_OK && ergebnis != PK_WARN) return ergebnis;
    const std::wstring ordner = modFunktionen::LangerPfad(z.uZielOrdner);
    if (!z.uExtractList && !z.uTesten && !pläne.empty() && (ordner.empty() || !OrdnerAnlegen(ordner))) {
        Melden(L"Fehler - Der Ordner '" + z.uZielOrdner + L"' kann nicht angelegt werden");
        return PK_DISK;
    }
    Entpackung entpackung(z, geöffnet.archiv.get(), ordner);
    uint64_t gesamt = 0;
    for (const auto& plan : pläne) gesamt += plan.stat.size;
    const modFortschritt::Bytefortschritt fortschritt(gesamt);
    for (const auto& plan : pläne) {
        const int32_t fehler = entpackung.Verarbeiten(plan);
        if (fehler != PK_OK) ++z.uNichtEntpackt;
        ErgebnisMerken(ergebnis, fehler);
    }
    return ergebnis;
}

}  // namespace

bool PlatzReicht(const std::wstring& archiv, const std::wstring& ordner) {
    const Geöffnet geöffnet = ArchivÖffnen(archiv);
    const zip_int64_t anzahl = geöffnet.archiv ? zip_get_num_entries(geöffnet.archiv.get(), 0) : 0;
    uint64_t bedarf = 0;
    for (zip_int64_t i = 0; i < std::min(anzahl, kHöchstzahlEinträge + 1); ++i) {
        zip_stat_t stat;
        if (zip_stat_index(geöffnet.archiv.get(), static_cast<zip_uint64_t>(i), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE))
            Addieren(bedarf, stat.size);
    }
    const auto frei = FreierPlatz(modFunktionen::LangerPfad(ordner));
    return !frei || bedarf <= *frei;
}

void ZipEntpacken() {
    zustand.uErgebnis = Entpacken(zustand);
    if (zustand.uErgebnis != PK_OK)
        Interaktion::Aktuell().MeldungZeigen(GetActiveWindow(), {std::to_wstring(zustand.uErgebnis), Programm::Titel(), MB_OK});
}

}  // namespace modUnzip
