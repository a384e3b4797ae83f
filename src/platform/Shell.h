#pragma once
// The shell's services: special folders, the folder picker, starting programs and documents,
// and the recycle bin.

#include <windows.h>

#include <string>

namespace modFunktionen {

// The path of a CSIDL_ folder followed by "\" (38: the programs folder), or empty when the
// number names no folder of the file system.
std::wstring SpeziellerOrdner(int nummer);

}  // namespace modFunktionen
