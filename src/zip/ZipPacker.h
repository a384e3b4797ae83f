#pragma once
// Deflates the files of one archive ahead of libzip, on every core: each file is cut into
// pieces that are compressed side by side and joined into one deflate stream per file (each
// piece primed with the 32 KiB before it, ended with a sync flush, the last one ending the
// stream). libzip then writes the finished data as it is, because the source reports the
// method, and size and CRC at its end.
// Per 64 KiB block the setting follows the data: data that no level can shrink (random bytes
// that repeat nothing) goes into deflate's stored blocks, everything else gets the requested
// level; pieces that shrink to almost nothing are packed as one stream by the writer. The
// result stays within a fraction of a percent of one zlib stream at that level. Memory stays
// bounded: only a small window of pieces is in flight.

#include <zip.h>

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace ZipPacker {

// True when all n bytes are zero. Word by word: the runtime's memcmp under Wine goes byte by byte.
bool NurNullen(const unsigned char* daten, size_t n);

// Compressed bytes of one piece. The storage outlives the piece: buffers go round instead of
// being allocated, faulted in and zero-filled for every megabyte.
struct Puffer {
    std::vector<unsigned char> speicher;
    size_t länge = 0;

    unsigned char* Frei(size_t mindestens) {
        if (speicher.size() < länge + mindestens) speicher.resize((länge + mindestens) * 3 / 2);
        return speicher.data() + länge;
    }
};

struct Datei {
    std::wstring pfad;
    uint64_t größe = 0;
    time_t geändert = 0;
};

class Packer {
public:
    // warten runs about every 30 ms while the caller's thread waits for a piece.
    Packer(std::vector<Datei> dateien, int stufe, std::function<void()> warten);
    ~Packer();
    Packer(const Packer&) = delete;
    Packer& operator=(const Packer&) = delete;

    // The libzip source of file i (not empty). Sources must be read in the order of the files.
    zip_source_t* Quelle(size_t datei, zip_error_t* fehler);

    struct Stück {
        size_t datei;
        uint64_t anfang;
        uint32_t länge;
        bool letztes;
    };
    struct Ergebnis {
        Puffer daten;
        // A piece that deflate shrinks to almost nothing comes unpacked instead, with up to
        // 32 KiB before it: the writer packs a run of them as one stream.
        std::vector<unsigned char> roh;
        size_t vorlauf = 0;
        uint32_t crc = 0;
        bool fertig = false;
        bool fehler = false;
        unsigned long systemfehler = 0;  // why the file could not be read
    };

    // The first file whose reading failed, once libzip has asked for it.
    struct Lesefehler {
        std::wstring pfad;
        unsigned long nummer;
    };
    [[nodiscard]] const std::optional<Lesefehler>& Fehlgeschlagen() const { return lesefehler_; }
    void FehlschlagMerken(size_t datei, unsigned long nummer) {
        if (!lesefehler_) lesefehler_ = Lesefehler{dateien_[datei].pfad, nummer};
    }

    // For the sources: waits until piece i is done; the reference stays valid until Freigeben(i).
    const Ergebnis& Warten(size_t stück);
    void Freigeben(size_t stück);
    [[nodiscard]] const Stück& StückVon(size_t i) const { return stücke_[i]; }
    [[nodiscard]] const Datei& DateiVon(size_t i) const { return dateien_[i]; }
    [[nodiscard]] size_t ErstesStück(size_t datei) const { return erstesStück_[datei]; }
    [[nodiscard]] int Stufe() const { return stufe_; }

private:
    void Arbeiten();

    std::vector<Datei> dateien_;
    std::optional<Lesefehler> lesefehler_;
    std::vector<Stück> stücke_;
    std::vector<size_t> erstesStück_;  // per file, plus one past the end
    std::vector<Ergebnis> ergebnisse_;
    std::vector<Puffer> vorrat_;  // buffers of pieces already written
    int stufe_;
    std::function<void()> warten_;

    struct Aufgabe {
        size_t erstes = 0, ende = 0;  // pieces
    };
    std::vector<Aufgabe> aufgaben_;  // what one worker takes at a time
    std::vector<size_t> aufgabeVon_; // per piece

    std::mutex mutex_;
    std::condition_variable arbeit_;  // workers wait for room in the window
    std::condition_variable fertig_;  // the writer waits for a piece
    size_t nächsteAufgabe_ = 0;
    size_t verbraucht_ = 0;  // first bundle the writer is not yet done with
    size_t fenster_ = 0;     // bundles in flight at most
    bool ende_ = false;
    std::vector<std::thread> arbeiter_;
};

}  // namespace ZipPacker
