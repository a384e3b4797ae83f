#include "DateiVerschieben.h"

#include "Fortschritt.h"
#include "Handles.h"
#include "Interaktion.h"
#include "Systemfehler.h"
#include "frmVerschiebenDateiExistiert.h"
#include "modFunktionen.h"

#include <windows.h>

#include <climits>
#include <optional>
#include <string_view>

namespace modVerschieben {
namespace {

using namespace modFunktionen;

// The real question is the dialog of this layer; the seam below only knows its signature.
const bool kDialogEingetragen =
    (Interaktion::DateiExistiertDialogSetzen(&frmVerschiebenDateiExistiert::Zeigen), true);

constexpr int kMehrAlsNamen = 10000;

std::wstring Laufzeitfehler(const std::wstring& quelle, DWORD fehler) {
    return L"Es ist ein Fehler beim Ändern des Dateinamens '" + quelle + L"' aufgetreten.\n" +
           Systemfehler::MitNummer(fehler) + L".";
}

// Creates the missing folders of the path one level at a time; the drive (or the server and
// share of a network path) is never created. 0 or the platform's error.
DWORD OrdnerAnlegen(const std::wstring& ordner) {
    if (ordner.empty() || OrdnerExistiert(ordner)) return 0;
    const std::wstring pfad = ordner + L"\\";
    size_t anfang = 0;
    if (pfad.rfind(L"\\\\", 0) == 0) {
        // \\server\share\ is the root of a network path.
        for (int teil = 0; teil < 4 && anfang != std::wstring::npos; ++teil) anfang = pfad.find(L'\\', anfang + 1);
        if (anfang == std::wstring::npos) return 0;
    } else {
        anfang = pfad.find(L'\\');
    }
    for (size_t stelle = pfad.find(L'\\', anfang + 1); stelle != std::wstring::npos;
         stelle = pfad.find(L'\\', stelle + 1)) {
        const std::wstring stufe = pfad.substr(0, stelle);
        if (OrdnerExistiert(stufe)) continue;
        if (!CreateDirectoryW(FürApi(stufe).c_str(), nullptr) && !OrdnerExistiert(stufe)) return GetLastError();
    }
    return 0;
}

// A read-only file cannot be replaced; the flag comes back when the replacement fails.
class Schreibschutz {
public:
    Schreibschutz(const std::wstring& pfad, bool aufheben) : pfad_(FürApi(pfad)) {
        if (!aufheben) return;
        vorher_ = GetFileAttributesW(pfad_.c_str());
        if (vorher_ != INVALID_FILE_ATTRIBUTES && (vorher_ & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesW(pfad_.c_str(), vorher_ & ~FILE_ATTRIBUTE_READONLY);
    }
    void Zurücksetzen() const {
        if (vorher_ != INVALID_FILE_ATTRIBUTES && (vorher_ & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesW(pfad_.c_str(), vorher_);
    }

private:
    std::wstring pfad_;
    DWORD vorher_ = INVALID_FILE_ATTRIBUTES;
};

bool ErsetzenVerweigert(DWORD fehler) {
    return fehler == ERROR_ACCESS_DENIED || fehler == ERROR_SHARING_VIOLATION || fehler == ERROR_LOCK_VIOLATION;
}

struct Auftrag {
    const std::wstring& quelle;
    const std::wstring& ziel;
    bool verschieben;
    bool ersetzen;
    std::wstring& fehlermeldung;

    bool Scheitern(DWORD fehler) const {
        fehlermeldung = ersetzen && ErsetzenVerweigert(fehler)
                            ? L"Die Datei '" + ziel + L"' konnte nicht überschieben werden, da diese nicht gelöscht werden kann."
                            : Laufzeitfehler(quelle, fehler);
        return false;
    }
};

// The copy goes to a name of its own beside the target and takes the target's name only once
// it is complete, so a full disk or a vanished source never leaves a half file or costs the old
// target; the source of a move goes only after that.
bool Kopieren(const Auftrag& auftrag) {
    std::wstring teil;
    for (int nummer = 0;; ++nummer) {
        teil = auftrag.ziel + L"." + std::to_wstring(nummer) + L".lwteil";
        if (modFortschritt::DateiKopieren(FürApi(auftrag.quelle), FürApi(teil))) break;
        const DWORD fehler = GetLastError();
        if ((fehler == ERROR_FILE_EXISTS || fehler == ERROR_ALREADY_EXISTS) && nummer < 100) continue;
        if (fehler != ERROR_FILE_EXISTS && fehler != ERROR_ALREADY_EXISTS) DateiLöschen(teil);
        return auftrag.Scheitern(fehler);
    }
    const auto quellGröße = Dateigröße(auftrag.quelle);
    if (!quellGröße || Dateigröße(teil) != quellGröße) {
        DateiLöschen(teil);
        return auftrag.Scheitern(ERROR_WRITE_FAULT);
    }
    const Schreibschutz schutz(auftrag.ziel, auftrag.ersetzen);
    if (!MoveFileExW(FürApi(teil).c_str(), FürApi(auftrag.ziel).c_str(), auftrag.ersetzen ? MOVEFILE_REPLACE_EXISTING : 0)) {
        const DWORD fehler = GetLastError();
        schutz.Zurücksetzen();
        DateiLöschen(teil);
        return auftrag.Scheitern(fehler);
    }
    if (auftrag.verschieben) DateiLöschen(auftrag.quelle);
    return true;
}

// Some file systems (Wine's among them) take a rename that only changes the letter case as done
// without doing it; a detour over a name of its own does it.
bool SchreibweiseÄndern(const Auftrag& auftrag) {
    const std::wstring umweg = auftrag.quelle + L".lwumbenennen";
    if (!MoveFileExW(FürApi(auftrag.quelle).c_str(), FürApi(umweg).c_str(), 0)) return auftrag.Scheitern(GetLastError());
    if (MoveFileExW(FürApi(umweg).c_str(), FürApi(auftrag.ziel).c_str(), 0)) return true;
    const DWORD fehler = GetLastError();
    MoveFileExW(FürApi(umweg).c_str(), FürApi(auftrag.quelle).c_str(), 0);
    return auftrag.Scheitern(fehler);
}

bool Übertragen(const Auftrag& auftrag) {
    if (!auftrag.verschieben) return Kopieren(auftrag);
    if (TexteGleich(auftrag.quelle, auftrag.ziel)) return SchreibweiseÄndern(auftrag);
    // Within one volume a rename moves (or replaces) in one step; only another volume needs a copy.
    const Schreibschutz schutz(auftrag.ziel, auftrag.ersetzen);
    if (MoveFileExW(FürApi(auftrag.quelle).c_str(), FürApi(auftrag.ziel).c_str(),
                    auftrag.ersetzen ? MOVEFILE_REPLACE_EXISTING : 0))
        return true;
    const DWORD fehler = GetLastError();
    schutz.Zurücksetzen();
    if (fehler == ERROR_NOT_SAME_DEVICE) return Kopieren(auftrag);
    return auftrag.Scheitern(fehler);
}

std::wstring Konflikttext(const std::wstring& quelle, const std::wstring& ziel) {
    return L"Die Datei '" + quelle + L"' (" + DateigrößeText(quelle, true) +
           L" Bytes groß) kann nicht umbenannt werden.\nDie Zieldatei '" + ziel + L"' (" + DateigrößeText(ziel, true) +
           L" Bytes groß) existiert bereits.\n\nBenennen Sie die Quelldatei mit der Funktion 'Umbenennen' in einen "
           L"einmaligen Dateinamen um (z.B. 'Datei-0.mp3', 'Datei-1.mp3',...) oder wählen Sie 'Abbrechen', um den "
           L"Kopiervorgang abzubrechen. Mit der Funktion 'Ersetzen' wird die bereits existierende Datei vom "
           L"Datenträger gelöscht und durch die neue Datei ersetzt.";
}

}  // namespace

bool DateiVerschieben(const std::wstring& Quelle, std::wstring& Ziel, int& intVerschieben,
                      std::wstring& strFehlermeldung, int intÜberschreiben) {
    (void)kDialogEingetragen;
    strFehlermeldung.clear();
    const std::wstring zielOrdner = PfadZurückgeben(Ziel);
    if (intVerschieben == Verschieben && Quelle == Ziel) return true;
    if (!DateiExistiert(Quelle)) {
        strFehlermeldung = L"Die Datei '" + Quelle + L"' (Quelldatei) kann nicht verschoben oder umbenannt werden.\n"
                           L"Diese existiert nicht.";
        return false;
    }
    // Cleaned before the conflict test, so that the name asked about is the name written.
    const std::wstring name = DateinamenBereinigen(DateinameZurückgeben(Ziel), false);
    if (name.empty()) {
        strFehlermeldung = Laufzeitfehler(Quelle, ERROR_INVALID_NAME);
        return false;
    }
    Ziel = zielOrdner + L"\\" + name;
    if (intVerschieben == Verschieben && Quelle == Ziel) return true;

    bool ersetzen = false;
    const bool nurSchreibweise = intVerschieben == Verschieben && TexteGleich(Quelle, Ziel);
    if (!nurSchreibweise && DateiExistiert(Ziel)) {
        if (GleicheDatei(Quelle, Ziel)) return true;
        const int antwort = intÜberschreiben == ÜberschreibenErsetzen
                                ? frmVerschiebenDateiExistiert::Ersetzen
                                : Interaktion::Aktuell().DateiExistiertFragen(GetActiveWindow(), Konflikttext(Quelle, Ziel));
        switch (antwort) {
        case frmVerschiebenDateiExistiert::Umbenennen:
            Ziel = FreierName(Ziel);
            if (Ziel.empty()) {
                strFehlermeldung = Laufzeitfehler(Quelle, ERROR_FILE_EXISTS);
                return false;
            }
            break;
        case frmVerschiebenDateiExistiert::Ersetzen:
            if (TexteGleich(Quelle, Ziel))
                intVerschieben = Verschieben;
            else
                ersetzen = true;
            break;
        case frmVerschiebenDateiExistiert::Überspringen:
            return false;
        default:
            strFehlermeldung = L"Die Datei '" + Quelle + L"' kann nicht verschoben oder umbenannt werden.\n"
                               L"Die Zieldatei existiert '" + Ziel + L"' bereits und Umbenennen wurde nicht gewünscht.";
            return false;
        }
    }

    if (const DWORD fehler = OrdnerAnlegen(zielOrdner)) {
        strFehlermeldung = Laufzeitfehler(Quelle, fehler);
        return false;
    }
    return Übertragen({Quelle, Ziel, intVerschieben == Verschieben, ersetzen, strFehlermeldung});
}

std::wstring FortlaufendenDateinamen(const std::wstring& Pfad, const std::wstring& Vorsatz,
                                     const std::wstring& Zähler, const std::wstring& Nachsatz) {
    const std::wstring ordner = PfadZurückgeben(Pfad) + L"\\";
    const std::wstring endung = FolgenamenEndung(DateinameZurückgeben(Pfad));
    std::wstring zahl = Zähler;
    std::wstring kandidat = ordner + Vorsatz + zahl + Nachsatz + endung;
    for (int durchgang = 1; NameVergeben(kandidat); ++durchgang) {
        zahl = ZahlTextErhöhen(zahl);
        if (zahl.empty() || durchgang > kMehrAlsNamen) return {};
        kandidat = ordner + Vorsatz + zahl + Nachsatz + endung;
    }
    return kandidat;
}

bool GleicheDatei(const std::wstring& a, const std::wstring& b) {
    const auto kennung = [](const std::wstring& pfad) -> std::optional<BY_HANDLE_FILE_INFORMATION> {
        // Backup semantics open folders as well as files.
        const Handles::Datei datei(CreateFileW(FürApi(pfad).c_str(), FILE_READ_ATTRIBUTES,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION info{};
        if (!datei || !GetFileInformationByHandle(datei.Get(), &info)) return std::nullopt;
        // Some file systems give every entry the index 0, which tells nothing.
        if (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0) return std::nullopt;
        return info;
    };
    const auto x = kennung(a);
    const auto y = kennung(b);
    return x && y && x->dwVolumeSerialNumber == y->dwVolumeSerialNumber && x->nFileIndexHigh == y->nFileIndexHigh &&
           x->nFileIndexLow == y->nFileIndexLow;
}

// The unpacker's rule for sequential names, so that a long name stays within 255 characters.
std::wstring FreierName(const std::wstring& Ziel) {
    const std::wstring ordner = PfadZurückgeben(Ziel) + L"\\";
    const std::wstring name = DateinameZurückgeben(Ziel);
    for (int nummer = 0; nummer <= kMehrAlsNamen; ++nummer) {
        std::wstring kandidat = ordner + Folgename(name, static_cast<unsigned>(nummer));
        if (!NameVergeben(kandidat)) return kandidat;
    }
    return {};
}

std::wstring DateigrößeText(const std::wstring& Pfad, bool Formatiert) {
    const auto größe = Dateigröße(Pfad);
    if (!größe) return {};
    const std::wstring ziffern = std::to_wstring(*größe);
    if (!Formatiert) return ziffern;
    wchar_t trenner[8] = L".";
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, trenner, static_cast<int>(std::size(trenner)));
    wchar_t komma[] = L",";
    NUMBERFMTW format{0, 0, 3, komma, trenner, 1};
    const int länge = GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, ziffern.c_str(), &format, nullptr, 0);
    if (länge <= 0) return ziffern;
    std::wstring text(static_cast<size_t>(länge), L'\0');
    GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, ziffern.c_str(), &format, text.data(), länge);
    text.resize(static_cast<size_t>(länge) - 1);
    return text;
}

std::wstring DateinamenBereinigen(const std::wstring& Name, bool PfadErlaubt) {
    for (const wchar_t* doppelt : {L"//", L"/\\", L"\\\\", L"\\/"}) {
        if (Name.find(doppelt) != std::wstring::npos) return {};
    }
    if (!PfadErlaubt && !Name.empty() && (Name.back() == L'\\' || Name.back() == L'/')) return {};

    // Exactly what Windows refuses in a name, plus the control characters it would take: every
    // other character, a dash or a currency sign as much as a letter, is part of the name.
    const auto erlaubt = [PfadErlaubt](wchar_t zeichen) {
        if (zeichen == L'/' || zeichen == L'\\' || zeichen == L':') return PfadErlaubt;
        return !ZeichenImNamenUnzulässig(zeichen);
    };
    std::wstring bereinigt;
    for (const wchar_t zeichen : Name) {
        if (erlaubt(zeichen)) bereinigt += zeichen;
    }
    return bereinigt;
}

std::wstring ZahlTextErhöhen(const std::wstring& text) {
    const size_t anfang = text.find_first_not_of(L' ');
    if (anfang == std::wstring::npos) return {};
    const size_t ende = text.find_last_not_of(L' ') + 1;
    size_t stelle = anfang;
    const bool negativ = text[stelle] == L'-';
    if (negativ || text[stelle] == L'+') ++stelle;
    if (stelle == ende) return {};
    long long wert = 0;
    for (; stelle < ende; ++stelle) {
        const wchar_t z = text[stelle];
        if (z < L'0' || z > L'9' || wert > (LLONG_MAX - 9) / 10) return {};
        wert = wert * 10 + (z - L'0');
    }
    return std::to_wstring(negativ ? 1 - wert : wert + 1);
}

}  // namespace modVerschieben
