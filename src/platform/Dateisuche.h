#pragma once
// Listing the files of a folder tree into the program-wide result list, and emptying a folder.

#include <string>
#include <vector>

namespace modFunktionen {

// The program-wide result list, in the order the entries were added.
const std::vector<std::wstring>& Suchergebnisse();
// zurücksetzen 1 empties the list and ignores eintrag; any other value appends eintrag.
bool SuchergebnisHinzufügen(const std::wstring& eintrag, int zurücksetzen);

// Appends ordner & name for every file in ordner whose name ends with one of endungen (letter
// case ignored; no endings, or an empty first one, take every file). With rekursiv 1 the
// subfolders follow, depth first, after the folder's own files; folder links are not entered.
// Appends "\" to ordner when missing. Never empties the list. True also for a missing folder;
// False only when the search could not run to its end.
bool DateienSuchenAPI(std::wstring& ordner, const std::vector<std::wstring>& endungen, int rekursiv);

// With dateienLöschen, deletes the files directly in ordner (read-only ones too, links never),
// then removes ordner if it is empty. Subfolders stay, and with them ordner. An empty, relative
// or root path, or a folder that is a link, is logged and left alone. Always True.
bool OrdnerLöschen(const std::wstring& ordner, bool dateienLöschen);

// True when the file is a link (or cannot be opened to tell). A file reached through linked
// folders is no link.
bool DateiIstVerknüpfung(const std::wstring& pfad);

// "X:\..." or "\\server\share...".
bool PfadIstAbsolut(const std::wstring& pfad);

}  // namespace modFunktionen
