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
#include <optional>

namespace modVerteilung {
namespace {

using namespace modFunktionen;
using namespace modProgrammEinstellungen;
using modFortschritt::FortschrittAnzeigen;

struct Ordnerfrage {
    Funktion funktion;
    std::wstring* ordner;
    const wchar_t* client;
    bool download;  // a download folder, else the program folder
};

const Ordnerfrage kOrdnerfragen[] = {
    {Kazaa, &KazaaProgrammOrdner, L"Kazaa (lite)/Morpheus/Grokster", false},
    {Kazaa, &KazaaDownloadOrdner, L"Kazaa (lite)/Morpheus/Grokster", true},
    {WinMX, &WinMXProgrammOrdner, L"WinMX", false},
    {WinMX, &WinMXDownloadOrdner, L"WinMX", true},
    {GetRight, &GetRightProgrammOrdner, L"GetRight", false},
    {EMule, &EMuleProgrammOrdner, L"EMule/EDonkey", false},
    {EMule, &EMuleTempOrdner, L"EMule/EDonkey", true},
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
        const std::wstring client = frage.client;
        const std::wstring befund = frage.download ? L"Der '" + client + L"'-Download-Ordner wurde nicht gefunden."
                                                   : L"Das Programm '" + client + L"' wurde nicht gefunden.";
        FortschrittAnzeigen(L"Achtung: " + befund);
        const std::wstring aufforderung =
            befund + (frage.download ? L" Bitte wählen Sie diesen aus..." : L" Bitte wählen Sie den Programm-Ordner...");
        const std::wstring antwort = NullzeichenEntfernen(OrdnerAuswählen(aufforderung, Besitzer()));
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

// GetRight reads its list some time after it was started, and opening the package removes the
// working folder the list lies in right after the distribution. The list therefore moves first
// into a folder of the user's temporary folder that nothing of this program ever empties; it is
// GetRight's to keep. A list of the same name from an earlier package may still be in use
// there, so a new one takes the next free name instead of replacing it.
std::optional<std::wstring> ListeAufbewahren(const std::wstring& pfad) {
    std::wstring temp(GetTempPathW(0, nullptr) + 1, L'\0');
    temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    const std::wstring name = DateinameZurückgeben(pfad);
    std::wstring ziel = temp + L"Ladewerk-GetRight\\" + name;
    if (DateiExistiert(ziel)) ziel = modVerschieben::FortlaufendenDateinamen(ziel, DateinameOhneEndung(name) + L"-", L"0", L"");
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

// True when the file arrived in its client's folder or was handed to GetRight.
bool DateiVerteilen(const std::wstring& pfad, Funktion funktion, std::wstring& fehler) {
    const std::wstring name = DateinameZurückgeben(pfad);
    const std::wstring& ordner = Zielordner(funktion);
    if (ordner.empty()) {
        OhneOrdnerÜbergehen(name);
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
    int modus = modVerschieben::Verschieben;
    if (modVerschieben::DateiVerschieben(pfad, ziel, modus, fehler, modVerschieben::ÜberschreibenFragen)) return true;
    // A file that did not arrive would otherwise go unmentioned.
    if (!fehler.empty()) FortschrittAnzeigen(L"Achtung: " + TextErsetzen(fehler, L"\n", L" "));
    return false;
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

int DateienVerarbeiten(const std::vector<std::wstring>& Dateien, const std::wstring& Arbeitsordner) {
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
    int nichtAngekommen = 0;
    for (size_t i = 0; i < Dateien.size(); ++i) {
        if (funktionen[i] == Keine) continue;
        if (!DateiExistiert(Dateien[i])) {
            FortschrittAnzeigen(L"Achtung: Datei '" + Dateien[i] + L"' existiert nicht");
            ++nichtAngekommen;
            continue;
        }
        if (!DateiVerteilen(Dateien[i], funktionen[i], fehler)) ++nichtAngekommen;
    }

    FortschrittAnzeigen(L"Starte Anwendungen...");
    if (kommtVor[Kazaa])
        ErstesStarten(KazaaProgrammOrdner, {L"\\kpp.exe", L"\\Kazaa.exe", L"\\Morpheus.exe", L"\\Grokster.exe"});
    if (kommtVor[WinMX]) ErstesStarten(WinMXProgrammOrdner, {L"\\Winmx.exe"});
    if (kommtVor[EMule]) ErstesStarten(EMuleProgrammOrdner, {L"\\emule.exe", L"\\gdonkey.exe"});
    FortschrittAnzeigen(L"Verarbeitungs-Prozedur beendet");
    (void)Arbeitsordner;
    return nichtAngekommen;
}

}  // namespace modVerteilung
