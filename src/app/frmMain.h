#pragma once
// The main window: open a package or create one.

#include "Fenster.h"

class frmMain final : public Fenster::Fenster {
public:
    enum : int {
        cmdInfo = 1001,
        cmdEnde,
        cmdÖffnen,
        cmdErstellen,
        Image2,
        lblÖffnen,
        lblErstellen,
        lblBeschreibung,
        lblTitel,
        linTrenner,
    };

    static frmMain& Instanz();

    // Creates the window hidden when it does not exist yet; the window handle, or nullptr.
    HWND Laden();

    void cmdÖffnen_Click();
    void cmdErstellen_Click();
    void cmdEnde_Click();
    void cmdInfo_Click();
    void Form_QueryUnload();

private:
    frmMain() = default;
    LRESULT Nachricht(UINT nachricht, WPARAM wParam, LPARAM lParam) override;
    void Befehl(int id, int code) override;
    void SchließenAngefordert() override { Form_QueryUnload(); }
    void Zeichnen(const DRAWITEMSTRUCT& zeichnung) override;
};
