#pragma once
// A second, independent look at an archive's central directory, for what libzip does not say:
// where each member's bytes lie. Members whose bytes overlap (the "overlapping" bombs that make
// a small file unpack to terabytes) are found by comparing these ranges.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace ZipVerzeichnis {

struct Bereich {
    uint64_t anfang = 0;  // local header
    uint64_t ende = 0;    // end of the compressed data
};

struct Verzeichnis {
    std::vector<Bereich> bereiche;  // in directory order
    uint64_t anfang = 0;            // offset of the central directory
};

// Nothing when the directory cannot be read consistently.
std::optional<Verzeichnis> Lesen(HANDLE archiv);

// Reads exactly anzahl bytes at that offset of the file, without moving its file pointer.
bool LesenAb(HANDLE datei, uint64_t stelle, void* ziel, size_t anzahl);

// True when two members share bytes or a member reaches into the central directory.
bool Überlappen(Verzeichnis verzeichnis);

}  // namespace ZipVerzeichnis
