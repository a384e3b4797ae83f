#include "DateienVerarbeiten.h"

#include "Anwendungen.h"
#include "DateiVerschieben.h"
#include "Fortschritt.h"
#include "Optionsdatei.h"
#include "ProgrammEinstellungen.h"
#include "Shell.h"
#include "modFunktionen.h"

#include <windows.h>

#include <array>

namespace modVerteilung {
namespace {

using namespace modFunktionen;
using namespace modProgrammEinstellungen;
using modFortschritt::FortschrittAnzeigen;

struct Ordnerfrage {
    Funktion funktion;
    std::wstring* ordner;
    const wchar_t* warnung;
    const wchar_t* aufforderung;
};

const Ordnerfrage kOrdnerfragen[] = {
    {Kazaa, &KazaaProgrammOrdner, L"Achtung: Das Programm 'Kazaa (lite)/Morpheus/Grokster' wurde nicht gefunden.",
     L"Das Programm 'Kazaa (lite)/Morpheus/Grokster' wurde nicht gefunden. Bitte wählen Sie den Programm-Ordner..."},
    {Kazaa, &KazaaDownloadOrdner, L"Achtung: Der 'Kazaa (lite)/Morpheus/Grokster'-Download-Ordner wurde nicht gefunden.",
     L"Der 'Kazaa (lite)/Morpheus/Grokster'-Download-Ordner wurde nicht gefunden. Bitte wählen Sie diesen aus..."},
    {WinMX, &WinMXProgrammOrdner, L"Achtung: Das Programm 'WinMX' wurde nicht gefunden.",
     L"Das Programm 'WinMX' wurde nicht gefunden. Bitte wählen Sie den Programm-Ordner..."},
    {WinMX, &WinMXDownloadOrdner, L"Achtung: Der 'WinMX'-Download-Ordner wurde nicht gefunden.",
     L"Der 'WinMX'-Download-Ordner wurde nicht gefunden. Bitte wählen Sie diesen aus..."},
    {GetRight, &GetRightProgrammOrdner, L"Achtung: Das Programm 'GetRight' wurde nicht gefunden.",
     L"Das Programm 'GetRight' wurde nicht gefunden. Bitte wählen Sie den Programm-Ordner..."},
    {EMule, &EMuleProgrammOrdner, L"Achtung: Das Programm 'EMule/EDonkey' wurde nicht gefunden.",
     L"Das Programm 'EMule/EDonkey' wurde nicht gefunden. Bitte wählen Sie den Programm-Ordner..."},
    {EMule, &EMuleTempOrdner, L"Achtung: Der 'EMule/EDonkey'-Download-Ordner wurde nicht gefunden.",
     L"Der 'EMule/EDonkey'-Download-Ordner wurde nicht gefunden. Bitte wählen Sie diesen aus..."},
};

bool OrdnerFehlt(const std::wstring& ordner) { return ordner.empty() || !DateiExistiert(ordner + L"\\nul"); }

// The pickers belong to the main window, the root owner of the progress window that is active
// while the distribution runs.
HWND Besitzer() {
    HWND aktiv = GetActiveWindow();
    return aktiv ? GetAncestor(aktiv, GA_ROOTOWNER) : nullptr;
}

void OrdnerErfragen(const std::array<bool, 5>& kommtVor) {
    for (const Ordnerfrage& frage : kOrdnerfragen) {
        if (!kommtVor[frage.funktion] || !OrdnerFehlt(*frage.ordner)) continue;
        FortschrittAnzeigen(frage.warnung);
        const std::wstring antwort = NullzeichenEntfernen(OrdnerAuswählen(frage.aufforderung, Besitzer()));
        if (!antwort.empty() && antwort != std::wstring(1, L'\0')) *frage.ordner = antwort;
    }
}

const std::wstring& Zielordner(Funktion funktion) {
    switch (funktion) {
    case Kazaa: return KazaaDownloadOrdner;
    case EMule: return EMuleTempOrdner;
    case GetRight: return GetRightProgrammOrdner;
    default: return WinMXDownloadOrdner;
    }
}

// Without a folder the file would land in the root of the current drive; it stays instead.
void OhneOrdnerÜbergehen(const std::wstring& name) {
    FortschrittAnzeigen(L"Achtung: Die Datei '" + name + L"' wurde nicht verarbeitet, da kein Ordner für sie gewählt wurde");
}

void DateiVerteilen(const std::wstring& pfad, Funktion funktion, std::wstring& fehler) {
    const std::wstring name = DateinameZurückgeben(pfad);
    const std::wstring& ordner = Zielordner(funktion);
    if (ordner.empty()) {
        OhneOrdnerÜbergehen(name);
        return;
    }
    if (funktion == GetRight) {
        FortschrittAnzeigen(L"Führe Datei '" + name + L"' mit GetRight aus");
        // Quoted, so that a path with blanks reaches GetRight as one argument.
        ProgrammStarten(ordner + L"\\Getright.exe", L"\"" + pfad + L"\"");
        return;
    }
    FortschrittAnzeigen(L"Verschiebe Datei '" + name + L"' nach '" + ordner + L"'");
    std::wstring ziel = ordner + L"\\" + name;
    int modus = modVerschieben::Verschieben;
    if (!modVerschieben::DateiVerschieben(pfad, ziel, modus, fehler, modVerschieben::ÜberschreibenFragen) &&
        !fehler.empty()) {
        // A file that did not arrive would otherwise go unmentioned.
        FortschrittAnzeigen(L"Achtung: " + TextErsetzen(fehler, L"\n", L" "));
    }
}

void ErstesStarten(const std::wstring& ordner, std::initializer_list<const wchar_t*> programme) {
    // An empty folder would make these programs in the current drive's root.
    if (ordner.empty()) return;
    for (const wchar_t* programm : programme) {
        const std::wstring pfad = ordner + programm;
        if (DateiExistiert(pfad)) {
            ProgrammStarten(pfad, L"");
            return;
        }
    }
}

}  // namespace

Funktion FunktionBestimmen(const std::wstring& pfad) {
    if (Optionsdatei::IstOptionsdatei(pfad)) return Keine;
    const std::wstring endung = DateiendungZurückgeben(pfad);
    if (endung == L".dat") return Kazaa;
    if (endung == L".lst" || endung == L".grx" || endung == L".urls") return GetRight;
    if (endung == L".met" || endung == L".part") return EMule;
    return WinMX;
}

void DateienVerarbeiten(const std::vector<std::wstring>& Dateien) {
    FortschrittAnzeigen(L"Starte Verarbeitungs-Prozedur...");
    FortschrittAnzeigen(L"Lese Programm-Einstellungen (Registerdatenbank/Dateisystem)...");
    ProgrammEinstellungenLesen();

    FortschrittAnzeigen(L"Teile Dateien auf...");
    std::vector<Funktion> funktionen;
    std::array<bool, 5> kommtVor{};
    for (const std::wstring& pfad : Dateien) {
        funktionen.push_back(FunktionBestimmen(pfad));
        if (funktionen.back() != Keine) kommtVor[funktionen.back()] = true;
    }

    FortschrittAnzeigen(L"Schließe Anwendungen...");
    modAnwendungen::AnwendungenSchließen(kommtVor[Kazaa], kommtVor[EMule], kommtVor[WinMX]);

    FortschrittAnzeigen(L"Prüfe Einstellungen...");
    OrdnerErfragen(kommtVor);

    FortschrittAnzeigen(L"Verarbeite Dateien...");
    std::wstring fehler;
    for (size_t i = 0; i < Dateien.size(); ++i) {
        if (funktionen[i] == Keine) continue;
        if (!DateiExistiert(Dateien[i])) {
            FortschrittAnzeigen(L"Achtung: Datei '" + Dateien[i] + L"' existiert nicht");
            continue;
        }
        DateiVerteilen(Dateien[i], funktionen[i], fehler);
    }

    FortschrittAnzeigen(L"Starte Anwendungen...");
    if (kommtVor[Kazaa])
        ErstesStarten(KazaaProgrammOrdner, {L"\\kpp.exe", L"\\Kazaa.exe", L"\\Morpheus.exe", L"\\Grokster.exe"});
    if (kommtVor[WinMX]) ErstesStarten(WinMXProgrammOrdner, {L"\\Winmx.exe"});
    if (kommtVor[EMule]) ErstesStarten(EMuleProgrammOrdner, {L"\\emule.exe", L"\\gdonkey.exe"});
    FortschrittAnzeigen(L"Verarbeitungs-Prozedur beendet");
}

}  // namespace modVerteilung
