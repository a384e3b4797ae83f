#include "modKompressionErstellen.h"

#include "Anwendungen.h"
#include "DateiVerschieben.h"
#include "DateienVerarbeiten.h"
#include "Fortschritt.h"
#include "Optionsdatei.h"
#include "Programm.h"
#include "Shell.h"
#include "Systemfehler.h"
#include "modFunktionen.h"
#include "modKompression.h"
#include "modZip.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace modKompression {
namespace {

using modFortschritt::FortschrittAnzeigen;
using modFunktionen::DateiExistiert;
using modFunktionen::Dateigröße;
using modFunktionen::DateinameZurückgeben;

const wchar_t* const kRoutine = L"DateienKomprimieren";
const wchar_t* const kEnde = L"Kompression und Verarbeitung beendet";

// Some calls leave no error number when they fail; the log line still needs one.
DWORD LetzterFehler() {
    const DWORD fehler = GetLastError();
    return fehler ? fehler : ERROR_GEN_FAILURE;
}

// The name under which a listed file goes into the package.
std::wstring Eintragsname(const std::wstring& pfad) {
    const std::wstring neu = DateinamenPrüfen(pfad);
    return DateinameZurückgeben(neu.empty() ? pfad : neu);
}

// One run over the list. The listed files are only read: nothing beside them is renamed,
// moved or created, so a run that dies half way leaves them as they were.
class Erstellung {
public:
    explicit Erstellung(const std::vector<std::wstring>& dateien) : dateien_(dateien) {}

    struct Ergebnis {
        bool geschrieben = false;     // the package at its path is this run's, complete
        std::optional<DWORD> fehler;  // an unexpected error ended the run
    };
    Ergebnis Packen(const std::wstring& paketpfad, bool löschen, bool schließen);

private:
    [[nodiscard]] size_t Letzter() const { return dateien_.size() - 1; }
    bool NamenEindeutig() const;
    bool PaketInDerListe(const std::wstring& paketpfad) const;
    void AnwendungenSchließenFür() const;
    int PaketSchreiben(const std::wstring& paketpfad) const;
    struct Vorbereitung {
        bool fertig = false;  // every file there
        std::uint64_t größe = 0;
        std::optional<DWORD> fehler;
    };
    Vorbereitung Vorbereiten() const;

    const std::vector<std::wstring>& dateien_;
};

bool Erstellung::NamenEindeutig() const {
    std::vector<std::wstring> namen;
    namen.reserve(dateien_.size());
    for (const std::wstring& pfad : dateien_) namen.push_back(Eintragsname(pfad));
    const auto gleich = modZip::GleicheNamen(namen);
    if (!gleich) return true;
    FortschrittAnzeigen(L"Fehler - Die Dateien '" + dateien_[gleich->first] + L"' und '" + dateien_[gleich->second] +
                        L"' hätten in der Datei denselben Namen '" + namen[gleich->second] + L"'");
    return false;
}

// A listed package would be replaced by the new one and, with the sources, go to the recycle bin.
// The same file may be listed under another spelling (a short name, "..", a link), so the file
// itself is compared too.
bool Erstellung::PaketInDerListe(const std::wstring& paketpfad) const {
    for (const std::wstring& pfad : dateien_)
        if (modFunktionen::TexteGleich(pfad, paketpfad) || modVerschieben::GleicheDatei(pfad, paketpfad)) {
            FortschrittAnzeigen(L"Fehler - Die Datei '" + paketpfad +
                                L"' ist selbst in der Liste und kann nicht durch die neue Datei ersetzt werden");
            return true;
        }
    return false;
}

void Erstellung::AnwendungenSchließenFür() const {
    // The same routing as on the receiving side: whoever would get a file there holds it here.
    std::array<bool, 5> kommtVor{};
    for (size_t i = 0; i < Letzter(); ++i) kommtVor[modVerteilung::FunktionBestimmen(dateien_[i])] = true;
    modAnwendungen::AnwendungenSchließen(kommtVor[modVerteilung::Kazaa], kommtVor[modVerteilung::EMule],
                                         kommtVor[modVerteilung::WinMX]);
}

// Every entry under its bare, cleaned name at maximum compression; the root and temporary
// folders are none (empty texts), and every other option stays off. The ZIP adapter writes
// beside the package and puts it in place only once it is complete.
int Erstellung::PaketSchreiben(const std::wstring& paketpfad) const {
    modZip::Zustand& zip = modZip::zustand;
    zip.Date.clear();
    zip.szRootDir.clear();
    zip.szTempDir.clear();
    zip.fJunkDir = 1;
    zip.fRecurse = zip.fUpdate = zip.fFreshen = zip.fEncrypt = zip.fComment = 0;
    zip.fLevel = '9';
    zip.uAnzahl = static_cast<std::int32_t>(dateien_.size());
    zip.uZipDatei = paketpfad;
    for (size_t i = 0; i < dateien_.size(); ++i) {
        zip.uDateien[i] = dateien_[i];
        zip.uNamen[i] = Eintragsname(dateien_[i]);
    }
    return modZip::ZipErstellen();
}

Erstellung::Vorbereitung Erstellung::Vorbereiten() const {
    FortschrittAnzeigen(L"Bereite Kompression vor...");
    Vorbereitung ergebnis;
    for (size_t i = 0; i < Letzter(); ++i) {
        const std::wstring& pfad = dateien_[i];
        if (!DateiExistiert(pfad)) {
            FortschrittAnzeigen(L"Fehler - Datei '" + pfad + L"' existiert nicht");
            return ergebnis;
        }
        const auto größe = Dateigröße(pfad);
        if (!größe) {
            ergebnis.fehler = LetzterFehler();
            return ergebnis;
        }
        ergebnis.größe += *größe;
    }
    ergebnis.fertig = true;
    return ergebnis;
}

Erstellung::Ergebnis Erstellung::Packen(const std::wstring& paketpfad, bool löschen, bool schließen) {
    if (Letzter() > kHöchstzahlDateien) {
        FortschrittAnzeigen(L"Fehler - Sie haben zu viele Dateien gewählt: Die maximale Kapazität dieser Software beträgt " +
                            std::to_wstring(kHöchstzahlDateien));
        return {};
    }
    if (!NamenEindeutig() || PaketInDerListe(paketpfad)) return {};
    if (schließen) {
        FortschrittAnzeigen(L"Schließe Anwendungen...");
        AnwendungenSchließenFür();
    }
    const Vorbereitung vorbereitung = Vorbereiten();
    if (!vorbereitung.fertig) return {false, vorbereitung.fehler};
    const std::uint64_t größeVorher = vorbereitung.größe;
    FortschrittAnzeigen(L"Starte Kompression, Größe der Dateien ist vorher " + std::to_wstring(größeVorher) +
                        L" Bytes");

    FortschrittAnzeigen(L"Speichere Optionen");
    const std::wstring& optionen = dateien_[Letzter()];
    if (DateiExistiert(optionen) && !modFunktionen::DateiLöschen(optionen)) return {false, LetzterFehler()};
    if (!Optionsdatei::Schreiben(optionen, {Programm::Major(), Programm::Minor()})) return {false, LetzterFehler()};

    const int code = PaketSchreiben(paketpfad);
    if (code != 0) {
        FortschrittAnzeigen(L"Fehler - Ein Fehler trat beim Komprimieren auf " + Systemfehler::Nummer(static_cast<unsigned long>(code)));
        return {};
    }
    const auto größeNachher = Dateigröße(paketpfad);
    if (!größeNachher) return {true, LetzterFehler()};
    const int ersparnis = ErsparnisProzent(größeVorher, *größeNachher);
    FortschrittAnzeigen(L"Kompression beendet, Größe der Datei ist " + std::to_wstring(*größeNachher) + L" Bytes (" +
                        (ersparnis >= 1 ? std::to_wstring(ersparnis) + L" % Ersparnis)" : L"keine Ersparnis)"));
    if (löschen) {
        // The options file is the run's own, in the caller's temporary folder, never the user's.
        FortschrittAnzeigen(L"Quelldateien löschen...");
        modFunktionen::DateienInPapierkorb({dateien_.begin(), dateien_.end() - 1});
    }
    return {true, std::nullopt};
}

}  // namespace

std::wstring DateinamenPrüfen(const std::wstring& pfad) {
    std::wstring ergebnis;
    for (const std::wstring& zeichen : Programm::UngültigeZeichen) {
        const std::wstring& bisher = ergebnis.empty() ? pfad : ergebnis;
        if (!zeichen.empty() && bisher.find(zeichen) != std::wstring::npos)
            ergebnis = modFunktionen::TextErsetzen(bisher, zeichen, L"_");
    }
    return ergebnis;
}

int ErsparnisProzent(std::uint64_t größeVorher, std::uint64_t größeNachher) {
    if (größeVorher == 0) return 0;
    const double anteil = static_cast<double>(größeNachher) * 100.0 / static_cast<double>(größeVorher);
    return std::max(0, 100 - static_cast<int>(std::min(std::trunc(anteil), 100.0)));
}

bool DateienKomprimieren(const std::vector<std::wstring>& dateien, const std::wstring& paketpfad, int löschen,
                         int schließen) {
    if (dateien.empty()) {
        FortschrittAnzeigen(kEnde);
        return false;
    }
    const Erstellung::Ergebnis ergebnis = Erstellung(dateien).Packen(paketpfad, löschen == 1, schließen == 1);
    if (!ergebnis.fehler) {
        FortschrittAnzeigen(kEnde);
    } else {
        FortschrittAnzeigen(Fehlerzeile(*ergebnis.fehler, kRoutine));
        if (auto* anzeige = modFortschritt::AktuelleAnzeige()) anzeige->FehlerAbschließen();
    }
    return ergebnis.geschrieben;
}

}  // namespace modKompression
