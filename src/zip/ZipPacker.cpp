#include "ZipPacker.h"

#include "Fortschritt.h"
#include "Handles.h"
#include "ZipVerzeichnis.h"

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

// Order-0 entropy in bits per byte. Compressed media sits at 7.99 and above.
double Entropie(const unsigned char* p, size_t n) {
    uint32_t häufigkeit[256] = {};
    for (size_t i = 0; i < n; ++i) ++häufigkeit[p[i]];
    double summe = 0;
    for (const uint32_t h : häufigkeit)
        if (h) summe -= h * std::log2(static_cast<double>(h) / static_cast<double>(n));
    return summe / static_cast<double>(n);
}

// Repeats within deflate's 32 KiB reach, per 64 KiB block of one piece, searched on first
// demand. Bytes 0-255 over and over look random to the entropy; deflate, though, shrinks them
// to a fraction. Every position goes into the table and every fourth is looked up, so a repeat
// of seven bytes or more is seen.
class Wiederholungen {
public:
    // The piece is länge bytes at anfang + davor; the davor bytes before it count as history.
    void Neu(const unsigned char* anfang, size_t davor, size_t länge) {
        anfang_ = anfang;
        davor_ = davor;
        länge_ = länge;
        gesucht_ = false;
    }

    // Whether more than a thousandth of block's n bytes repeat something.
    bool Viele(size_t block, size_t n) {
        if (!gesucht_) Suchen();
        return size_t{jeBlock_[block]} * 1000 > n;
    }

private:
    struct Fundstelle {
        uint32_t stelle;  // position + 1; 0 for none
        uint32_t wort;
    };
    static constexpr unsigned kBits = 14;
    static uint32_t Schlüssel(uint32_t wort) { return (wort * 2654435761u) >> (32 - kBits); }

    void Suchen() {
        gesucht_ = true;
        tabelle_.assign(size_t{1} << kBits, Fundstelle{0, 0});
        jeBlock_.assign((länge_ + kBlock - 1) / kBlock, 0);
        const size_t ende = davor_ + länge_;
        for (size_t i = 0; i + 12 <= ende;) {
            uint64_t acht;
            std::memcpy(&acht, anfang_ + i, 8);
            for (uint32_t k = 0; k < 4; ++k) {
                const auto wort = static_cast<uint32_t>(acht >> (8 * k));
                tabelle_[Schlüssel(wort)] = {static_cast<uint32_t>(i + k + 1), wort};
            }
            i += 4;
            uint32_t wort;
            std::memcpy(&wort, anfang_ + i, 4);
            const Fundstelle früher = tabelle_[Schlüssel(wort)];
            if (früher.stelle == 0 || früher.wort != wort || i + 1 - früher.stelle > kWörterbuch) continue;
            size_t länge = 4;
            while (i + länge < ende && länge < 258 && anfang_[früher.stelle - 1 + länge] == anfang_[i + länge]) ++länge;
            if (i >= davor_) jeBlock_[(i - davor_) / kBlock] += static_cast<uint32_t>(länge);
            i += länge & ~size_t{3};
        }
    }

    const unsigned char* anfang_ = nullptr;
    size_t davor_ = 0, länge_ = 0;
    bool gesucht_ = false;
    std::vector<Fundstelle> tabelle_;
    std::vector<uint32_t> jeBlock_;
};

struct Einstellung {
    int stufe;
    int strategie;
    bool operator==(const Einstellung&) const = default;
};

// Deflate at the requested level, except where it cannot shrink the data: then its stored
// blocks, a tenth of the time.
Einstellung Wählen(const unsigned char* p, size_t n, int stufe, Wiederholungen& wiederholungen, size_t block) {
    if (Entropie(p, n) > 7.99 && !wiederholungen.Viele(block, n)) return {0, Z_DEFAULT_STRATEGY};
    return {stufe, Z_DEFAULT_STRATEGY};
}

// A raw deflate stream writing into a growing buffer.
class Strom {
public:
    // zlib's own memory level: a larger one makes other blocks, some of them bigger.
    Strom() { deflateInit2(&strom_, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY); }
    ~Strom() { deflateEnd(&strom_); }
    Strom(const Strom&) = delete;
    Strom& operator=(const Strom&) = delete;

    // Starts anew, primed with the bytes that precede the next input.
    void Neu(const unsigned char* vorher, size_t länge) {
        deflateReset(&strom_);
        if (länge) deflateSetDictionary(&strom_, vorher, static_cast<uInt>(länge));
    }

    // A change the stream cannot take here keeps the old setting: slower, never wrong.
    void Einstellen(Puffer& aus, const Einstellung& einstellung) {
        Platz(aus, 4096);
        deflateParams(&strom_, einstellung.stufe, einstellung.strategie);
        Merken(aus);
    }

    // Runs deflate until it has taken all n bytes at p, growing the output as needed.
    bool Deflate(Puffer& aus, const unsigned char* p, size_t n, int flush) {
        strom_.next_in = const_cast<unsigned char*>(p);
        strom_.avail_in = static_cast<uInt>(n);
        for (;;) {
            Platz(aus, deflateBound(&strom_, n) + 4096);
            const int ergebnis = deflate(&strom_, flush);
            Merken(aus);
            if (ergebnis == Z_STREAM_END) return true;
            if (ergebnis != Z_OK && ergebnis != Z_BUF_ERROR) return false;
            if (flush != Z_FINISH && strom_.avail_in == 0 && strom_.avail_out > 0) return true;
        }
    }

private:
    // Makes room behind the bytes written so far and points the stream at it.
    void Platz(Puffer& aus, size_t mindestens) {
        strom_.next_out = aus.Frei(mindestens);
        strom_.avail_out = static_cast<uInt>(mindestens);
        gegeben_ = mindestens;
    }

    void Merken(Puffer& aus) const { aus.länge += gegeben_ - strom_.avail_out; }

    z_stream strom_{};
    size_t gegeben_ = 0;  // output room handed to the stream by the last Platz
};

void Anhängen(Puffer& aus, const unsigned char* daten, size_t n) {
    std::memcpy(aus.Frei(n), daten, n);
    aus.länge += n;
}

// A piece that shrinks to less than this much deflate goes to the writer unpacked: between
// pieces a stream pays a block header and a flush, which on so few bytes is more than half a
// percent; the writer packs a run of such pieces as one stream.
constexpr size_t kKnapp = 64u << 10;

// One worker's reusable state: the open file, the buffers and the deflate stream.
class Werkbank {
public:
    bool Komprimieren(const Datei& datei, size_t index, const Packer::Stück& stück, int stufe, Packer::Ergebnis& ergebnis) {
        if (index != dateiIndex_ || !datei_) {
            datei_ = Handles::Datei(CreateFileW(datei.pfad.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            dateiIndex_ = index;
        }
        vorlauf_ = static_cast<size_t>(std::min<uint64_t>(stück.anfang, kWörterbuch));
        eingabe_.resize(vorlauf_ + stück.länge);
        if (!datei_ || !Lesen(stück.anfang - vorlauf_, eingabe_.data(), eingabe_.size())) return false;
        ergebnis.crc = static_cast<uint32_t>(crc32(0, Daten(0), stück.länge));

        auto& aus = ergebnis.daten;
        aus.länge = 0;
        const bool einzeln = stück.anfang == 0 && stück.letztes;
        if ((einzeln || !NurNullen(Daten(0), stück.länge)) && !Packen(stück, stufe, aus, true)) return false;
        if (aus.länge < kKnapp) {
            // Each change of setting ends a block, which so few bytes feel; one setting
            // throughout is what zlib itself does.
            aus.länge = 0;
            if (!einzeln) {
                ergebnis.roh.assign(eingabe_.begin(), eingabe_.end());
                ergebnis.vorlauf = vorlauf_;
                return true;
            }
            if (!Packen(stück, stufe, aus, false)) return false;
        }
        return true;
    }

private:
    [[nodiscard]] const unsigned char* Daten(size_t stelle) const { return eingabe_.data() + vorlauf_ + stelle; }

    // Deflates the piece primed with up to 32 KiB that precede it, as blocks that end on a
    // byte boundary or, for the file's last piece, end the stream; with wählen each 64 KiB
    // block at the setting its bytes call for.
    bool Packen(const Packer::Stück& stück, int stufe, Puffer& aus, bool wählen) {
        const size_t länge = stück.länge;
        strom_.Neu(eingabe_.data(), vorlauf_);
        wiederholungen_.Neu(eingabe_.data(), vorlauf_, länge);
        Einstellung jetzt{-1, -1};
        for (size_t block = 0; block < länge; block += kBlock) {
            const size_t n = std::min(kBlock, länge - block);
            const Einstellung gewählt = wählen ? Wählen(Daten(block), n, stufe, wiederholungen_, block / kBlock)
                                               : Einstellung{stufe, Z_DEFAULT_STRATEGY};
            if (!(gewählt == jetzt)) {
                strom_.Einstellen(aus, gewählt);
                jetzt = gewählt;
            }
            if (!strom_.Deflate(aus, Daten(block), n, Z_NO_FLUSH)) return false;
        }
        return strom_.Deflate(aus, nullptr, 0, stück.letztes ? Z_FINISH : Z_SYNC_FLUSH);
    }

    bool Lesen(uint64_t stelle, unsigned char* ziel, size_t anzahl) {
        return ZipVerzeichnis::LesenAb(datei_.Get(), stelle, ziel, anzahl);
    }

    Strom strom_;
    Wiederholungen wiederholungen_;
    Handles::Datei datei_;
    size_t dateiIndex_ = SIZE_MAX;
    std::vector<unsigned char> eingabe_;
    size_t vorlauf_ = 0;
};

// The libzip side of one file: hands out the finished pieces in order, packs runs of pieces
// that came unpacked as one stream, and knows the file's CRC once the last piece has been read.
struct Quelle {
    Packer* packer;
    size_t datei;
    size_t stück = 0;
    uint32_t crc = 0;
    bool ganz = false;
    zip_error_t fehler{};
    Puffer aus;  // what is ready for libzip, from stelle on
    size_t stelle = 0;
    std::unique_ptr<Strom> strom;  // packs the unpacked pieces
    bool läuft = false;
    Einstellung einstellung{-1, -1};

    zip_int64_t Lesen(unsigned char* ziel, zip_uint64_t länge) {
        const size_t ende = packer->ErstesStück(datei + 1);
        while (stelle == aus.länge && stück < ende) {
            aus.länge = stelle = 0;
            const auto& ergebnis = packer->Warten(stück);
            const Packer::Stück& teil = packer->StückVon(stück);
            if (ergebnis.fehler) packer->FehlschlagMerken(datei, ergebnis.systemfehler);
            if (ergebnis.fehler || !Übernehmen(ergebnis, teil)) {
                zip_error_set(&fehler, ZIP_ER_READ, 0);
                return -1;
            }
            crc = static_cast<uint32_t>(crc32_combine(crc, ergebnis.crc, teil.länge));
            packer->Freigeben(stück);
            ++stück;
            ganz = stück == ende;
        }
        const size_t n = std::min<size_t>(static_cast<size_t>(länge), aus.länge - stelle);
        std::memcpy(ziel, aus.speicher.data() + stelle, n);
        stelle += n;
        return static_cast<zip_int64_t>(n);
    }

    bool Übernehmen(const Packer::Ergebnis& ergebnis, const Packer::Stück& teil) {
        if (ergebnis.roh.empty()) {
            if (läuft && !Abschließen(Z_SYNC_FLUSH)) return false;
            Anhängen(aus, ergebnis.daten.speicher.data(), ergebnis.daten.länge);
            return true;
        }
        if (!strom) strom = std::make_unique<Strom>();
        if (!läuft) {
            strom->Neu(ergebnis.roh.data(), ergebnis.vorlauf);
            einstellung = {-1, -1};
        }
        läuft = true;
        // Zeros take the run-length matcher, which finds what the full search finds there,
        // twice as fast; once other bytes came, a change back would cost a block.
        const unsigned char* daten = ergebnis.roh.data() + ergebnis.vorlauf;
        const bool nullen = einstellung.strategie != Z_DEFAULT_STRATEGY && NurNullen(daten, teil.länge);
        const Einstellung gewählt{packer->Stufe(), nullen ? Z_RLE : Z_DEFAULT_STRATEGY};
        if (!(gewählt == einstellung)) {
            strom->Einstellen(aus, gewählt);
            einstellung = gewählt;
        }
        if (!strom->Deflate(aus, daten, teil.länge, Z_NO_FLUSH)) return false;
        return !teil.letztes || Abschließen(Z_FINISH);
    }

    bool Abschließen(int flush) {
        läuft = false;
        return strom->Deflate(aus, nullptr, 0, flush);
    }

    static zip_int64_t Rückruf(void* zustand, void* daten, zip_uint64_t länge, zip_source_cmd_t befehl) {
        auto* quelle = static_cast<Quelle*>(zustand);
        switch (befehl) {
        case ZIP_SOURCE_OPEN:
            if (quelle->stück != quelle->packer->ErstesStück(quelle->datei) || quelle->aus.länge != 0) {
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
            if (ergebnis.fehler) ergebnis.systemfehler = GetLastError();
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
        std::vector<unsigned char>().swap(ergebnisse_[stück].roh);  // "= {}" would keep the megabyte
        const size_t aufgabe = stück + 1 < stücke_.size() ? aufgabeVon_[stück + 1] : aufgaben_.size();
        weiter = aufgabe != verbraucht_;
        verbraucht_ = aufgabe;
    }
    if (weiter) arbeit_.notify_all();
    modFortschritt::BytesErledigt(stücke_[stück].länge);
}

zip_source_t* Packer::Quelle(size_t datei, zip_error_t* fehler) {
    auto* quelle = new ZipPacker::Quelle{this, datei, erstesStück_[datei], 0, false, {}, {}, 0, nullptr, false, {-1, -1}};
    zip_source_t* ergebnis = zip_source_function_create(&ZipPacker::Quelle::Rückruf, quelle, fehler);
    if (!ergebnis) delete quelle;
    return ergebnis;
}

}  // namespace ZipPacker
