#pragma once
// The real input box behind Interaktion::TextEingeben: a prompt, one edit line, OK and Cancel.

#include "Interaktion.h"

#include <windows.h>

#include <optional>
#include <string>

namespace Eingabedialog {

// Modal; nothing when the person cancelled or the dialog could not be shown.
std::optional<std::wstring> Zeigen(HWND besitzer, const Interaktion::Texteingabe& anfrage);

}  // namespace Eingabedialog
