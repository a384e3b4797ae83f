#pragma once
// The system's own description of an error number, in the user's language (German on a German
// system), for the "(Fehler {Nummer})" messages.

#include <string>

namespace Systemfehler {

// Without line break or final full stop; "Unbekannter Fehler" when the system has no text.
std::wstring Text(unsigned long nummer);
// "(Fehler {Nummer})", the form in which every message shows an error number.
std::wstring Nummer(unsigned long nummer);
// The text followed by the number: "{Text} (Fehler {Nummer})".
std::wstring MitNummer(unsigned long nummer);

}  // namespace Systemfehler
