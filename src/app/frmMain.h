#pragma once
// The main window: open a package or create one.

#include "Fenster.h"

#include <deque>
#include <string>

class frmMain final : public Oberfläche::Fenster {
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
    // The main window of another running instance, or nullptr.
    static HWND Finden();

    // Unpacks and distributes a package with the progress window in front; mode as for
    // frmFortschritt::Tag.
    void PaketÖffnen(const std::wstring& pfad, const std::wstring& modus);
    // A package handed over by a second start: asked about when idle, refused with a message
    // naming it while work runs or a dialog is open.
    void PaketÜbernehmen(const std::wstring& pfad);

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

    // Packages of second starts, each until its posted turn comes; an empty one only asks for
    // the window to come to the front.
    std::deque<std::wstring> übergeben_;
};
