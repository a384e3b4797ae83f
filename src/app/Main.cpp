#include "Main.h"

#include "Fenster.h"
#include "Handles.h"
#include "Interaktion.h"
#include "Programm.h"
#include "frmFortschritt.h"
#include "frmMain.h"
#include "modFunktionen.h"
#include "modKompression.h"

#include <cstdio>
#include <cwctype>

namespace modMain {
namespace {

// Held for the whole run: its existence tells a second start that one instance runs already.
Handles::Handle einzelinstanz;

bool LäuftSchon() {
    einzelinstanz = Handles::Handle(CreateMutexW(nullptr, FALSE, L"Local\\Ladewerk-Einzelinstanz"));
    // An instance started elevated owns a mutex that this one may not even open.
    const DWORD fehler = GetLastError();
    return fehler == ERROR_ALREADY_EXISTS || fehler == ERROR_ACCESS_DENIED;
}

std::wstring OhneRandLeerzeichen(const std::wstring& text) {
    size_t anfang = 0, ende = text.size();
    while (anfang < ende && std::iswspace(text[anfang])) ++anfang;
    while (ende > anfang && std::iswspace(text[ende - 1])) --ende;
    return text.substr(anfang, ende - anfang);
}

void WillkommenZeigen() {
    frmMain& fenster = frmMain::Instanz();
    if (!fenster.Laden()) return;
    fenster.TextSetzen(Programm::Titel() + L" " + Programm::VersionKurz() + L" - Willkommen");
    fenster.ElementTextSetzen(frmMain::lblTitel, Programm::Titel() + L" - Willkommen");
    ShowWindow(fenster.Handle(), SW_SHOW);
    SetFocus(fenster.Element(frmMain::cmdÖffnen));
}

}  // namespace

void ZeichenInitialisieren() { Programm::UngültigeZeichen = {L"]", L"["}; }

std::wstring BefehlszeilenPfad(const std::wstring& befehlszeile) {
    // The program name is skipped the way the C runtime does it: quoted up to the next quote,
    // bare up to the first blank.
    size_t pos = 0;
    if (!befehlszeile.empty() && befehlszeile[0] == L'"') {
        const size_t zu = befehlszeile.find(L'"', 1);
        pos = zu == std::wstring::npos ? befehlszeile.size() : zu + 1;
    } else {
        while (pos < befehlszeile.size() && befehlszeile[pos] != L' ' && befehlszeile[pos] != L'\t') ++pos;
    }
    const std::wstring argumente = befehlszeile.substr(pos);
    return OhneRandLeerzeichen(modFunktionen::TextErsetzen(argumente, L"\"", L""));
}

bool VerarbeitenFragen(const std::wstring& pfad) {
    const std::wstring frage =
        L"Soll die Datei '" + modFunktionen::DateinameZurückgeben(pfad) + L"' jetzt verarbeitet werden?";
    return Interaktion::Frage(nullptr, frage, MB_YESNO | MB_DEFBUTTON1 | MB_ICONQUESTION) == IDYES;
}

void Main() {
    if (LäuftSchon()) {
        ProgrammBeenden();
        return;
    }
    ZeichenInitialisieren();
    modFortschritt::AnzeigeSetzen(&frmFortschritt::Instanz());

    // A file manager or script may name the package relative to the folder it starts us in;
    // from here on only the full path is checked, asked about and handed on.
    const std::wstring pfad = modFunktionen::VollständigerPfad(BefehlszeilenPfad(GetCommandLineW()));
    if (!pfad.empty() && modFunktionen::DateiExistiert(pfad)) {
        if (VerarbeitenFragen(pfad))
            modKompression::DateienDekomprimieren(pfad);
        else
            ProgrammBeenden();
        return;
    }
    WillkommenZeigen();
}

void ProgrammBeenden() {
    std::fflush(nullptr);
    for (Fenster::Fenster* fenster : Fenster::GeladeneFenster()) fenster->Zerstören();
    Programm::ProzessBeenden();
}

}  // namespace modMain
