#include "frmVerschiebenDateiExistiert.h"

#include <commctrl.h>

namespace {

using Dialog = frmVerschiebenDateiExistiert;

// Twips; client area 7455 x 3135. Buttons left to right in the order the question reads.
const Oberfläche::Steuerelement kLayout[] = {
    {Dialog::lblTitel1, WC_STATICW, L"Es ist ein Fehler beim Kopieren/Verschieben aufgetreten.", SS_LEFT | SS_NOPREFIX,
     120, 120, 7215, 285},
    {Dialog::lblBeschreibung, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX, 120, 495, 7215, 2040},
    {Dialog::cmdUmbenennen, WC_BUTTONW, L"&Umbenennen", WS_TABSTOP | BS_PUSHBUTTON, 120, 2640, 1695, 375},
    {Dialog::cmdErsetzen, WC_BUTTONW, L"&Ersetzen (!)", WS_TABSTOP | BS_PUSHBUTTON, 1960, 2640, 1695, 375},
    {Dialog::cmdÜberspringen, WC_BUTTONW, L"Ü&berspringen", WS_TABSTOP | BS_PUSHBUTTON, 3800, 2640, 1695, 375},
    {Dialog::cmdAbbrechen, WC_BUTTONW, L"&Abbrechen", WS_TABSTOP | BS_PUSHBUTTON, 5640, 2640, 1695, 375},
};

}  // namespace

frmVerschiebenDateiExistiert& frmVerschiebenDateiExistiert::Instanz() {
    static frmVerschiebenDateiExistiert fenster;
    return fenster;
}

bool frmVerschiebenDateiExistiert::Laden() {
    if (Existiert()) return true;
    if (!Erzeugen(nullptr, L"Fehler beim Kopieren/Verschieben", WS_POPUP | WS_CAPTION | WS_SYSMENU, 7455, 3135))
        return false;
    ElementeErzeugen(kLayout, std::size(kLayout), {L"Tahoma", 825});
    SchriftSetzen(lblTitel1, {L"Tahoma", 825, true});
    return true;
}

int frmVerschiebenDateiExistiert::Zeigen(HWND besitzer, const std::wstring& beschreibung) {
    Dialog& dialog = Instanz();
    if (!dialog.Laden()) return Abbrechen;
    dialog.ElementTextSetzen(lblBeschreibung, beschreibung);
    dialog.Antwort = Abbrechen;
    dialog.ModalZeigen(besitzer);
    // Still shown: the program is ending, and nothing was answered.
    if (dialog.IstSichtbar()) {
        ShowWindow(dialog.Handle(), SW_HIDE);
        dialog.Antwort = Abbrechen;
    }
    return dialog.Antwort;
}

void frmVerschiebenDateiExistiert::Beantworten(int antwort) {
    Antwort = antwort;
    ShowWindow(Handle(), SW_HIDE);
}

void frmVerschiebenDateiExistiert::Befehl(int id, int code) {
    if (code != BN_CLICKED) return;
    switch (id) {
    case cmdUmbenennen: cmdUmbenennen_Click(); return;
    case cmdErsetzen: cmdErsetzen_Click(); return;
    case cmdÜberspringen: cmdÜberspringen_Click(); return;
    case cmdAbbrechen:
    case IDCANCEL: cmdAbbrechen_Click(); return;
    default: return;
    }
}
