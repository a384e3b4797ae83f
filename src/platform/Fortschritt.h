#pragma once
// The way back up from the working layers to the progress window: every long operation logs
// through FortschrittAnzeigen and opens and finishes the window through Anzeige, without
// knowing the window itself. The application installs its progress window at start; tests
// install a recorder.

#include <windows.h>

#include <cstdint>
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
    // Between Öffnen and its end: the time in which nothing else may be started.
    virtual bool Arbeitet() { return false; }
    // Bytes of the current long step; gesamt 0 hides the bar.
    virtual void BytesZeigen(uint64_t erledigt, uint64_t gesamt) { (void)erledigt, (void)gesamt; }
};

void AnzeigeSetzen(Anzeige* anzeige);
Anzeige* AktuelleAnzeige();

// Appends one line to the progress log; never fails towards its caller.
void FortschrittAnzeigen(const std::wstring& zeile);

// True while an operation runs: commands that would start other work do nothing meanwhile.
bool ArbeitLäuft();

// Lets window events run and brings the bar up to date, but at most every 40 ms however often
// it is called, so a loop may call it per block it handles.
void Zwischendurch();

// One long step counted in bytes (unpacking, packing, a copy to another drive): the bar shows
// it while the object lives and is empty again afterwards. Steps do not nest; the working
// layers add what they have done through BytesErledigt.
class Bytefortschritt {
public:
    explicit Bytefortschritt(uint64_t gesamt);
    ~Bytefortschritt();
    Bytefortschritt(const Bytefortschritt&) = delete;
    Bytefortschritt& operator=(const Bytefortschritt&) = delete;
};

// Adds bytes to the running step and lets events run now and then (Zwischendurch).
void BytesErledigt(uint64_t anzahl);
// Sets the bytes done of the running step, for callers that learn a running total.
void BytesStand(uint64_t erledigt);

// Copies quelle to ziel, which must not exist yet, with its last change time and attributes,
// showing its bytes and letting window events run meanwhile; on failure nothing of ziel stays
// and GetLastError tells why. Should Windows end the program during the copy, the partial ziel
// goes with it. (Wine's CopyFileExW never calls its progress routine, so the window would freeze
// for the whole copy.)
bool DateiKopieren(const std::wstring& quelle, const std::wstring& ziel);

// "1,2 von 5,0 GB": both values in the unit of the total, one decimal, German comma.
std::wstring BytesText(uint64_t erledigt, uint64_t gesamt);

}  // namespace modFortschritt
