#pragma once
// The file mover's question when a file of the target name exists already: rename, replace,
// skip or cancel. Created on first use and only hidden afterwards.

#include "Fenster.h"

#include <string>

class frmVerschiebenDateiExistiert final : public ::Oberfläche::Fenster {
public:
    enum : int {
        lblTitel1 = 1301,
        lblBeschreibung,
        cmdUmbenennen,
        cmdErsetzen,
        cmdÜberspringen,
        cmdAbbrechen,
    };
    enum Antworten : int { Umbenennen = 1, Ersetzen = 2, Abbrechen = 3, Überspringen = 4 };

    static frmVerschiebenDateiExistiert& Instanz();

    // Shows the dialog modally with the conflict text; the answer 1-4. Closing it any other
    // way (Esc, the window frame) counts as Abbrechen, so nothing is replaced unasked.
    static int Zeigen(HWND besitzer, const std::wstring& beschreibung);

    bool Laden();

    // The answer of the last button pressed.
    int Antwort = Abbrechen;

    void cmdUmbenennen_Click() { Beantworten(Umbenennen); }
    void cmdErsetzen_Click() { Beantworten(Ersetzen); }
    void cmdÜberspringen_Click() { Beantworten(Überspringen); }
    void cmdAbbrechen_Click() { Beantworten(Abbrechen); }

private:
    frmVerschiebenDateiExistiert() = default;
    void Beantworten(int antwort);
    void Befehl(int id, int code) override;
    void SchließenAngefordert() override { cmdAbbrechen_Click(); }
};
