#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace modFunktionen {

// Text operations, no file-system access: only '\' separates folders and nothing is normalised.
std::wstring PfadZurückgeben(const std::wstring& pfad);        // text before the last '\' (without it); empty when no '\'. C:\a\b.txt -> C:\a ; C:\ -> C:
std::wstring DateinameZurückgeben(const std::wstring& pfad);   // text after the last '\'; whole path when no '\'
std::wstring DateiendungZurückgeben(const std::wstring& pfad); // from the last '.' to the end, dot included; empty when no '.' or when a '\' follows the last '.'
std::wstring DateinameOhneEndung(const std::wstring& name);    // name without what DateiendungZurückgeben returns; unchanged when no extension or empty
// The end a sequential name keeps: the extension, with eMule's ".part.met" and ".part.met.bak"
// (any letter case) counted as one, so that "X.part" and "X.part.met" stay a pair.
std::wstring FolgenamenEndung(const std::wstring& name);
// A character no file name may hold: control characters and * ? " < > |. The separators and ':'
// are left to the caller, which may allow a path or must guard against a data stream.
bool ZeichenImNamenUnzulässig(wchar_t zeichen);
// Sequential name number nummer of a file name: "Lied.mp3" -> "Lied-0.mp3", "Lied-1.mp3", ...
// The stem gives way so that the name never grows beyond the 255 characters a file name may have.
std::wstring Folgename(const std::wstring& name, unsigned nummer);
// Win32 buffers come back padded with L'\0'; a text that does not end in one was never such a buffer.
std::wstring NullzeichenEntfernen(const std::wstring& text);   // when the LAST char is L'\0': the text before the FIRST L'\0'; otherwise unchanged
// Ordinal, so the result does not depend on the user's locale; Ä and ä are still equal.
bool TexteGleich(const std::wstring& a, const std::wstring& b); // same length and equal ignoring letter case; two empty texts are equal
// Locale-independent upper-casing for comparing and as a key; one unit in, one unit out, so
// positions found in the result are positions in the original.
std::wstring Großbuchstaben(const std::wstring& text);
// Names that Windows (at least some version of it) resolves in any folder, with any extension and
// trailing blanks, to a device, so that no file can carry them: CON, PRN, AUX, NUL, CONIN$,
// CONOUT$, COM0-9 and LPT0-9 (also with a superscript 1-3), in any letter case.
bool IstGerätename(std::wstring_view name);
// Replaces every occurrence, ignoring letter case (except for the single characters \r, \n,
// \0 and \x01, which are compared exactly). Inserted text is never searched again, so
// replacing "a" by "aa" ends.
std::wstring TextErsetzen(const std::wstring& text, const std::wstring& suche, const std::wstring& ersatz);
// Splits text at trenner from the 1-based startPosition (< 1 fails at once). datensätze always
// holds at least one entry afterwards; a text ending in trenner yields a last empty record.
// True when erwarteteAnzahl < 0 or exactly erwarteteAnzahl (>= 1) records were read.
bool TextDatensätzeLesen(const std::wstring& text, const std::wstring& trenner, long startPosition, long erwarteteAnzahl, std::vector<std::wstring>& datensätze);

// The \\?\ form of the full path (\\?\UNC\ for a network path), which reaches paths of any length and
// which Windows takes literally: no trimming of trailing dots and blanks, no device names. A path
// already in that form stays as it is. Trailing "\" go, except a root's. Empty when pfad has no
// full path or names a device (\\.\).
std::wstring LangerPfad(const std::wstring& pfad);
// What to hand the file API: short paths as they are, so that Windows treats them as the user
// knows (trailing dots and blanks trimmed, device names), longer ones in their LangerPfad form,
// without which Windows cuts them at MAX_PATH (folders at MAX_PATH - 12).
std::wstring FürApi(const std::wstring& pfad);

// File system. Paths longer than MAX_PATH work; a path containing L'\0' or a wildcard names no file.
// True for a file, also a hidden one, never for a folder. "Ordner\nul" (any DOS device name)
// counts as existing exactly when Ordner is an existing folder: that is how folders get tested.
bool DateiExistiert(const std::wstring& pfad);
// The full path of pfad (relative to the current folder); pfad unchanged when it has none.
std::wstring VollständigerPfad(const std::wstring& pfad);
bool OrdnerExistiert(const std::wstring& pfad);
std::optional<std::uint64_t> Dateigröße(const std::wstring& pfad);  // nullopt when it cannot be read; 0 for a folder
bool NameVergeben(const std::wstring& pfad);                         // a file or a folder of that name exists
// The user's temporary folder, without the final backslash; empty when the system names none.
std::wstring TempOrdner();
// Makes darin\Ladewerk-{8 hex digits}, a name that nobody else uses, so that clearing it away
// afterwards can never reach anyone's files and everything in it was put there by this run.
// Nothing when it cannot be made; fehler then holds the system's error number.
std::optional<std::wstring> NeuerOrdner(const std::wstring& darin, unsigned long& fehler);
// Deletes read-only and hidden files too. True when no such file exists afterwards; a file that
// cannot be deleted (e.g. open elsewhere) keeps its content and attributes. A name with wildcards,
// and a link to a file (or a file that cannot be opened to tell), deletes nothing and gives False.
bool DateiLöschen(const std::wstring& pfad);

// Rules that were defined on 8-bit character codes judge a character by its Windows-1252 code.
std::optional<unsigned char> Windows1252Code(wchar_t zeichen);  // nullopt when the character has no Windows-1252 code

}  // namespace modFunktionen
