#include "DateienVerarbeiten.h"

#include "Anwendungen.h"
#include "DateiVerschieben.h"
#include "Dateisuche.h"
#include "Fortschritt.h"
#include "ProgrammEinstellungen.h"
#include "Shell.h"
#include "modFunktionen.h"

#include <windows.h>

#include <array>
#include <optional>
#include <span>

namespace modVerteilung {
namespace {

using namespace modFunktionen;
using namespace modProgrammEinstellungen;
using modFortschritt::FortschrittAnzeigen;

struct Ordnerfrage {
    Funktion funktion;
    std::wstring* ordner;
    const wchar_t* client;
    // A download folder's question starts in the client's program folder, where the download
    // folder usually lies; a program folder's question has none.
    const std::wstring* programmOrdner;
};

const Ordnerfrage kOrdnerfragen[] = {
    {Kazaa, &KazaaProgrammOrdner, L"Kazaa (lite)/Morpheus/Grokster", nullptr},
    {Kazaa, &KazaaDownloadOrdner, L"Kazaa (lite)/Morpheus/Grokster", &KazaaProgrammOrdner},
    {WinMX, &WinMXProgrammOrdner, L"WinMX", nullptr},
    {WinMX, &WinMXDownloadOrdner, L"WinMX", &WinMXProgrammOrdner},
    {GetRight, &GetRightProgrammOrdner, L"GetRight", nullptr},
    {EMule, &EMuleProgrammOrdner, L"EMule/EDonkey", nullptr},
    {EMule, &EMuleTempOrdner, L"EMule/EDonkey", &EMuleProgrammOrdner},
};

// Only an absolute path names a folder of its own: a relative one (eMule writes "TempDir=.")
// would be this program's current folder.
bool OrdnerFehlt(const std::wstring& ordner) { return !PfadIstAbsolut(ordner) || !DateiExistiert(ordner + L"\\nul"); }

// The working folder is deleted after the distribution, and the programs in it came with the
// package: a client folder there, however spelled, is no target.
bool ImArbeitsordner(const std::wstring& ordner, const std::wstring& arbeitsordner) {
    const std::wstring arbeit = VollständigerPfad(arbeitsordner);
    std::wstring stufe = VollständigerPfad(ordner);
    for (;;) {
        if (TexteGleich(stufe, arbeit) || modVerschieben::GleicheDatei(stufe, arbeit)) return true;
        const std::wstring darüber = PfadZurückgeben(stufe);
        if (darüber.size() >= stufe.size() || !PfadIstAbsolut(darüber)) return false;
        stufe = darüber;
    }
}

// The pickers belong to the main window, the root owner of the progress window that is active
// while the distribution runs.
HWND Besitzer() {
    HWND aktiv = GetActiveWindow();
    return aktiv ? GetAncestor(aktiv, GA_ROOTOWNER) : nullptr;
}

void OrdnerErfragen(const std::array<bool, 5>& kommtVor) {
    for (const Ordnerfrage& frage : kOrdnerfragen) {
        if (!kommtVor[frage.funktion] || !OrdnerFehlt(*frage.ordner)) continue;
        const std::wstring client = frage.client;
        const bool download = frage.programmOrdner != nullptr;
        const std::wstring befund = download ? L"Der '" + client + L"'-Download-Ordner wurde nicht gefunden."
                                             : L"Das Programm '" + client + L"' wurde nicht gefunden.";
        FortschrittAnzeigen(L"Achtung: " + befund);
        const std::wstring aufforderung =
            befund + (download ? L" Bitte wählen Sie diesen aus..." : L" Bitte wählen Sie den Programm-Ordner...");
        const std::wstring start = download && !OrdnerFehlt(*frage.programmOrdner) ? *frage.programmOrdner : L"";
        const std::wstring antwort = NullzeichenEntfernen(OrdnerAuswählen(aufforderung, Besitzer(), start));
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

// GetRight reads its list some time after it was started, and opening the package removes the
// working folder the list lies in right after the distribution. The list therefore moves first
// into a folder of the user's temporary folder that nothing of this program ever empties; it is
// GetRight's to keep. A list of the same name from an earlier package may still be in use
// there, so a new one takes the next free name instead of replacing it.
std::optional<std::wstring> ListeAufbewahren(const std::wstring& pfad) {
    const std::wstring temp = TempOrdner();
    const std::wstring name = DateinameZurückgeben(pfad);
    std::wstring ziel = temp + L"\\Ladewerk-GetRight\\" + name;
    if (DateiExistiert(ziel)) ziel = modVerschieben::FreierName(ziel);
    std::wstring fehler;
    int modus = modVerschieben::Verschieben;
    if (temp.empty() || ziel.empty() ||
        !modVerschieben::DateiVerschieben(pfad, ziel, modus, fehler, modVerschieben::ÜberschreibenFragen)) {
        FortschrittAnzeigen(L"Achtung: Die Datei '" + name + L"' konnte nicht für GetRight abgelegt werden" +
                            (fehler.empty() ? L"" : L": " + TextErsetzen(fehler, L"\n", L" ")));
        return std::nullopt;
    }
    return ziel;
}

// The lines that say where a file that arrived now lies, when that is not simply its own name in
// its client's folder. belegt: a file of its (cleaned) name was there before.
void AnkunftMelden(const std::wstring& name, const std::wstring& ziel, bool belegt) {
    const std::wstring neu = DateinameZurückgeben(ziel);
    if (neu != name) FortschrittAnzeigen(L"Achtung: Die Datei '" + name + L"' wurde unter dem Namen '" + neu + L"' abgelegt");
    if (belegt && TexteGleich(neu, modVerschieben::DateinamenBereinigen(name, false)))
        FortschrittAnzeigen(L"Achtung: Die vorhandene Datei '" + ziel + L"' wurde ersetzt");
}

// True when the file arrived in its client's folder or was handed to GetRight. Every other
// outcome gets a line that says why.
bool DateiVerteilen(const std::wstring& pfad, Funktion funktion, const std::wstring& arbeitsordner, std::wstring& fehler) {
    const std::wstring name = DateinameZurückgeben(pfad);
    const std::wstring& ordner = Zielordner(funktion);
    // Without a folder the file would land in the root of the current drive, with a relative
    // one in the current folder; it stays instead.
    if (!PfadIstAbsolut(ordner)) {
        FortschrittAnzeigen(L"Achtung: Die Datei '" + name + L"' wurde nicht verarbeitet, da kein Ordner für sie gewählt wurde");
        return false;
    }
    if (ImArbeitsordner(ordner, arbeitsordner)) {
        FortschrittAnzeigen(L"Achtung: Die Datei '" + name + L"' wurde nicht verarbeitet, da der Ordner '" + ordner +
                            L"' im Arbeitsordner liegt");
        return false;
    }
    if (funktion == GetRight) {
        const auto liste = ListeAufbewahren(pfad);
        if (!liste) return false;
        FortschrittAnzeigen(L"Führe Datei '" + name + L"' mit GetRight aus");
        // Quoted, so that a path with blanks reaches GetRight as one argument.
        ProgrammStarten(ordner + L"\\Getright.exe", L"\"" + *liste + L"\"");
        return true;
    }
    FortschrittAnzeigen(L"Verschiebe Datei '" + name + L"' nach '" + ordner + L"'");
    std::wstring ziel = ordner + L"\\" + name;
    const bool belegt = DateiExistiert(ordner + L"\\" + modVerschieben::DateinamenBereinigen(name, false));
    int modus = modVerschieben::Verschieben;
    if (modVerschieben::DateiVerschieben(pfad, ziel, modus, fehler, modVerschieben::ÜberschreibenFragen)) {
        AnkunftMelden(name, ziel, belegt);
        return true;
    }
    // Only "Überspringen" fails without a reason.
    FortschrittAnzeigen(fehler.empty() ? L"Achtung: Die Datei '" + name + L"' wurde nicht verarbeitet, da sie übersprungen wurde"
                                       : L"Achtung: " + TextErsetzen(fehler, L"\n", L" "));
    return false;
}

// Starts the first of the programs that exists in ordner. Programs in the working folder came
// with the package and never run; a relative folder would be this program's current folder.
void ErstesStarten(const std::wstring& ordner, const std::wstring& arbeitsordner,
                   std::span<const wchar_t* const> programme) {
    if (!PfadIstAbsolut(ordner)) return;
    for (const wchar_t* programm : programme) {
        const std::wstring pfad = ordner + L"\\" + programm;
        if (!DateiExistiert(pfad)) continue;
        if (ImArbeitsordner(ordner, arbeitsordner))
            FortschrittAnzeigen(L"Achtung: Das Programm '" + pfad + L"' wird nicht gestartet, da es im Arbeitsordner liegt");
        else
            ProgrammStarten(pfad, L"");
        return;
    }
}

}  // namespace

Funktion FunktionBestimmen(const std::wstring& pfad) {
    const std::wstring endung = DateiendungZurückgeben(pfad);
    if (endung == L".dat") return Kazaa;
    if (endung == L".lst" || endung == L".grx" || endung == L".urls") return GetRight;
    if (endung == L".met" || endung == L".part") return EMule;
    return WinMX;
}

int DateienVerarbeiten(const std::vector<std::wstring>& Dateien, const std::wstring& Arbeitsordner) {
    FortschrittAnzeigen(L"Starte Verarbeitungs-Prozedur...");
    FortschrittAnzeigen(L"Lese Programm-Einstellungen (Registerdatenbank/Dateisystem)...");
    ProgrammEinstellungenLesen();

    FortschrittAnzeigen(L"Teile Dateien auf...");
    std::vector<Funktion> funktionen;
    std::array<bool, 5> kommtVor{};
    for (const std::wstring& pfad : Dateien) {
        funktionen.push_back(FunktionBestimmen(pfad));
        kommtVor[funktionen.back()] = true;
    }

    FortschrittAnzeigen(L"Schließe Anwendungen...");
    modAnwendungen::AnwendungenSchließen(kommtVor[Kazaa], kommtVor[EMule], kommtVor[WinMX]);

    FortschrittAnzeigen(L"Prüfe Einstellungen...");
    OrdnerErfragen(kommtVor);

    FortschrittAnzeigen(L"Verarbeite Dateien...");
    std::wstring fehler;
    int nichtAngekommen = 0;
    for (size_t i = 0; i < Dateien.size(); ++i) {
        if (!DateiExistiert(Dateien[i])) {
            FortschrittAnzeigen(L"Achtung: Datei '" + Dateien[i] + L"' existiert nicht");
            ++nichtAngekommen;
            continue;
        }
        if (!DateiVerteilen(Dateien[i], funktionen[i], Arbeitsordner, fehler)) ++nichtAngekommen;
    }

    FortschrittAnzeigen(L"Starte Anwendungen...");
    if (kommtVor[Kazaa])
        ErstesStarten(KazaaProgrammOrdner, Arbeitsordner, kKazaaProgramme);
    if (kommtVor[WinMX]) ErstesStarten(WinMXProgrammOrdner, Arbeitsordner, kWinMXProgramme);
    if (kommtVor[EMule]) ErstesStarten(EMuleProgrammOrdner, Arbeitsordner, kEMuleProgramme);
    FortschrittAnzeigen(L"Verarbeitungs-Prozedur beendet");
    return nichtAngekommen;
}

}  // namespace modVerteilung
