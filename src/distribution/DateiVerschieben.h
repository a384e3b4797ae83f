#pragma once
// Moves or copies one file to a target path: creates missing folders, cleans the target name,
// and resolves a name that exists already by asking the user or by replacing. A target file is
// never left half-written and never replaced before its replacement is complete beside it.

#include <string>

namespace modVerschieben {

// intÜberschreiben: what happens when the target exists.
enum : int { ÜberschreibenFragen = 0, ÜberschreibenErsetzen = 2 };
// intVerschieben: 1 moves (the source goes), anything else copies.
enum : int { Verschieben = 1, Kopieren = 0 };

// Ziel receives the path actually used (cleaned name, sequential name after "Umbenennen").
// The answer "Ersetzen" on a target that differs from Quelle only by letter case sets
// intVerschieben to 1. strFehlermeldung is emptied and receives the reason of a failure;
// "Überspringen" fails without a reason.
bool DateiVerschieben(const std::wstring& Quelle, std::wstring& Ziel, int& intVerschieben,
                      std::wstring& strFehlermeldung, int intÜberschreiben);

// First free path "folder of Pfad\" + Vorsatz + number + Nachsatz + extension of Pfad, counting
// up from Zähler; the empty text after 10,000 taken names or when Zähler is not a number.
// eMule's ".part.met" and ".part.met.bak" count as one extension (modFunktionen::FolgenamenEndung).
std::wstring FortlaufendenDateinamen(const std::wstring& Pfad, const std::wstring& Vorsatz,
                                     const std::wstring& Zähler, const std::wstring& Nachsatz);

// The name "Umbenennen" gives: the first free "Stamm-0", "Stamm-1", ... beside Ziel, keeping
// its extension; the empty text when none is free.
std::wstring FreierName(const std::wstring& Ziel);

// True when both paths name one existing file or folder, however spelled (letter case, short
// names, a second drive letter on the same folder); false when the file system cannot tell.
bool GleicheDatei(const std::wstring& a, const std::wstring& b);

// The file's length in bytes; grouped by thousands with the user's separator when Formatiert.
// The empty text when the file cannot be read.
std::wstring DateigrößeText(const std::wstring& Pfad, bool Formatiert);

// Name without the characters a Windows file name may not hold (control characters and
// \ / : * ? " < > |; with PfadErlaubt the separators \ / and : stay); the empty text for a name
// with a doubled separator or, without PfadErlaubt, one ending in a separator.
std::wstring DateinamenBereinigen(const std::wstring& Name, bool PfadErlaubt);

// The whole number in text plus one; the empty text when text is no whole number.
std::wstring ZahlTextErhöhen(const std::wstring& text);

}  // namespace modVerschieben
