#pragma once
// The system's own description of an error number, in the user's language (German on a German
// system), for the "(Fehler {Nummer})" messages.

#include <string>

namespace Systemfehler {

// Without line break or final full stop; "Unbekannter Fehler" when the system has no text.
std::wstring Text(unsigned long nummer);

}  // namespace Systemfehler
