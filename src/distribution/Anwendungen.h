#pragma once
// Tells running file-sharing clients to quit before their job files are moved, by posting
// WM_QUIT to their top-level windows. Nothing waits for them to end.

#include <string>

namespace modAnwendungen {

// The flags of the Kazaa family, eMule/eDonkey and WinMX; GetRight is never closed.
void AnwendungenSchließen(bool kazaa, bool eMule, bool winMX);

// Posts WM_QUIT to every top-level window whose title contains Titel in any letter case, except
// this program's own windows and the shell's folder windows (a folder may carry a client's
// name). True when at least one window got it.
bool FensterSchließen(const std::wstring& Titel);

}  // namespace modAnwendungen
