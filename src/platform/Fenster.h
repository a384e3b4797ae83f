#pragma once
// The program's thin window wrapper: a Fenster owns its HWND, finds itself again through
// GWLP_USERDATA and hands messages to virtual handlers. Controls come from a table of positions
// in twips, converted with the window's DPI, so the documented layouts stay readable as data.

#include "Handles.h"

#include <windows.h>

#include <string>
#include <vector>

namespace Oberfläche {

// One control of a window's layout table; position and size in twips (1/1440 inch).
struct Steuerelement {
    int id;
    const wchar_t* klasse;  // WC_BUTTON, WC_STATIC, WC_EDIT ...
    const wchar_t* text;
    DWORD stil;
    int links, oben, breite, höhe;
    DWORD exStil = 0;
};

// Points of an owner-drawn picture as percentages of its rectangle, so the picture scales with
// its control.
struct Prozentfläche {
    RECT r;
    [[nodiscard]] int X(int prozent) const { return r.left + MulDiv(r.right - r.left, prozent, 100); }
    [[nodiscard]] int Y(int prozent) const { return r.top + MulDiv(r.bottom - r.top, prozent, 100); }
    [[nodiscard]] int Höhe(int prozent) const { return MulDiv(r.bottom - r.top, prozent, 100); }
};

struct Schriftart {
    const wchar_t* name;
    int punktHundertstel;  // 825 for 8.25 pt
    bool fett = false;
    bool unterstrichen = false;
};

// A new font of that face and weight, pixel pixels high (the caller owns it).
HFONT SchriftAnlegen(const Schriftart& schrift, int pixel);

class Fenster {
public:
    Fenster() = default;
    Fenster(const Fenster&) = delete;
    Fenster& operator=(const Fenster&) = delete;
    virtual ~Fenster();

    [[nodiscard]] HWND Handle() const { return hwnd_; }
    [[nodiscard]] bool Existiert() const { return hwnd_ != nullptr; }
    [[nodiscard]] bool IstSichtbar() const { return hwnd_ && IsWindowVisible(hwnd_); }

    std::wstring Text() const;
    void TextSetzen(const std::wstring& text) const;
    std::wstring ElementText(int id) const;
    void ElementTextSetzen(int id, const std::wstring& text) const;
    [[nodiscard]] HWND Element(int id) const { return GetDlgItem(hwnd_, id); }

    // Closes the window without asking it (the shutdown routine's unload).
    void Zerstören();

    // Shows the window owned by besitzer, which takes no input meanwhile, and returns once the
    // window is hidden or destroyed. A WM_QUIT that arrives meanwhile is passed on to the outer loop.
    void ModalZeigen(HWND besitzer);

protected:
    // Creates the top-level window with a client area of the given size in twips.
    bool Erzeugen(HWND besitzer, const std::wstring& titel, DWORD stil, int clientBreite, int clientHöhe,
                  DWORD zusatzExStil = 0);
    void ElementeErzeugen(const Steuerelement* tabelle, size_t anzahl, const Schriftart& schrift);
    void SchriftSetzen(int id, const Schriftart& schrift);
    [[nodiscard]] int Twips(int twips) const;

    // The button that Enter presses (DM_GETDEFID for IsDialogMessageW); without one, Enter
    // presses the push button that has the focus.
    int standardKnopf_ = 0;

    virtual LRESULT Nachricht(UINT nachricht, WPARAM wParam, LPARAM lParam);
    virtual void Befehl(int id, int code) { (void)id, (void)code; }
    // WM_CLOSE; the default destroys the window.
    virtual void SchließenAngefordert() { Zerstören(); }
    // Owner-drawn statics (SS_OWNERDRAW) paint themselves here.
    virtual void Zeichnen(const DRAWITEMSTRUCT& zeichnung) { (void)zeichnung; }

private:
    static LRESULT CALLBACK Fensterprozedur(HWND hwnd, UINT nachricht, WPARAM wParam, LPARAM lParam);
    HFONT Schrift(const Schriftart& schrift);
    HWND FokussierterKnopf() const;

    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    std::vector<Handles::Schrift> schriften_;
};

std::wstring TextLesen(HWND fenster);

// The program's list of loaded windows, in the order they were created.
std::vector<Fenster*> GeladeneFenster();

// Lets pending window events run once, then returns.
void NachrichtenVerarbeiten();
// Runs the event loop until WM_QUIT; returns its exit code.
int NachrichtenSchleife();

}  // namespace Oberfläche
