#pragma once
// The shell's services: special folders, the folder picker, starting programs and documents,
// and the recycle bin.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace modFunktionen {

// The path of a CSIDL_ folder followed by "\" (38: the programs folder), or empty when the
// number names no folder of the file system.
std::wstring SpeziellerOrdner(int nummer);

// Asks the person for a folder through the interaction seam, starting at start (none: the
// desktop). The chosen path followed by one L'\0' (callers strip it with
// NullzeichenEntfernen), or empty when cancelled.
std::wstring OrdnerAuswählen(const std::wstring& text, HWND besitzer, const std::wstring& start = {});

// The real picker behind the interaction seam: only file-system folders can be confirmed.
std::optional<std::wstring> OrdnerdialogZeigen(HWND besitzer, const std::wstring& text, const std::wstring& start);

// Opens a document, folder or address with its default program, or starts a program with
// parameters, in a normal window, without waiting. The shell's code: above 32 is success.
double ProgrammStarten(const std::wstring& datei, const std::wstring& parameter);
// The window that owns what ProgrammStarten opens (messages of the shell); none by default.
void ProgrammStartenBesitzerSetzen(HWND besitzer);

// Moves the files, up to the first one that does not exist, to the recycle bin. Files the shell
// could not handle safely (relative, too long, links) stay where they are; each missing or
// refused file, and each file still there afterwards, gets a log line. The shell's result code,
// 0 when nothing was handed to it.
long DateienInPapierkorb(const std::vector<std::wstring>& dateien);

}  // namespace modFunktionen
