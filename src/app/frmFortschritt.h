#pragma once
// The progress window: the log of every long operation, a close button, and a countdown that
// closes the window by itself 60 seconds after the operation has finished.

#include "Fenster.h"
#include "Fortschritt.h"

#include <string>

class frmFortschritt final : public Oberfläche::Fenster, public modFortschritt::Anzeige {
public:
    enum : int {
        tmrSchließen = 1,
        cmdBeenden = 1101,
        txtFortschritt = 1102,
        lblTitel1 = 1103,
        prgBytes = 1104,
        lblBytes = 1105,
    };

    static frmFortschritt& Instanz();

    // Creates the window hidden when it does not exist yet.
    bool Laden();

    // Mode marker: "0" package creation, "1" opened from the main window, "2" opened from the
    // command line (closing then ends the program).
    std::wstring Tag;
    // Empty, or the moment the countdown started as "dd.mm.yyyy hh:nn:ss".
    std::wstring Countdownstart;

    void ZeileAnhängen(const std::wstring& zeile) override;
    bool IstSichtbar() override { return Fenster::IstSichtbar(); }
    HWND Besitzer() override { return Handle(); }
    void Öffnen(const std::wstring& titel, const std::wstring& modus) override;
    void Abschließen() override;
    void FehlerAbschließen() override;
    bool Arbeitet() override;
    void BytesZeigen(uint64_t erledigt, uint64_t gesamt) override;

    std::wstring Protokoll() const { return ElementText(txtFortschritt); }
    [[nodiscard]] bool TimerAktiv() const { return timerAktiv_; }
    void TimerAktivieren(bool an);

    void tmrSchließen_Timer();
    void cmdBeenden_Click();

private:
    frmFortschritt() = default;
    LRESULT Nachricht(UINT nachricht, WPARAM wParam, LPARAM lParam) override;
    void Befehl(int id, int code) override;
    void SchließenAngefordert() override;
    // The end of an operation, either way: the close button takes clicks, logoff is free again.
    void ArbeitBeenden();

    bool timerAktiv_ = false;
};
