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
#include <thread>

namespace modMain {
namespace {

// Held for the whole run: its existence tells a second start that one instance runs already.
Handles::Handle einzelinstanz;

// Marks a handover among other WM_COPYDATA; the text is the path without its terminating zero.
constexpr ULONG_PTR kÜbergabeKennung = 0x4C57'4F46;  // "LWOF"
// A path longer than the longest the system knows is no path.
constexpr DWORD kÜbergabeHöchstens = 32767 * sizeof(wchar_t);

bool frageOffen = false;

// The main window of the instance that runs already, or nullptr; it may still be starting.
HWND LaufendesHauptfenster() {
    for (int versuch = 0; versuch < 50; ++versuch) {
        if (HWND haupt = frmMain::Finden()) return haupt;
        Sleep(100);
    }
    return nullptr;
}

void AnLaufendeÜbergeben(const std::wstring& pfad) {
    HWND haupt = LaufendesHauptfenster();
    if (!haupt) return;
    // Only the process the person just started may hand the foreground on.
    DWORD prozess = 0;
    GetWindowThreadProcessId(haupt, &prozess);
    AllowSetForegroundWindow(prozess);
    COPYDATASTRUCT daten = ÜbergabeVerpacken(pfad);
    DWORD_PTR antwort = 0;
    SendMessageTimeoutW(haupt, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&daten), SMTO_ABORTIFHUNG, 10000, &antwort);
}

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

bool VerarbeitenFragen(const std::wstring& pfad, HWND besitzer) {
    const std::wstring frage =
        L"Soll die Datei '" + modFunktionen::DateinameZurückgeben(pfad) + L"' jetzt verarbeitet werden?";
    frageOffen = true;
    const bool ja = Interaktion::Frage(besitzer, frage, MB_YESNO | MB_DEFBUTTON1 | MB_ICONQUESTION) == IDYES;
    frageOffen = false;
    return ja;
}

bool FrageOffen() { return frageOffen; }

COPYDATASTRUCT ÜbergabeVerpacken(const std::wstring& pfad) {
    return {kÜbergabeKennung, static_cast<DWORD>(pfad.size() * sizeof(wchar_t)), const_cast<wchar_t*>(pfad.data())};
}

std::optional<std::wstring> ÜbergabeLesen(const COPYDATASTRUCT& daten) {
    if (daten.dwData != kÜbergabeKennung || daten.cbData % sizeof(wchar_t) != 0 || daten.cbData > kÜbergabeHöchstens ||
        (daten.cbData > 0 && !daten.lpData))
        return std::nullopt;
    std::wstring pfad(static_cast<const wchar_t*>(daten.lpData), daten.cbData / sizeof(wchar_t));
    // A zero inside would cut the path short at every later call.
    if (pfad.find(L'\0') != std::wstring::npos) return std::nullopt;
    return pfad;
}

void BeschäftigtMelden(const std::wstring& pfad) {
    const std::wstring text = Programm::Titel() + L" verarbeitet gerade andere Dateien. Die Datei '" + pfad +
                              L"' wurde nicht geöffnet und bleibt unverändert; bitte öffnen Sie sie erneut, wenn "
                              L"die Verarbeitung beendet ist.";
    // On a thread of its own, so the box waits for the person and the running work does not.
    std::thread([text] { Interaktion::Frage(nullptr, text, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND); }).detach();
}

void NachVorn(HWND haupt) {
    HWND fenster = IsWindowVisible(haupt) ? haupt : frmFortschritt::Instanz().Handle();
    if (!fenster || !IsWindowVisible(fenster)) return;
    if (IsIconic(fenster)) ShowWindow(fenster, SW_RESTORE);
    // A window the main window owns (a dialog, the progress window) belongs in front of it.
    if (HWND oben = GetWindow(fenster, GW_ENABLEDPOPUP); oben && IsWindowVisible(oben)) fenster = oben;
    SetForegroundWindow(fenster);
}

void Main() {
    // A file manager or script may name the package relative to the folder it starts us in;
    // from here on only the full path is checked, asked about and handed on.
    const std::wstring pfad = modFunktionen::VollständigerPfad(BefehlszeilenPfad(GetCommandLineW()));
    const bool paket = !pfad.empty() && modFunktionen::DateiExistiert(pfad);
    if (LäuftSchon()) {
        AnLaufendeÜbergeben(paket ? pfad : std::wstring());
        ProgrammBeenden();
        return;
    }
    ZeichenInitialisieren();
    modFortschritt::AnzeigeSetzen(&frmFortschritt::Instanz());
    // Exists from the start, hidden, so that a second start finds where to hand its package.
    frmMain::Instanz().Laden();

    if (paket) {
        if (VerarbeitenFragen(pfad))
            modKompression::DateienDekomprimieren(pfad);
        else
            ProgrammBeenden();
        return;
    }
    WillkommenZeigen();
}

void ProgrammBeenden() {
    // Empty unless Windows ends the program in the middle of a run (logoff, shutdown).
    Programm::ÜberbleibselLöschen();
    std::fflush(nullptr);
    for (Oberfläche::Fenster* fenster : Oberfläche::GeladeneFenster()) fenster->Zerstören();
    Programm::ProzessBeenden();
}

}  // namespace modMain
