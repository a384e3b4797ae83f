#pragma once
// Unpacks a package: every member of the archive flat into one folder. Package opening fills the
// module state, calls ZipEntpacken and reads the listing, the messages and the count afterwards.
// The archive is untrusted: whatever its names claim, only plain files with safe names land
// directly in uZielOrdner, nothing else is touched, and a member that fails its check never
// stays behind looking complete. Two members never land on one name: Windows ignores letter
// case, and making names safe can make two of them equal.
// Every name that does not land as stored gets a line naming both.

#include <cstdint>
#include <string>
#include <vector>

namespace modUnzip {

inline constexpr size_t kNamenListe = 2501;
// Packages are written with at most kNamenListe members; an archive with far more is refused
// before anything is written, instead of filling the disk with tiny files for hours.
inline constexpr int64_t kHöchstzahlEinträge = 10000;

// Result codes, shown as a bare number when not 0.
enum Ergebniscode : int32_t {
    PK_OK = 0,
    PK_WARN = 1,     // some members were skipped (links, names that are no file names)
    PK_ERR = 2,      // a member failed its check and was not written
    PK_BADERR = 3,   // the archive is damaged or built to harm (members sharing their data)
    PK_MEM = 4,
    PK_NOZIP = 9,    // missing, truncated or not a ZIP archive
    PK_PARAM = 10,   // options the adapter does not do
    PK_DISK = 50,    // not enough free space, or a file could not be written
    IZ_UNSUP = 81,   // compression or encryption method not supported
    IZ_BADPWD = 82,  // no or wrong password
};

struct Zustand {
    // Options; package opening sets uNachfragen 0, uÜberschreiben 1 and the rest 0.
    int16_t uNurNeuere = 0, uLeerzeichenErsetzen = 0, uNachfragen = 0, uRuhig = 0, uAusgabeStdout = 0, uTesten = 0,
            uExtractList = 0, uAuffrischen = 0, uKommentarZeigen = 0, uOrdnerBeachten = 0, uÜberschreiben = 0,
            uZeilenenden = 0, uZipInfoAusführlich = 0, uGroßKlein = 0, uRechte = 0;
    std::wstring uZipDatei;    // archive path
    std::wstring uZielOrdner;  // created when missing
    // Selections of members; only "all members" (both counts 0) is supported.
    int32_t uDateienAnzahl = 0;
    std::vector<std::wstring> uDateien = std::vector<std::wstring>(kNamenListe);
    int32_t uAusnahmenAnzahl = 0;
    std::vector<std::wstring> uAusnahmen = std::vector<std::wstring>(kNamenListe);

    // Results. uZipListe starts afresh with the first member listed and otherwise keeps its text.
    std::wstring uZipAusgabe;  // messages, one per line, each ending in CR LF
    std::wstring uZipListe;    // header and one 80-column line per member written
    int32_t uZipAnzahl = 0;    // members written
    int32_t uNichtEntpackt = 0;  // members holding a file that were not written (skipped or failed)
    bool uPasswortAbbruch = false;  // once the person declined a password, no further question
    int32_t uErgebnis = 0;     // code of the last call
};

extern Zustand zustand;
void Zurücksetzen();

// Unpacks uZipDatei into uZielOrdner; a non-zero result is also shown as a bare number.
void ZipEntpacken();

// True unless the members, by the sizes the archive's directory gives, need more than is free
// where ordner is or would be; also true when either cannot be told.
bool PlatzReicht(const std::wstring& archiv, const std::wstring& ordner);

// The listing's lines without their CR LF, 80 characters each; a size of more than 7 digits
// widens its column for that line instead of losing digits.
std::wstring ListenKopf();
std::wstring Listenzeile(const std::wstring& name, uint64_t größe, int monat, int tag, int jahr, int stunde, int minute);

// The name under which a member lands: the last part of its stored name, made safe as a plain
// file name, with a note for each change on the way; an empty name when nothing usable is left.
struct Landename {
    std::wstring name;
    std::vector<std::wstring> änderungen;
};
Landename SichererName(const std::wstring& gespeichert);

}  // namespace modUnzip
