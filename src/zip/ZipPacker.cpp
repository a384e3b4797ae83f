#include "ZipPacker.h"

#include "Fortschritt.h"
#include "Handles.h"

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ZipPacker {
namespace {

constexpr uint32_t kStück = 1u << 20;
constexpr size_t kBlock = 64u << 10;
constexpr size_t kWörterbuch = 32u << 10;

bool Null(const unsigned char* p, size_t n) { return NurNullen(p, n); }

// Order-0 entropy in bits per byte. Compressed media sits at 7.99 and above, where deflate at
// any level saves next to nothing; storing costs a tenth of the time.
double Entropie(const unsigned char* p, size_t n) {
    uint32_t häufigkeit[256] = {};
    for (size_t i = 0; i < n; ++i) ++häufigkeit[p[i]];
    double summe = 0;
    for (const uint32_t h : häufigkeit)
        if (h) summe -= h * std::log2(static_cast<double>(h) / static_cast<double>(n));
    return summe / static_cast<double>(n);
}

struct Einstellung {
    int stufe;
    int strategie;
    bool operator==(const Einstellung&) const = default;
};

Einstellung Wählen(const unsigned char* p, size_t n, int stufe) {
    const double bits = Entropie(p, n);
    if (bits > 7.99) return {0, Z_DEFAULT_STRATEGY};
    if (bits > 7.9) return {std::min(stufe, 1), Z_DEFAULT_STRATEGY};
    return {stufe, Z_DEFAULT_STRATEGY};
}

// Zeros, deflated once by a fresh stream and ended with a sync flush: such a run refers to
// nothing before it and ends on a byte boundary, so its bytes fit anywhere into a stream.
// Zero-filled parts of downloads then cost a copy instead of a deflate pass.
struct Nullen {
    std::vector<unsigned char> daten;
    uint32_t crc = 0;
};

Nullen NullenKomprimieren(size_t länge) {
    const std::vector<unsigned char> null(länge, 0);
    Nullen ergebnis;
    ergebnis.crc = static_cast<uint32_t>(crc32(0, null.data(), static_cast<uInt>(länge)));
    z_stream strom{};
    deflateInit2(&strom, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    ergebnis.daten.resize(deflateBound(&strom, länge) + 16);
    strom.next_in = const_cast<unsigned char*>(null.data());
    strom.avail_in = static_cast<uInt>(länge);
    strom.next_out = ergebnis.daten.data();
    strom.avail_out = static_cast<uInt>(ergebnis.daten.size());
    deflate(&strom, Z_SYNC_FLUSH);
    ergebnis.daten.resize(ergebnis.daten.size() - strom.avail_out);
    deflateEnd(&strom);
    return ergebnis;
}

const Nullen& NullenVon(size_t länge) {
    static const Nullen stück = NullenKomprimieren(kStück), block = NullenKomprimieren(kBlock);
    return länge == kStück ? stück : block;
}

// The empty final block (fixed codes, end of block only) that closes a file's stream.
constexpr unsigned char kSchluss[] = {0x03, 0x00};

// One worker's reusable state: the open file, the buffers and the deflate stream.
class Werkbank {
public:
    Werkbank() { deflateInit2(&strom_, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY); }
    ~Werkbank() { deflateEnd(&strom_); }
    Werkbank(const Werkbank&) = delete;
    Werkbank& operator=(const Werkbank&) = delete;

    bool Komprimieren(const Datei& datei, size_t index, const Packer::Stück& stück, int stufe, Packer::Ergebnis& ergebnis) {
        if (index != dateiIndex_ || !datei_) {
            datei_ = Handles::Datei(CreateFileW(datei.pfad.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            dateiIndex_ = index;
        }
        vorlauf_ = static_cast<size_t>(std::min<uint64_t>(stück.anfang, kWörterbuch));
        eingabe_.resize(vorlauf_ + stück.länge);
        if (!datei_ || !Lesen(stück.anfang - vorlauf_, eingabe_.data(), eingabe_.size())) return false;

        auto& aus = ergebnis.daten;
        aus.länge = 0;
        uint32_t crc = 0;
        for (size_t anfang = 0; anfang < stück.länge;) {
            const bool null = Null(Daten(anfang), BlockLänge(anfang, stück.länge));
            size_t ende = anfang;
            while (ende < stück.länge && Null(Daten(ende), BlockLänge(ende, stück.länge)) == null) ende += BlockLänge(ende, stück.länge);
            const size_t länge = ende - anfang;
            if (null && (länge == kStück || länge % kBlock == 0)) {
                const Nullen& nullen = NullenVon(länge == kStück ? kStück : kBlock);
                for (size_t i = 0; i < (länge == kStück ? 1 : länge / kBlock); ++i) {
                    Anhängen(aus, nullen.daten.data(), nullen.daten.size());
                    crc = static_cast<uint32_t>(crc32_combine(crc, nullen.crc, länge == kStück ? kStück : kBlock));
                }
            } else {
                crc = static_cast<uint32_t>(crc32_combine(crc, crc32(0, Daten(anfang), static_cast<uInt>(länge)), länge));
                if (!Lauf(anfang, ende, null ? 1 : stufe, aus)) return false;
            }
            anfang = ende;
        }
        if (stück.letztes) Anhängen(aus, kSchluss, sizeof kSchluss);
        ergebnis.crc = crc;
        return true;
    }

private:
    [[nodiscard]] const unsigned char* Daten(size_t stelle) const { return eingabe_.data() + vorlauf_ + stelle; }
    static size_t BlockLänge(size_t stelle, size_t länge) { return std::min(kBlock, länge - stelle); }

    // Deflates the bytes [anfang, ende) of the piece as non-final blocks that end on a byte
    // boundary, primed with up to 32 KiB that precede them.
    bool Lauf(size_t anfang, size_t ende, int stufe, Puffer& aus) {
        deflateReset(&strom_);
        const size_t wörterbuch = std::min(kWörterbuch, vorlauf_ + anfang);
        if (wörterbuch) deflateSetDictionary(&strom_, Daten(anfang) - wörterbuch, static_cast<uInt>(wörterbuch));
        Einstellung jetzt{-1, -1};
        for (size_t block = anfang; block < ende; block += kBlock) {
            const size_t n = std::min(kBlock, ende - block);
            const Einstellung gewählt = Wählen(Daten(block), n, stufe);
            if (!(gewählt == jetzt)) {
                // A change the stream cannot take here keeps the old level: slower, never wrong.
                Platz(aus, 4096);
                deflateParams(&strom_, gewählt.stufe, gewählt.strategie);
                Merken(aus);
                jetzt = gewählt;
            }
            strom_.next_in = const_cast<unsigned char*>(Daten(block));
            strom_.avail_in = static_cast<uInt>(n);
            if (!Deflate(aus, Z_NO_FLUSH, n)) return false;
        }
        return Deflate(aus, Z_SYNC_FLUSH, 0);
    }

    // Runs deflate until it has taken all input, growing the output as needed.
    bool Deflate(Puffer& aus, int flush, size_t eingabe) {
        for (;;) {
            Platz(aus, deflateBound(&strom_, eingabe) + 4096);
            const int ergebnis = deflate(&strom_, flush);
            Merken(aus);
            if (ergebnis != Z_OK && ergebnis != Z_BUF_ERROR) return false;
            if (strom_.avail_in == 0 && strom_.avail_out > 0) return true;
        }
    }

    // Makes room behind the bytes written so far and points the stream at it.
    void Platz(Puffer& aus, size_t mindestens) {
        strom_.next_out = aus.Frei(mindestens);
        strom_.avail_out = static_cast<uInt>(mindestens);
        gegeben_ = mindestens;
    }

    void Merken(Puffer& aus) const { aus.länge += gegeben_ - strom_.avail_out; }

    static void Anhängen(Puffer& aus, const unsigned char* daten, size_t n) {
        std::memcpy(aus.Frei(n), daten, n);
        aus.länge += n;
    }

    bool Lesen(uint64_t stelle, unsigned char* ziel, size_t anzahl) {
        OVERLAPPED lage{};
        lage.Offset = static_cast<DWORD>(stelle);
        lage.OffsetHigh = static_cast<DWORD>(stelle >> 32);
        DWORD gelesen = 0;
        return ReadFile(datei_.Get(), ziel, static_cast<DWORD>(anzahl), &gelesen, &lage) && gelesen == anzahl;
    }

    z_stream strom_{};
    Handles::Datei datei_;
    size_t dateiIndex_ = SIZE_MAX;
    std::vector<unsigned char> eingabe_;
    size_t vorlauf_ = 0;
    size_t gegeben_ = 0;  // output room handed to the stream by the last Platz
};

// The libzip side of one file: hands out the finished pieces in order and knows the file's CRC
// once the last piece has been read.
struct Quelle {
    Packer* packer;
    size_t datei;
    size_t stück = 0;
    size_t stelle = 0;
    uint32_t crc = 0;
    bool ganz = false;
    zip_error_t fehler{};

    zip_int64_t Lesen(unsigned char* ziel, zip_uint64_t länge) {
        const size_t ende = packer->ErstesStück(datei + 1);
        while (stück < ende) {
            const auto& ergebnis = packer->Warten(stück);
            if (ergebnis.fehler) {
                zip_error_set(&fehler, ZIP_ER_READ, 0);
                return -1;
            }
            const size_t n = std::min<size_t>(static_cast<size_t>(länge), ergebnis.daten.länge - stelle);
            std::memcpy(ziel, ergebnis.daten.speicher.data() + stelle, n);
            stelle += n;
            if (stelle == ergebnis.daten.länge) {
                crc = static_cast<uint32_t>(crc32_combine(crc, ergebnis.crc, packer->StückVon(stück).länge));
                packer->Freigeben(stück);
                ++stück;
                stelle = 0;
                ganz = stück == ende;
            }
            if (n > 0) return static_cast<zip_int64_t>(n);
        }
        return 0;
    }

    static zip_int64_t Rückruf(void* zustand, void* daten, zip_uint64_t länge, zip_source_cmd_t befehl) {
        auto* quelle = static_cast<Quelle*>(zustand);
        switch (befehl) {
        case ZIP_SOURCE_OPEN:
            if (quelle->stück != quelle->packer->ErstesStück(quelle->datei)) {
                zip_error_set(&quelle->fehler, ZIP_ER_INTERNAL, 0);  // pieces are gone once read
                return -1;
            }
            return 0;
        case ZIP_SOURCE_READ:
            return quelle->Lesen(static_cast<unsigned char*>(daten), länge);
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* stat = static_cast<zip_stat_t*>(daten);
            zip_stat_init(stat);
            const Datei& datei = quelle->packer->DateiVon(quelle->datei);
            stat->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_MTIME;
            stat->size = datei.größe;
            stat->comp_method = ZIP_CM_DEFLATE;
            stat->mtime = datei.geändert;
            if (quelle->ganz) {
                stat->valid |= ZIP_STAT_CRC;
                stat->crc = quelle->crc;
            }
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&quelle->fehler, daten, länge);
        case ZIP_SOURCE_FREE:
            zip_error_fini(&quelle->fehler);
            delete quelle;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            zip_error_set(&quelle->fehler, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }
};

}  // namespace

bool NurNullen(const unsigned char* daten, size_t n) {
    size_t i = 0;
    for (; i + 4096 <= n; i += 4096) {
        uint64_t oder = 0;
        for (size_t j = 0; j < 4096; j += 8) {
            uint64_t wort;
            std::memcpy(&wort, daten + i + j, 8);
            oder |= wort;
        }
        if (oder) return false;
    }
    for (; i < n; ++i)
        if (daten[i]) return false;
    return true;
}

Packer::Packer(std::vector<Datei> dateien, int stufe, std::function<void()> warten)
    : dateien_(std::move(dateien)), stufe_(stufe), warten_(std::move(warten)) {
    for (size_t i = 0; i < dateien_.size(); ++i) {
        erstesStück_.push_back(stücke_.size());
        const uint64_t größe = dateien_[i].größe;
        for (uint64_t anfang = 0; anfang < größe || anfang == 0; anfang += kStück) {
            const auto länge = static_cast<uint32_t>(std::min<uint64_t>(kStück, größe - anfang));
            stücke_.push_back({i, anfang, länge, anfang + länge >= größe});
            if (länge == 0) break;
        }
    }
    erstesStück_.push_back(stücke_.size());
    // Small files go to the workers in bundles of up to a megabyte: each handover between
    // threads costs a round trip through the Wine server.
    for (size_t i = 0; i < stücke_.size();) {
        size_t ende = i + 1;
        for (uint64_t summe = stücke_[i].länge; ende < stücke_.size() && ende - i < 64 && summe + stücke_[ende].länge <= kStück;
             ++ende)
            summe += stücke_[ende].länge;
        for (size_t j = i; j < ende; ++j) aufgabeVon_.push_back(aufgaben_.size());
        aufgaben_.push_back({i, ende});
        i = ende;
    }
    ergebnisse_.resize(stücke_.size());
    const unsigned kerne = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    fenster_ = 3 * kerne + 2;
    for (unsigned i = 0; i < kerne; ++i) arbeiter_.emplace_back([this] { Arbeiten(); });
}

Packer::~Packer() {
    {
        std::lock_guard sperre(mutex_);
        ende_ = true;
    }
    arbeit_.notify_all();
    for (auto& arbeiter : arbeiter_) arbeiter.join();
}

void Packer::Arbeiten() {
    Werkbank werkbank;
    std::vector<Ergebnis> fertige;
    for (;;) {
        Aufgabe aufgabe;
        fertige.clear();
        {
            std::unique_lock sperre(mutex_);
            arbeit_.wait(sperre, [&] {
                return ende_ || (nächsteAufgabe_ < aufgaben_.size() && nächsteAufgabe_ < verbraucht_ + fenster_);
            });
            if (ende_) return;
            aufgabe = aufgaben_[nächsteAufgabe_++];
            fertige.resize(aufgabe.ende - aufgabe.erstes);
            for (auto& ergebnis : fertige) {
                if (vorrat_.empty()) break;
                ergebnis.daten = std::move(vorrat_.back());
                vorrat_.pop_back();
            }
        }
        for (size_t i = aufgabe.erstes; i < aufgabe.ende; ++i) {
            const Stück& stück = stücke_[i];
            auto& ergebnis = fertige[i - aufgabe.erstes];
            ergebnis.fehler = !werkbank.Komprimieren(dateien_[stück.datei], stück.datei, stück, stufe_, ergebnis);
            ergebnis.fertig = true;
        }
        {
            std::lock_guard sperre(mutex_);
            for (size_t i = aufgabe.erstes; i < aufgabe.ende; ++i) ergebnisse_[i] = std::move(fertige[i - aufgabe.erstes]);
        }
        fertig_.notify_one();
    }
}

const Packer::Ergebnis& Packer::Warten(size_t stück) {
    std::unique_lock sperre(mutex_);
    while (!ergebnisse_[stück].fertig) {
        if (fertig_.wait_for(sperre, std::chrono::milliseconds(30)) == std::cv_status::timeout && warten_) {
            sperre.unlock();
            warten_();
            sperre.lock();
        }
    }
    return ergebnisse_[stück];
}

void Packer::Freigeben(size_t stück) {
    bool weiter = false;
    {
        std::lock_guard sperre(mutex_);
        vorrat_.push_back(std::move(ergebnisse_[stück].daten));
        ergebnisse_[stück].daten = {};
        const size_t aufgabe = stück + 1 < stücke_.size() ? aufgabeVon_[stück + 1] : aufgaben_.size();
        weiter = aufgabe != verbraucht_;
        verbraucht_ = aufgabe;
    }
    if (weiter) arbeit_.notify_all();
    modFortschritt::BytesErledigt(stücke_[stück].länge);
}

zip_source_t* Packer::Quelle(size_t datei, zip_error_t* fehler) {
    auto* quelle = new ZipPacker::Quelle{this, datei, erstesStück_[datei]};
    zip_source_t* ergebnis = zip_source_function_create(&ZipPacker::Quelle::Rückruf, quelle, fehler);
    if (!ergebnis) delete quelle;
    return ergebnis;
}

}  // namespace ZipPacker
