#include "frmFortschritt.h"

#include "Main.h"
#include "Zeit.h"
#include "frmMain.h"

#include <commctrl.h>

namespace {

const wchar_t* const kKnopfText = L"&Schließen";

// Twips; client area 8475 x 3120. The bar and its text share the bottom row with the button.
const Oberfläche::Steuerelement kLayout[] = {
    {frmFortschritt::prgBytes, PROGRESS_CLASSW, L"", 0, 90, 2790, 4200, 240},
    {frmFortschritt::lblBytes, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX, 4380, 2805, 2400, 240},
    {frmFortschritt::cmdBeenden, WC_BUTTONW, kKnopfText, WS_TABSTOP | BS_DEFPUSHBUTTON, 6885, 2745, 1545, 330},
    {frmFortschritt::txtFortschritt, WC_EDITW, L"",
     WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 90, 315, 8340, 2400, WS_EX_CLIENTEDGE},
    {frmFortschritt::lblTitel1, WC_STATICW, L"Folgende Vorgänge werden ausgeführt, bitte warten:", SS_LEFT | SS_NOPREFIX,
     90, 45, 8340, 285},
};

constexpr long kSekundenBisSchließen = 60;
// The bar counts in ten-thousandths: its range is an int, a package's bytes are not.
constexpr int kBalkenSchritte = 10000;

const wchar_t* const kBlockGrund = L"Ladewerk verarbeitet Dateien";

}  // namespace

frmFortschritt& frmFortschritt::Instanz() {
    static frmFortschritt fenster;
    return fenster;
}

bool frmFortschritt::Laden() {
    if (Existiert()) return true;
    const INITCOMMONCONTROLSEX balken{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&balken);
    // In a command-line run it is the program's only window, so it needs its own taskbar button.
    if (!Erzeugen(nullptr, L"Fortschritt", WS_POPUP | WS_CAPTION | WS_SYSMENU, 8475, 3120, WS_EX_APPWINDOW))
        return false;
    ElementeErzeugen(kLayout, std::size(kLayout), {L"Tahoma", 825});
    SchriftSetzen(lblTitel1, {L"Tahoma", 975, true});
    // The log of a long run outgrows the edit control's default 32K characters.
    SendMessageW(Element(txtFortschritt), EM_SETLIMITTEXT, 0, 0);
    standardKnopf_ = cmdBeenden;
    SendMessageW(Element(prgBytes), PBM_SETRANGE32, 0, kBalkenSchritte);
    BytesZeigen(0, 0);
    return true;
}

void frmFortschritt::ZeileAnhängen(const std::wstring& zeile) {
    if (!Laden()) return;
    HWND text = Element(txtFortschritt);
    const auto länge = static_cast<WPARAM>(GetWindowTextLengthW(text));
    // Appending at the end gives the same text as rewriting the whole log with the new line,
    // without copying the log for every line.
    const std::wstring anhang = länge == 0 ? zeile : L"\r\n" + zeile;
    SendMessageW(text, EM_SETSEL, länge, static_cast<LPARAM>(länge));
    SendMessageW(text, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(anhang.c_str()));
    const auto ende = static_cast<WPARAM>(GetWindowTextLengthW(text));
    SendMessageW(text, EM_SETSEL, ende, static_cast<LPARAM>(ende));
    SendMessageW(text, EM_SCROLLCARET, 0, 0);
    ::Oberfläche::NachrichtenVerarbeiten();
}

void frmFortschritt::Öffnen(const std::wstring& titel, const std::wstring& modus) {
    if (!Laden()) return;
    // A countdown left over from the previous operation would otherwise close the window in
    // the middle of this one.
    TimerAktivieren(false);
    Countdownstart.clear();
    ElementTextSetzen(cmdBeenden, kKnopfText);
    EnableWindow(Element(cmdBeenden), FALSE);
    TextSetzen(titel);
    ElementTextSetzen(txtFortschritt, L"");
    BytesZeigen(0, 0);
    Tag = modus;
    ShutdownBlockReasonCreate(Handle(), kBlockGrund);
    if (HWND besitzer = frmMain::Instanz().Laden())
        SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(besitzer));
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
}

void frmFortschritt::Abschließen() {
    if (!Laden()) return;
    Countdownstart.clear();
    ArbeitBeenden();
    TimerAktivieren(true);
}

void frmFortschritt::FehlerAbschließen() {
    if (Laden()) ArbeitBeenden();
}

void frmFortschritt::ArbeitBeenden() {
    EnableWindow(Element(cmdBeenden), TRUE);
    ShutdownBlockReasonDestroy(Handle());
    BytesZeigen(0, 0);
}

bool frmFortschritt::Arbeitet() { return IstSichtbar() && !IsWindowEnabled(Element(cmdBeenden)); }

void frmFortschritt::BytesZeigen(uint64_t erledigt, uint64_t gesamt) {
    if (!Existiert()) return;
    HWND balken = Element(prgBytes);
    const bool zeigen = gesamt > 0;
    ShowWindow(balken, zeigen ? SW_SHOWNA : SW_HIDE);
    ShowWindow(Element(lblBytes), zeigen ? SW_SHOWNA : SW_HIDE);
    if (!zeigen) return;
    const auto stand = static_cast<int>(static_cast<double>(erledigt) / static_cast<double>(gesamt) * kBalkenSchritte);
    SendMessageW(balken, PBM_SETPOS, static_cast<WPARAM>(stand), 0);
    const std::wstring text = modFortschritt::BytesText(erledigt, gesamt);
    if (ElementText(lblBytes) != text) ElementTextSetzen(lblBytes, text);
}

void frmFortschritt::TimerAktivieren(bool an) {
    if (!Existiert()) return;
    if (an)
        SetTimer(Handle(), tmrSchließen, 500, nullptr);
    else
        KillTimer(Handle(), tmrSchließen);
    timerAktiv_ = an;
}

void frmFortschritt::tmrSchließen_Timer() {
    const auto start = modZeit::ZeitLesen(Countdownstart);
    if (!start) {
        Countdownstart = modZeit::AktuelleZeitText();
        return;
    }
    const long vergangen = static_cast<long>((modZeit::AktuelleZeit() - *start).count());
    const long rest = vergangen - kSekundenBisSchließen;
    ElementTextSetzen(cmdBeenden, L"Schließen [" + std::to_wstring(kSekundenBisSchließen - vergangen) + L"]");
    if (rest >= 0) cmdBeenden_Click();
}

void frmFortschritt::cmdBeenden_Click() {
    ShowWindow(Handle(), SW_HIDE);
    TimerAktivieren(false);
    ElementTextSetzen(cmdBeenden, kKnopfText);
    Countdownstart.clear();
    if (Tag == L"2") modMain::ProgrammBeenden();
}

LRESULT frmFortschritt::Nachricht(UINT nachricht, WPARAM wParam, LPARAM lParam) {
    if (nachricht == WM_TIMER && wParam == tmrSchließen) {
        tmrSchließen_Timer();
        return 0;
    }
    return Fenster::Nachricht(nachricht, wParam, lParam);
}

void frmFortschritt::Befehl(int id, int code) {
    // Enter, Esc and a click all close, but never while an operation still writes to the log.
    const bool schließen = (id == cmdBeenden && code == BN_CLICKED) || id == IDCANCEL || id == IDOK;
    if (schließen && IsWindowEnabled(Element(cmdBeenden))) cmdBeenden_Click();
}

void frmFortschritt::SchließenAngefordert() {
    if (IsWindowEnabled(Element(cmdBeenden))) cmdBeenden_Click();
}
