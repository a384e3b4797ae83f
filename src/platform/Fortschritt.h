#pragma once
// The way back up from the working layers to the progress window: every long operation logs
// through FortschrittAnzeigen and opens and finishes the window through Anzeige, without
// knowing the window itself. The application installs its progress window at start; tests
// install a recorder.

#include <windows.h>

#include <string>

namespace modFortschritt {

class Anzeige {
public:
    virtual ~Anzeige() = default;
    virtual void ZeileAnhängen(const std::wstring& zeile) = 0;
    virtual bool IstSichtbar() = 0;
    // The window that questions asked during the operation belong to.
    virtual HWND Besitzer() { return nullptr; }
    // Close button disabled, caption set, log emptied, mode marker set, shown owned by the
    // main window.
    virtual void Öffnen(const std::wstring& titel, const std::wstring& modus) = 0;
    // Normal end of an operation: close button enabled, the 60-second countdown starts.
    virtual void Abschließen() = 0;
    // End on an unexpected error: only the close button is enabled, no countdown.
    virtual void FehlerAbschließen() = 0;
};

void AnzeigeSetzen(Anzeige* anzeige);
Anzeige* AktuelleAnzeige();

// Appends one line to the progress log; never fails towards its caller.
void FortschrittAnzeigen(const std::wstring& zeile);

}  // namespace modFortschritt
