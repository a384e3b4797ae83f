#pragma once
// Writes a package: the named files into one ZIP archive. Package creation fills the module
// state and calls ZipErstellen once per package.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace modZip {

// The name table has room for 2501 files; package creation checks that limit before it calls.
inline constexpr size_t kNamenTabelle = 2501;

// Result codes, the numbers package creation reports in its error line.
enum Ergebniscode : int32_t {
    ZE_OK = 0,
    ZE_MEM = 4,     // out of memory
    ZE_LOGIC = 5,   // the ZIP library failed in a way no input explains
    ZE_NONE = 12,   // nothing to pack
    ZE_WRITE = 14,  // the archive could not be written (disk full, ...)
    ZE_CREAT = 15,  // the archive could not be created
    ZE_PARMS = 16,  // options or names the writer cannot honour (two files of one name, ...)
    ZE_OPEN = 18,   // a named file could not be opened or read
};

struct Zustand {
    // Option values as package creation sets them. Texts and flags other than these stay empty or
    // 0; the writer refuses what it does not do rather than ignore it.
    std::wstring Date, szRootDir, szTempDir;
    int16_t fJunkDir = 0;  // 1: every file under its bare name; 0: its path without the drive
    int16_t fEncrypt = 0, fRecurse = 0, fUpdate = 0, fFreshen = 0, fComment = 0;
    int16_t fLevel = 0;  // character code '0' (store) to '9' (maximum compression)

    std::wstring uZipDatei;                                    // archive path
    int32_t uAnzahl = 0;                                       // slots of uDateien in use
    std::vector<std::wstring> uDateien = std::vector<std::wstring>(kNamenTabelle);  // full paths
    // The name slot i is stored under, when it differs from what fJunkDir makes of its path.
    std::vector<std::wstring> uNamen = std::vector<std::wstring>(kNamenTabelle);
};

extern Zustand zustand;
void Zurücksetzen();

// Packs slots 0 .. uAnzahl-1 of uDateien into uZipDatei. 0 when the archive was written, else a
// Ergebniscode; a failed run leaves no archive behind (an archive of that name from before stays).
int32_t ZipErstellen();

// The first two of the names that would land on one file when unpacked on Windows, where names
// that differ only in letter case are one name; nothing when all differ.
std::optional<std::pair<size_t, size_t>> GleicheNamen(const std::vector<std::wstring>& namen);

}  // namespace modZip
