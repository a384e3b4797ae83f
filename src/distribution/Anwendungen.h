#pragma once
// Tells running file-sharing clients to quit before their job files are moved, by posting
// WM_QUIT to their top-level windows. Nothing waits for them to end.

#include <string>
#include <vector>

namespace modAnwendungen {

// The flags of the Kazaa family, eMule/eDonkey and WinMX; GetRight is never closed.
void AnwendungenSchließen(bool kazaa, bool eMule, bool winMX);

// Posts WM_QUIT to every top-level window whose title contains Titel in any letter case and
// whose process runs one of Programme (program file names, any letter case): an editor or a
// browser showing a client's name (or a folder window showing a folder of that name) would quit
// without asking about unsaved work. This program's own windows never get it. True when at least
// one window got it.
bool FensterSchließen(const std::wstring& Titel, const std::vector<std::wstring>& Programme);

}  // namespace modAnwendungen
