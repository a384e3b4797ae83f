#include "ZipVerzeichnis.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace ZipVerzeichnis {
namespace {

// A directory larger than this is refused rather than read into memory.
constexpr uint64_t kGrößtesVerzeichnis = 64ull << 20;

uint64_t Zahl(const unsigned char* p, int bytes) {
    uint64_t wert = 0;
    for (int i = bytes - 1; i >= 0; --i) wert = (wert << 8) | p[i];
    return wert;
}

bool Signatur(const unsigned char* p, unsigned char a, unsigned char b) {
    return p[0] == 'P' && p[1] == 'K' && p[2] == a && p[3] == b;
}

struct Ende {
    uint64_t einträge = 0, größe = 0, anfang = 0;
};

std::optional<Ende> EndeLesen(HANDLE datei, uint64_t dateigröße) {
    const uint64_t schwanz = std::min<uint64_t>(dateigröße, 22 + 65535 + 20);
    std::string puffer(static_cast<size_t>(schwanz), '\0');
    if (schwanz < 22 || !LesenAb(datei, dateigröße - schwanz, puffer.data(), puffer.size())) return std::nullopt;
    const auto* p = reinterpret_cast<const unsigned char*>(puffer.data());
    for (size_t i = puffer.size() - 22 + 1; i-- > 0;) {
        if (!Signatur(p + i, 5, 6) || i + 22 + Zahl(p + i + 20, 2) > puffer.size()) continue;
        Ende ende{Zahl(p + i + 10, 2), Zahl(p + i + 12, 4), Zahl(p + i + 16, 4)};
        if (i >= 20 && Signatur(p + i - 20, 6, 7)) {
            unsigned char satz[56];
            if (!LesenAb(datei, Zahl(p + i - 20 + 8, 8), satz, sizeof satz) || !Signatur(satz, 6, 6)) return std::nullopt;
            ende = {Zahl(satz + 32, 8), Zahl(satz + 40, 8), Zahl(satz + 48, 8)};
        }
        return ende;
    }
    return std::nullopt;
}

// The ZIP64 extra field holds only the values whose 32-bit fields are all ones, in this order.
void Zip64Werte(const unsigned char* extra, size_t länge, uint64_t& unkomprimiert, uint64_t& komprimiert, uint64_t& versatz) {
    for (size_t i = 0; i + 4 <= länge;) {
        const auto kennung = Zahl(extra + i, 2);
        const auto größe = static_cast<size_t>(Zahl(extra + i + 2, 2));
        if (i + 4 + größe > länge) return;
        if (kennung == 1) {
            size_t stelle = i + 4;
            for (uint64_t* wert : {&unkomprimiert, &komprimiert, &versatz}) {
                if (*wert != 0xFFFFFFFFu) continue;
                if (stelle + 8 > i + 4 + größe) return;
                *wert = Zahl(extra + stelle, 8);
                stelle += 8;
            }
            return;
        }
        i += 4 + größe;
    }
}

}  // namespace

bool LesenAb(HANDLE datei, uint64_t stelle, void* ziel, size_t anzahl) {
    OVERLAPPED lage{};
    lage.Offset = static_cast<DWORD>(stelle);
    lage.OffsetHigh = static_cast<DWORD>(stelle >> 32);
    DWORD gelesen = 0;
    return ReadFile(datei, ziel, static_cast<DWORD>(anzahl), &gelesen, &lage) && gelesen == anzahl;
}

std::optional<Verzeichnis> Lesen(HANDLE datei) {
    LARGE_INTEGER größe{};
    if (!GetFileSizeEx(datei, &größe)) return std::nullopt;
    const auto dateigröße = static_cast<uint64_t>(größe.QuadPart);
    const auto ende = EndeLesen(datei, dateigröße);
    if (!ende || ende->größe > kGrößtesVerzeichnis || ende->anfang + ende->größe > dateigröße) return std::nullopt;

    std::string puffer(static_cast<size_t>(ende->größe), '\0');
    if (!LesenAb(datei, ende->anfang, puffer.data(), puffer.size())) return std::nullopt;
    const auto* p = reinterpret_cast<const unsigned char*>(puffer.data());
    Verzeichnis verzeichnis;
    verzeichnis.anfang = ende->anfang;
    size_t i = 0;
    for (uint64_t n = 0; n < ende->einträge; ++n) {
        if (i + 46 > puffer.size() || !Signatur(p + i, 1, 2)) return std::nullopt;
        uint64_t komprimiert = Zahl(p + i + 20, 4), unkomprimiert = Zahl(p + i + 24, 4), versatz = Zahl(p + i + 42, 4);
        const size_t name = Zahl(p + i + 28, 2), extra = Zahl(p + i + 30, 2), kommentar = Zahl(p + i + 32, 2);
        if (i + 46 + name + extra + kommentar > puffer.size()) return std::nullopt;
        Zip64Werte(p + i + 46 + name, extra, unkomprimiert, komprimiert, versatz);
        unsigned char lokal[30];
        if (versatz > dateigröße || !LesenAb(datei, versatz, lokal, sizeof lokal) || !Signatur(lokal, 3, 4))
            return std::nullopt;
        const uint64_t daten = versatz + 30 + Zahl(lokal + 26, 2) + Zahl(lokal + 28, 2);
        if (komprimiert > dateigröße) return std::nullopt;
        verzeichnis.bereiche.push_back({versatz, daten + komprimiert});
        i += 46 + name + extra + kommentar;
    }
    return verzeichnis;
}

bool Überlappen(Verzeichnis verzeichnis) {
    auto& bereiche = verzeichnis.bereiche;
    std::sort(bereiche.begin(), bereiche.end(), [](const Bereich& a, const Bereich& b) { return a.anfang < b.anfang; });
    for (size_t i = 0; i < bereiche.size(); ++i) {
        const uint64_t grenze = i + 1 < bereiche.size() ? bereiche[i + 1].anfang : verzeichnis.anfang;
        if (bereiche[i].ende > grenze) return true;
    }
    return false;
}

}  // namespace ZipVerzeichnis
