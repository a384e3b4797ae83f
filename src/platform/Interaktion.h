#pragma once
// The one seam through which the program asks a person anything. The program runs with the
// real Win32 dialogs; tests install a Benutzer that answers from a script and records what was
// asked, so whole flows run headless against real files, registry and archives.

#include <windows.h>

#include <optional>
#include <string>

namespace Interaktion {

struct Meldung {
    std::wstring text;
    std::wstring titel;
    UINT stil = MB_OK;  // MB_ buttons | icon | default button, as for MessageBoxW
};

struct Dateianfrage {
    bool speichern = false;
    std::wstring titel;
    std::wstring filter;     // "Name|Muster|Name|Muster"
    std::wstring dateiname;  // start value
    DWORD flags = 0;         // OFN_ flags
};

struct Texteingabe {
    std::wstring aufforderung;
    std::wstring titel;
    std::wstring vorgabe;
    bool verdeckt = false;  // typed characters shown as dots (passwords)
};

class Benutzer {
public:
    virtual ~Benutzer() = default;
    // Returns the button pressed (IDYES, IDNO, IDOK, ...).
    virtual int MeldungZeigen(HWND besitzer, const Meldung& meldung) = 0;
    // The file mover's question when its target exists: 1 rename, 2 replace, 3 cancel, 4 skip.
    virtual int DateiExistiertFragen(HWND besitzer, const std::wstring& beschreibung) = 0;
    // The chosen path; with several files the folder, then each name, separated by L'\0'.
    // Nothing when the person cancelled or the dialog failed.
    virtual std::optional<std::wstring> DateiWählen(HWND besitzer, const Dateianfrage& anfrage) = 0;
    // The chosen folder's path, text being the prompt, start the folder shown first (none: the
    // desktop); nothing when cancelled.
    virtual std::optional<std::wstring> OrdnerWählen(HWND besitzer, const std::wstring& text, const std::wstring& start) = 0;
    // The typed text; nothing when the person cancelled.
    virtual std::optional<std::wstring> TextEingeben(HWND besitzer, const Texteingabe& anfrage) = 0;
};

Benutzer& Aktuell();
// Installs another answerer; nullptr brings back the real dialogs.
void Setzen(Benutzer* benutzer);

// The real answer to DateiExistiertFragen is a dialog of the distribution layer, which hands it
// in here; without it the question is answered with 3 (cancel), which moves nothing.
using DateiExistiertDialog = int (*)(HWND besitzer, const std::wstring& beschreibung);
void DateiExistiertDialogSetzen(DateiExistiertDialog dialog);

// A message box titled with the program's title.
int Frage(HWND besitzer, const std::wstring& text, UINT stil);
// An input box titled with the program's title; empty when the person cancelled.
std::wstring Eingabe(HWND besitzer, const std::wstring& aufforderung, bool verdeckt = false);

}  // namespace Interaktion
