#include "modKompression.h"

#include "DateienVerarbeiten.h"
#include "Dateisuche.h"
#include "Fortschritt.h"
#include "Handles.h"
#include "Interaktion.h"
#include "Optionsdatei.h"
#include "Programm.h"
#include "Shell.h"
#include "Systemfehler.h"
#include "modFunktionen.h"
#include "modUnzip.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

namespace modKompression {

std::wstring Paketversion = L"1.00";

namespace {

using modFortschritt::FortschrittAnzeigen;

constexpr wchar_t kRoutine[] = L"DateienDekomprimieren";
// A package carries one short line; anything this large was not written by a package creator
// and is not worth holding in memory.
constexpr LONGLONG kOptionsdateiHöchstens = 64 * 1024;

// An unexpected error on the way: the platform's error number and the routine it happened in.
struct Fehlerstelle {
    DWORD nummer = 0;
    std::wstring routine;
};

// Beside the package, or in the user's temporary folder when the package lies where nothing
// can be written (a CD, a read-only share) or where its contents do not fit (a nearly full stick).
std::optional<std::wstring> ArbeitsordnerAnlegen(const std::wstring& paketpfad, Fehlerstelle& fehler) {
    const std::wstring paketordner = modFunktionen::PfadZurückgeben(paketpfad);
    DWORD nummer = ERROR_ALREADY_EXISTS;
    const bool platzReicht = modUnzip::PlatzReicht(paketpfad, paketordner);
    if (platzReicht) {
        if (auto ordner = modFunktionen::NeuerOrdner(paketordner, nummer)) return ordner;
    }
    if (auto ordner = modFunktionen::NeuerOrdner(modFunktionen::TempOrdner(), nummer)) {
        FortschrittAnzeigen(L"Achtung - Im Ordner '" + paketordner +
                            (platzReicht ? L"' kann nicht entpackt werden" : L"' ist nicht genug Platz zum Entpacken") +
                            L", entpacke in '" + *ordner + L"'");
        return ordner;
    }
    fehler = {nummer, L"ArbeitsordnerAnlegen"};
    return std::nullopt;
}

// Removes the working folder on every way out, also when the run ends early or Windows ends the
// program in the middle of it: its name is unique, so no later run would ever clear it away.
class Arbeitsordner {
public:
    explicit Arbeitsordner(std::wstring pfad) : pfad_(std::move(pfad)), notfalls_(pfad_) {}
    Arbeitsordner(const Arbeitsordner&) = delete;
    Arbeitsordner& operator=(const Arbeitsordner&) = delete;
    ~Arbeitsordner() { Löschen(); }
    void Löschen() const {
        if (modFunktionen::OrdnerExistiert(pfad_)) modFunktionen::OrdnerLöschen(pfad_, true);
    }

private:
    std::wstring pfad_;
    Programm::Überbleibsel notfalls_;
};

void EntpackenAnfordern(const std::wstring& paketpfad, const std::wstring& arbeitsordner) {
    modUnzip::Zustand& unzip = modUnzip::zustand;
    unzip.uZipDatei = paketpfad;
    unzip.uZielOrdner = arbeitsordner;
    unzip.uExtractList = 0;
    unzip.uNachfragen = 0;
    unzip.uÜberschreiben = 1;
    unzip.uKommentarZeigen = 0;
    unzip.uOrdnerBeachten = 0;
    unzip.uDateienAnzahl = 0;
    unzip.uDateien.assign(modUnzip::kNamenListe, L"");
    unzip.uAusnahmenAnzahl = 0;
    unzip.uAusnahmen.assign(modUnzip::kNamenListe, L"");
    unzip.uZipAusgabe.clear();
    unzip.uZipAnzahl = 0;
    // A listing left from an earlier package would otherwise stand in this package's result.
    unzip.uZipListe.clear();
}

// Step result of the file search: the files, or the text of the error line that ends the run.
struct Fundliste {
    std::vector<std::wstring> dateien;
    std::wstring optionsdatei;
    std::wstring fehlerzeile;
};

Fundliste DateienAuflisten(const std::wstring& arbeitsordner) {
    Fundliste fund;
    modFunktionen::SuchergebnisHinzufügen(L"", 1);
    std::wstring ordner = arbeitsordner;
    const bool vollständig = modFunktionen::DateienSuchenAPI(ordner, {L""}, 0);
    if (!vollständig) {
        modFunktionen::SuchergebnisHinzufügen(L"", 1);
        fund.fehlerzeile = L"Fehler - Nach dem Entpacken keine Dateien gefunden (1)";
        return fund;
    }
    fund.dateien = modFunktionen::Suchergebnisse();
    modFunktionen::SuchergebnisHinzufügen(L"", 1);
    if (fund.dateien.empty()) {
        fund.fehlerzeile = L"Fehler - Nach dem Entpacken keine Dateien gefunden (2)";
        return fund;
    }
    // The options file belongs to the package, not to the distribution: it is read here and
    // never handed on with the job files.
    std::erase_if(fund.dateien, [&](const std::wstring& datei) {
        if (!Optionsdatei::IstOptionsdatei(datei)) return false;
        fund.optionsdatei = datei;
        return true;
    });
    return fund;
}

std::optional<Fehlerstelle> DateiLesen(const std::wstring& pfad, std::optional<std::string>& inhalt) {
    const wchar_t* routine = L"OptionsdateiLesen";
    const Handles::Datei datei(
        CreateFileW(pfad.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!datei) return Fehlerstelle{GetLastError(), routine};
    LARGE_INTEGER größe{};
    if (!GetFileSizeEx(datei.Get(), &größe)) return Fehlerstelle{GetLastError(), routine};
    if (größe.QuadPart > kOptionsdateiHöchstens) return std::nullopt;
    std::string bytes(static_cast<size_t>(größe.QuadPart), '\0');
    DWORD gelesen = 0;
    if (!bytes.empty() && !ReadFile(datei.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &gelesen, nullptr))
        return Fehlerstelle{GetLastError(), routine};
    bytes.resize(gelesen);
    inhalt = std::move(bytes);
    return std::nullopt;
}

std::optional<Fehlerstelle> PaketversionLesen(const std::wstring& optionsdatei) {
    Paketversion = L"1.00";
    if (optionsdatei.empty() || !modFunktionen::DateiExistiert(optionsdatei)) {
        FortschrittAnzeigen(L"Fehler - Kann Optionsdatei nicht finden");
        return std::nullopt;
    }
    std::optional<std::string> inhalt;
    if (auto fehler = DateiLesen(optionsdatei, inhalt)) return fehler;
    if (!inhalt) {
        FortschrittAnzeigen(L"Fehler - Kann Optionsdatei nicht verarbeiten");
        return std::nullopt;
    }
    const auto wert = Optionsdatei::WertLesen(*inhalt);
    if (!wert) return Fehlerstelle{ERROR_INVALID_DATA, L"OptionsdateiLesen"};
    if (Optionsdatei::VersionAuswerten(*wert))
        Paketversion = *wert;
    else
        FortschrittAnzeigen(L"Fehler - Kann Optionsdatei nicht verarbeiten");
    return std::nullopt;
}

// True when the package may be processed: it is not newer than this program, or the user wants
// to go on anyway.
bool VersionPrüfen() {
    const auto paket = Optionsdatei::VersionAuswerten(Paketversion);
    const Optionsdatei::Version eigene{Programm::Major(), Programm::Minor()};
    if (!paket || !(eigene < *paket)) return true;
    FortschrittAnzeigen(L"Achtung - Inkorrekte Version gefunden");
    const std::wstring text =
        L"Achtung: Die zu verarbeitende Datei wurde mit der neueren Version " + Paketversion +
        L" dieser Software erstellt. Eine Kompatiblität kann nicht garantiert werden.\n\n"
        L"Bitte brechen Sie den Lesevorgang jetzt ab und laden Sie eine Aktualisierung dieser Software von der "
        L"Internetseite des Autors herunter (siehe Dialog 'Info'). Wenn Sie den Lesevorgang fortsetzen, könnten "
        L"Dateien fehlerhaft oder nicht importiert werden.\n\n"
        L"Möchten Sie den Lesevorgang fortsetzen?";
    modFortschritt::Anzeige* anzeige = modFortschritt::AktuelleAnzeige();
    return Interaktion::Frage(anzeige ? anzeige->Besitzer() : nullptr, text,
                              MB_YESNO | MB_DEFBUTTON2 | MB_ICONEXCLAMATION) == IDYES;
}

// The package holds the only copy of every job file that did not arrive: it goes to the recycle
// bin only when none is missing.
void PaketWegräumen(const std::wstring& paketpfad, int nichtAngekommen) {
    if (nichtAngekommen == 0) {
        modFunktionen::DateienInPapierkorb({paketpfad});
        return;
    }
    FortschrittAnzeigen(L"Achtung - Die Datei '" + paketpfad + L"' bleibt erhalten, da " + std::to_wstring(nichtAngekommen) +
                        L" Datei(en) nicht verarbeitet wurden");
}

// Everything after the package was found; a value only on an unexpected error.
std::optional<Fehlerstelle> Verarbeiten(const std::wstring& paketpfad) {
    Fehlerstelle fehler;
    FortschrittAnzeigen(L"Lösche Ordner...");
    const auto ordner = ArbeitsordnerAnlegen(paketpfad, fehler);
    if (!ordner) return fehler;
    const Arbeitsordner aufräumen(*ordner);
    EntpackenAnfordern(paketpfad, *ordner);

    const modUnzip::Zustand& unzip = modUnzip::zustand;
    FortschrittAnzeigen(L"Starte Dekompression...");
    modUnzip::ZipEntpacken();
    FortschrittAnzeigen(Ergebniszeile(unzip.uZipListe, unzip.uZipAusgabe, unzip.uZipAnzahl));

    FortschrittAnzeigen(L"Suche Dateien...");
    const Fundliste fund = DateienAuflisten(unzip.uZielOrdner);
    if (!fund.fehlerzeile.empty()) {
        FortschrittAnzeigen(fund.fehlerzeile);
        return std::nullopt;
    }
    if (auto lesefehler = PaketversionLesen(fund.optionsdatei)) return lesefehler;

    // Members the extraction could not write never reach the distribution, yet are missing all the same.
    int nichtAngekommen = unzip.uNichtEntpackt;
    if (VersionPrüfen()) {
        FortschrittAnzeigen(L"Verarbeite Dateien...");
        nichtAngekommen += modVerteilung::DateienVerarbeiten(fund.dateien, unzip.uZielOrdner);
    } else {
        FortschrittAnzeigen(L"Achtung - Die Verarbeitung wurde abgebrochen");
        nichtAngekommen += static_cast<int>(fund.dateien.size());
    }

    // The package holds everything the working folder held.
    FortschrittAnzeigen(L"Lösche temporäre Ordner und Dateien...");
    aufräumen.Löschen();
    PaketWegräumen(paketpfad, nichtAngekommen);
    return std::nullopt;
}

}  // namespace

std::wstring Ergebniszeile(const std::wstring& liste, const std::wstring& ausgabe, long anzahl) {
    std::wstring zeile = L"Dekompression beendet, Ergebnis:" + liste;
    if (!ausgabe.empty()) zeile += L"\r\nZIP-Informationen:\r\n" + ausgabe;
    // The count stands where a sign would, hence the second blank.
    if (anzahl > 0) zeile += L"\r\nAnzahl an dekomprimierten Dateien:  " + std::to_wstring(anzahl);
    return zeile;
}

std::wstring Fehlerzeile(DWORD nummer, const std::wstring& routine) {
    return L"Fehler - " + Systemfehler::MitNummer(nummer) + L" ist bei Funktion '" +
           routine + L"' aufgetreten";
}

void DateienDekomprimieren(const std::wstring& paketpfad) {
    modFortschritt::Anzeige* anzeige = modFortschritt::AktuelleAnzeige();
    std::optional<Fehlerstelle> fehler;
    try {
        FortschrittAnzeigen(L"Bereite DeKompression vor...");
        // A command-line run has no visible window yet. It is opened before the package is
        // checked, so that a package that vanished since the start is reported in a window that
        // ends the program when closed, instead of in a hidden one that never does.
        if (anzeige && !anzeige->IstSichtbar()) anzeige->Öffnen(Programm::Titel() + L" - Fortschritt", L"2");
        if (!modFunktionen::DateiExistiert(paketpfad))
            FortschrittAnzeigen(L"Fehler - Datei '" + paketpfad + L"' existiert nicht");
        else
            fehler = Verarbeiten(modFunktionen::VollständigerPfad(paketpfad));
        if (!fehler) FortschrittAnzeigen(L"Dekompression und Verarbeitung beendet");
    } catch (const std::bad_alloc&) {
        fehler = Fehlerstelle{ERROR_NOT_ENOUGH_MEMORY, kRoutine};
    } catch (const std::exception&) {
        fehler = Fehlerstelle{ERROR_INTERNAL_ERROR, kRoutine};
    }
    if (fehler) {
        FortschrittAnzeigen(Fehlerzeile(fehler->nummer, fehler->routine));
        if (anzeige) anzeige->FehlerAbschließen();
    } else if (anzeige) {
        anzeige->Abschließen();
    }
}

}  // namespace modKompression
