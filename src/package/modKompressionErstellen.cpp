#include "modKompression.h"

#include "Anwendungen.h"
#include "Fortschritt.h"
#include "Optionsdatei.h"
#include "Programm.h"
#include "Shell.h"
#include "Systemfehler.h"
#include "modFunktionen.h"
#include "modZip.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace modKompression {
namespace {

using modFortschritt::FortschrittAnzeigen;
using modFunktionen::DateiExistiert;
using modFunktionen::DateinameZurückgeben;
using modFunktionen::OrdnerExistiert;

const wchar_t* const kRoutine = L"DateienKomprimieren";
const wchar_t* const kEnde = L"Kompression und Verarbeitung beendet";

std::optional<std::uint64_t> Dateigröße(const std::wstring& pfad) {
    WIN32_FILE_ATTRIBUTE_DATA daten;
    if (!GetFileAttributesExW(pfad.c_str(), GetFileExInfoStandard, &daten)) return std::nullopt;
    return (static_cast<std::uint64_t>(daten.nFileSizeHigh) << 32) | daten.nFileSizeLow;
}

// "{Beschreibung} (Fehler {Nummer})"
std::wstring FehlerText(DWORD nummer) {
    return Systemfehler::Text(nummer) + L" (Fehler " + std::to_wstring(nummer) + L")";
}

// Some calls leave no error number when they fail; the log line still needs one.
DWORD LetzterFehler() {
    const DWORD fehler = GetLastError();
    return fehler ? fehler : ERROR_GEN_FAILURE;
}

// A file or a folder of that name: either way a rename onto it must not happen.
bool Belegt(const std::wstring& pfad) { return DateiExistiert(pfad) || OrdnerExistiert(pfad); }

// The name under which a listed file goes into the package.
std::wstring Eintragsname(const std::wstring& pfad) {
    const std::wstring neu = DateinamenPrüfen(pfad);
    return DateinameZurückgeben(neu.empty() ? pfad : neu);
}

// One run over the list. Renamed files must get their listed names back whatever happens, so
// the run remembers every current name and every folder it had to make for a renamed folder.
class Lauf {
public:
    explicit Lauf(const std::vector<std::wstring>& dateien) : dateien_(dateien), aktuell_(dateien.size()) {}

    // Steps up to the deletion; a value only for an unexpected error.
    std::optional<DWORD> Packen(const std::wstring& paketpfad, bool löschen, bool schließen);
    void NamenZurückgeben();
    void AngelegteOrdnerEntfernen();

private:
    [[nodiscard]] size_t Letzter() const { return dateien_.size() - 1; }
    bool NamenEindeutig() const;
    bool PaketInDerListe(const std::wstring& paketpfad) const;
    void AnwendungenSchließenFür() const;
    int PaketSchreiben(const std::wstring& paketpfad) const;
    struct Vorbereitung {
        bool fertig = false;  // every file there and renamed where needed
        std::uint64_t größe = 0;
        std::optional<DWORD> fehler;
    };
    Vorbereitung Vorbereiten();
    bool Umbenennen(size_t index, const std::wstring& ziel);
    bool OrdnerAnlegen(const std::wstring& ordner);

    const std::vector<std::wstring>& dateien_;
    std::vector<std::wstring> aktuell_;
    std::vector<std::wstring> angelegteOrdner_;
};

bool Lauf::NamenEindeutig() const {
    std::vector<std::wstring> namen;
    namen.reserve(dateien_.size());
    for (const std::wstring& pfad : dateien_) namen.push_back(Eintragsname(pfad));
    for (size_t i = 0; i < namen.size(); ++i)
        for (size_t j = i + 1; j < namen.size(); ++j)
            if (modFunktionen::TexteGleich(namen[i], namen[j])) {
                FortschrittAnzeigen(L"Fehler - Die Dateien '" + dateien_[i] + L"' und '" + dateien_[j] +
                                    L"' hätten in der Datei denselben Namen '" + namen[j] + L"'");
                return false;
            }
    return true;
}

// Replacing the package would delete the listed file before it is read.
bool Lauf::PaketInDerListe(const std::wstring& paketpfad) const {
    for (const std::wstring& pfad : dateien_)
        if (modFunktionen::TexteGleich(pfad, paketpfad) || modFunktionen::TexteGleich(DateinamenPrüfen(pfad), paketpfad)) {
            FortschrittAnzeigen(L"Fehler - Die Datei '" + paketpfad +
                                L"' ist selbst in der Liste und kann nicht durch die neue Datei ersetzt werden");
            return true;
        }
    return false;
}

void Lauf::AnwendungenSchließenFür() const {
    bool kazaa = false, eMule = false, winMX = false;
    for (size_t i = 0; i < Letzter(); ++i) {
        switch (FamilieZurückgeben(modFunktionen::DateiendungZurückgeben(dateien_[i]))) {
        case Familie::Kazaa: kazaa = true; break;
        case Familie::EMule: eMule = true; break;
        case Familie::WinMX: winMX = true; break;
        case Familie::Keine: break;
        }
    }
    modAnwendungen::AnwendungenSchließen(kazaa, eMule, winMX);
}

// Every entry under its bare name at maximum compression; the root and temporary folders are
// none (empty texts), and every other option stays off.
int Lauf::PaketSchreiben(const std::wstring& paketpfad) const {
    modZip::Zustand& zip = modZip::zustand;
    zip.Date.clear();
    zip.szRootDir.clear();
    zip.szTempDir.clear();
    zip.fJunkDir = 1;
    zip.fRecurse = zip.fUpdate = zip.fFreshen = zip.fEncrypt = zip.fComment = 0;
    zip.fLevel = '9';
    zip.uAnzahl = static_cast<std::int32_t>(aktuell_.size());
    zip.uZipDatei = paketpfad;
    std::copy(aktuell_.begin(), aktuell_.end(), zip.uDateien.begin());
    return modZip::ZipErstellen();
}

// Makes the missing folders of a renamed folder path, outermost first, and remembers them.
bool Lauf::OrdnerAnlegen(const std::wstring& ordner) {
    if (ordner.empty() || OrdnerExistiert(ordner)) return true;
    if (!OrdnerAnlegen(modFunktionen::PfadZurückgeben(ordner))) return false;
    if (!CreateDirectoryW(ordner.c_str(), nullptr)) return false;
    angelegteOrdner_.push_back(ordner);
    return true;
}

// A plain rename that never replaces anything and keeps every character of both names, so
// that the rename back gives exactly the listed name.
bool Lauf::Umbenennen(size_t index, const std::wstring& ziel) {
    const std::wstring& pfad = dateien_[index];
    auto scheitern = [&](const std::wstring& grund) {
        FortschrittAnzeigen(L"Fehler - Datei '" + pfad + L"' kann nicht umbenannt werden (" + grund + L")");
        return false;
    };
    if (Belegt(ziel)) return scheitern(L"Die Datei '" + ziel + L"' gibt es bereits, sie bleibt unverändert");
    if (!OrdnerAnlegen(modFunktionen::PfadZurückgeben(ziel)) || !MoveFileExW(pfad.c_str(), ziel.c_str(), 0)) {
        return scheitern(FehlerText(GetLastError()));
    }
    aktuell_[index] = ziel;
    return true;
}

Lauf::Vorbereitung Lauf::Vorbereiten() {
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
        const std::wstring neu = DateinamenPrüfen(pfad);
        if (neu.empty())
            aktuell_[i] = pfad;
        else if (!Umbenennen(i, neu))
            return ergebnis;
    }
    aktuell_[Letzter()] = dateien_[Letzter()];
    ergebnis.fertig = true;
    return ergebnis;
}

std::optional<DWORD> Lauf::Packen(const std::wstring& paketpfad, bool löschen, bool schließen) {
    if (Letzter() > kHöchstzahlDateien) {
        FortschrittAnzeigen(L"Fehler - Sie haben zu viele Dateien gewählt: Die maximale Kapazität dieser Software beträgt " +
                            std::to_wstring(kHöchstzahlDateien));
        return std::nullopt;
    }
    if (!NamenEindeutig() || PaketInDerListe(paketpfad)) return std::nullopt;
    if (schließen) {
        FortschrittAnzeigen(L"Schließe Anwendungen...");
        AnwendungenSchließenFür();
    }
    const Vorbereitung vorbereitung = Vorbereiten();
    if (!vorbereitung.fertig) return vorbereitung.fehler;
    const std::uint64_t größeVorher = vorbereitung.größe;
    FortschrittAnzeigen(L"Starte Kompression, Größe der Dateien ist vorher " + std::to_wstring(größeVorher) +
                        L" Bytes");

    if (DateiExistiert(paketpfad) && !modFunktionen::DateiLöschen(paketpfad)) return LetzterFehler();
    FortschrittAnzeigen(L"Speichere Optionen");
    const std::wstring& optionen = dateien_[Letzter()];
    if (DateiExistiert(optionen) && !modFunktionen::DateiLöschen(optionen)) return LetzterFehler();
    if (!Optionsdatei::Schreiben(optionen, {Programm::Major(), Programm::Minor()})) return LetzterFehler();

    const int code = PaketSchreiben(paketpfad);
    if (code != 0) {
        FortschrittAnzeigen(L"Fehler - Ein Fehler trat beim Komprimieren auf (Fehler " + std::to_wstring(code) + L")");
        return std::nullopt;
    }
    const auto größeNachher = Dateigröße(paketpfad);
    if (!größeNachher) return LetzterFehler();
    const int ersparnis = ErsparnisProzent(größeVorher, *größeNachher);
    FortschrittAnzeigen(L"Kompression beendet, Größe der Datei ist " + std::to_wstring(*größeNachher) + L" Bytes (" +
                        (ersparnis >= 1 ? std::to_wstring(ersparnis) + L" % Ersparnis)" : L"keine Ersparnis)"));
    if (löschen) {
        FortschrittAnzeigen(L"Quelldateien löschen...");
        modFunktionen::DateienInPapierkorb(aktuell_);
    }
    return std::nullopt;
}

void Lauf::NamenZurückgeben() {
    for (size_t i = 0; i < aktuell_.size(); ++i) {
        const std::wstring& aktuell = aktuell_[i];
        const std::wstring& pfad = dateien_[i];
        if (aktuell.empty() || aktuell == pfad || !DateiExistiert(aktuell)) continue;
        std::wstring grund;
        if (Belegt(pfad)) {
            grund = L"Die Datei '" + pfad + L"' gibt es bereits, sie bleibt unverändert; die gepackte Datei heißt weiter '" +
                    aktuell + L"'";
        } else if (!MoveFileExW(aktuell.c_str(), pfad.c_str(), 0)) {
            grund = FehlerText(GetLastError());
        } else {
            continue;
        }
        FortschrittAnzeigen(L"Fehler - Datei '" + pfad + L"' kann nicht zurück umbenannt werden (" + grund + L")");
    }
}

// Only folders this run made, innermost first, and only while empty.
void Lauf::AngelegteOrdnerEntfernen() {
    for (auto ordner = angelegteOrdner_.rbegin(); ordner != angelegteOrdner_.rend(); ++ordner)
        RemoveDirectoryW(ordner->c_str());
    angelegteOrdner_.clear();
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

Familie FamilieZurückgeben(const std::wstring& dateiendung) {
    if (dateiendung == L".dat") return Familie::Kazaa;
    if (dateiendung == L".lst" || dateiendung == L".grx" || dateiendung == L".urls") return Familie::Keine;
    if (dateiendung == L".met" || dateiendung == L".part") return Familie::EMule;
    return Familie::WinMX;
}

int ErsparnisProzent(std::uint64_t größeVorher, std::uint64_t größeNachher) {
    if (größeVorher == 0) return 0;
    const double anteil = static_cast<double>(größeNachher) * 100.0 / static_cast<double>(größeVorher);
    return std::max(0, 100 - static_cast<int>(std::min(std::trunc(anteil), 100.0)));
}

void DateienKomprimieren(const std::vector<std::wstring>& dateien, const std::wstring& paketpfad, int löschen,
                         int schließen) {
    if (dateien.empty()) {
        FortschrittAnzeigen(kEnde);
        return;
    }
    Lauf lauf(dateien);
    const auto fehler = lauf.Packen(paketpfad, löschen == 1, schließen == 1);
    if (fehler) FortschrittAnzeigen(Fehlerzeile(*fehler, kRoutine));
    // After an unexpected error too, and for files the recycle bin refused: a user's files must
    // not keep names they never gave them. Files in the recycle bin are no longer there.
    lauf.NamenZurückgeben();
    lauf.AngelegteOrdnerEntfernen();
    if (!fehler)
        FortschrittAnzeigen(kEnde);
    else if (auto* anzeige = modFortschritt::AktuelleAnzeige())
        anzeige->FehlerAbschließen();
}

}  // namespace modKompression
