#pragma once
// Hands a message with one attachment to the user's standard mail program, which shows it for
// editing and sending. On Windows that is Simple MAPI. Wine's Simple MAPI drops attachments, so
// under Wine the message goes to the Linux desktop's mail composer (xdg-email) instead, unless
// the environment variable LADEWERK_EMAIL is "mapi" (a Wine with a mail provider of its own).

#include <windows.h>

#include <string>

namespace EMail {

struct Nachricht {
    std::wstring betreff;
    std::wstring text;
    std::wstring anhangPfad;
    std::wstring anhangName;     // shown name of the attachment
    std::wstring empfängerName;  // a placeholder for the user to replace; no address
};

struct Ergebnis {
    bool übergeben = false;    // the mail program has the message
    bool abgebrochen = false;  // the user cancelled in the mail program
    unsigned long nummer = 0;
    std::wstring beschreibung;
};

// Blocks, keeping the program's windows painted, until the mail program has taken the message;
// besitzer is disabled meanwhile.
Ergebnis Senden(HWND besitzer, const Nachricht& nachricht);

bool UnterWine();

}  // namespace EMail
