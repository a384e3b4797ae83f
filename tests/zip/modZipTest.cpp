#include "Fortschritt.h"
#include "Dateien.h"
#include "Handles.h"
#include "Protokoll.h"
#include "SkriptBenutzer.h"
#include "TempOrdner.h"
#include "ZipTestHilfen.h"
#include "modUnzip.h"
#include "modZip.h"

#include <windows.h>
#include <psapi.h>
#include <zip.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

std::string Zufall(size_t länge, unsigned saat) {
    std::string daten(länge, '\0');
    for (auto& byte : daten) {
        saat = saat * 1103515245u + 12345u;
        byte = static_cast<char>(saat >> 23);
    }
    return daten;
}

std::string Text(size_t länge) {
    std::string text;
    for (unsigned i = 0; text.size() < länge; ++i) text += "Datei-" + std::to_string(i * 7919 % 10007) + ".part;";
    text.resize(länge);
    return text;
}

// What zlib makes of the bytes at level 9, as a raw deflate stream.
size_t ZlibStufeNeun(const std::string& daten) {
    z_stream strom{};
    deflateInit2(&strom, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::vector<unsigned char> aus(deflateBound(&strom, daten.size()));
    strom.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(daten.data()));
    strom.avail_in = static_cast<uInt>(daten.size());
    strom.next_out = aus.data();
    strom.avail_out = static_cast<uInt>(aus.size());
    deflate(&strom, Z_FINISH);
    const size_t länge = aus.size() - strom.avail_out;
    deflateEnd(&strom);
    return länge;
}

// Sets the request as package creation does: bare names, maximum compression.
int32_t Packen(const std::wstring& archiv, const std::vector<std::wstring>& dateien) {
    auto& z = modZip::zustand;
    z.fJunkDir = 1;
    z.fLevel = '9';
    z.uZipDatei = archiv;
    z.uAnzahl = static_cast<int32_t>(dateien.size());
    std::copy(dateien.begin(), dateien.end(), z.uDateien.begin());
    return modZip::ZipErstellen();
}

std::string Utf8Zeilen(const std::vector<std::wstring>& namen) {
    std::string text;
    for (const auto& name : namen) {
        std::string zeile(WideCharToMultiByte(CP_UTF8, 0, name.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
        WideCharToMultiByte(CP_UTF8, 0, name.c_str(), -1, zeile.data(), static_cast<int>(zeile.size()), nullptr, nullptr);
        zeile.back() = '\n';
        text += zeile;
    }
    return text;
}

}  // namespace

// The archive goes on to the check by Info-ZIP unzip and python's zipfile (pruefen.py).
TEST(modZipPacken, FilesFromSeveralFoldersRoundTripUnderTheirBareNames) {
    modZip::Zurücksetzen();
    modUnzip::Zurücksetzen();
    const TempOrdner temp;
    CreateDirectoryW((temp.Pfad() + L"\\eins").c_str(), nullptr);
    CreateDirectoryW((temp.Pfad() + L"\\zwei").c_str(), nullptr);
    const std::map<std::wstring, std::string> dateien = {
        // Pieces of every kind, across the packer's 1 MiB boundaries.
        {L"eins\\Größe Übung.dat", Zufall(1500000, 1) + std::string(1100000, '\0') + Text(900000) + Zufall(5000, 2)},
        {L"eins\\日本語 ünïcödé.met", "Liste\r\n" + std::string(2000, 'x')},
        {L"zwei\\Ελληνικά Жж.part", std::string(3 << 20, '\0')},
        {L"zwei\\GROSS klein.TXT", ""},
        {L"zwei\\optionen.opt", "Version=1.10\r\n"},
    };
    std::vector<std::wstring> pfade, namen;
    for (const auto& [pfad, inhalt] : dateien) {
        Schreiben(temp.Pfad() + L"\\" + pfad, inhalt);
        pfade.push_back(temp.Pfad() + L"\\" + pfad);
        namen.push_back(pfad.substr(5));
    }
    // Slots beyond the count are not part of the archive, whatever they hold.
    modZip::zustand.uDateien[pfade.size()] = temp.Pfad() + L"\\gibt-es-nicht.dat";
    const std::wstring archiv = temp.Pfad() + L"\\paket.lwx";
    // Both directions show their bytes from the start against the total, then hide the bar.
    Protokoll anzeige;
    uint64_t summe = 0;
    for (const auto& datei : dateien) summe += datei.second.size();
    auto zeigteBytes = [&] {
        const auto& b = anzeige.bytes;
        const bool ok = b.size() >= 3 && b.front() == std::pair(uint64_t{0}, summe) &&
                        b[b.size() - 2] == std::pair(summe, summe) && b.back() == std::pair(uint64_t{0}, uint64_t{0});
        anzeige.bytes.clear();
        return ok;
    };
    ASSERT_EQ(Packen(archiv, pfade), 0);
    EXPECT_TRUE(zeigteBytes());

    SkriptBenutzer person;
    ASSERT_EQ(Entpacken(archiv, temp.Pfad() + L"\\aus"), 0) << modUnzip::zustand.uZipAusgabe;
    EXPECT_TRUE(zeigteBytes());
    std::map<std::wstring, std::string> soll;
    for (const auto& [pfad, inhalt] : dateien) soll[pfad.substr(5)] = inhalt;
    EXPECT_EQ(Ordnerinhalt(temp.Pfad() + L"\\aus"), soll);

    ASSERT_TRUE(CopyFileW(archiv.c_str(), (PrüfOrdner() + L"\\namen.zip").c_str(), FALSE));
    Schreiben(PrüfOrdner() + L"\\namen.zip.namen", Utf8Zeilen(namen));
}

// Maximum compression means what zlib makes at level 9 from the same bytes, give or take half a
// percent, whatever the bytes look like.
TEST(modZipPacken, EveryEntryIsWithinHalfAPercentOfZlibLevelNine) {
    modZip::Zurücksetzen();
    const TempOrdner temp;
    std::string zyklus;
    for (int i = 0; i < 20; ++i)
        for (int b = 0; b < 256; ++b) zyklus += static_cast<char>(b);
    const std::string muster = Zufall(20000, 4);
    std::string wiederholt;
    while (wiederholt.size() < (3u << 20)) wiederholt += muster;
    std::string langerZyklus;
    while (langerZyklus.size() < (3u << 20)) langerZyklus += zyklus;
    const struct {
        const wchar_t* name;
        std::string inhalt;
    } formen[] = {
        {L"zyklus und zufall.part", zyklus + Zufall(3000, 3)},
        {L"zufall.avi", Zufall(3 << 20, 5)},
        {L"nullen.part", std::string((3 << 20) + 17, '\0')},
        {L"fast leer.part", std::string(900000, '\0') + Text(100)},
        {L"langer zyklus.part", langerZyklus},
        {L"wiederholter zufall.part", wiederholt},
        {L"text.lst", Text((2 << 20) + 500000)},
        {L"teilweise.part", Zufall(1500000, 6) + std::string(1100000, '\0') + Text(900000) + Zufall(5000, 7)},
    };
    std::vector<std::wstring> pfade, namen;
    for (const auto& [name, inhalt] : formen) {
        pfade.push_back(temp.Pfad() + L"\\" + name);
        namen.push_back(name);
        Schreiben(pfade.back(), inhalt);
    }
    const std::wstring archiv = temp.Pfad() + L"\\formen.lwx";
    ASSERT_EQ(Packen(archiv, pfade), 0);

    zip_error_t fehler;
    zip_error_init(&fehler);
    zip_source_t* quelle = zip_source_win32w_create(archiv.c_str(), 0, -1, &fehler);
    zip_t* zip = quelle ? zip_open_from_source(quelle, ZIP_RDONLY, &fehler) : nullptr;
    ASSERT_TRUE(zip) << zip_error_strerror(&fehler);
    for (size_t i = 0; i < std::size(formen); ++i) {
        zip_stat_t stat;
        ASSERT_EQ(zip_stat_index(zip, i, 0, &stat), 0);
        const size_t zlib = ZlibStufeNeun(formen[i].inhalt);
        EXPECT_LE(static_cast<double>(stat.comp_size), 1.005 * static_cast<double>(zlib))
            << ::testing::PrintToString(namen[i]) << ": " << stat.comp_size << " gegen " << zlib;
    }
    zip_close(zip);
    ASSERT_TRUE(CopyFileW(archiv.c_str(), (PrüfOrdner() + L"\\formen.zip").c_str(), FALSE));
    Schreiben(PrüfOrdner() + L"\\formen.zip.namen", Utf8Zeilen(namen));
}

TEST(modZipPacken, RefusedRequestsLeaveNoArchive) {
    struct Fall {
        const wchar_t* was;
        std::vector<std::wstring> dateien;
        int32_t ergebnis;
    };
    const TempOrdner temp;
    CreateDirectoryW((temp.Pfad() + L"\\b").c_str(), nullptr);
    const std::wstring a = temp.Datei(L"x.dat", "a"), b = temp.Datei(L"b\\X.DAT", "b");
    const Fall fälle[] = {
        {L"one name twice, differing in case", {a, b}, modZip::ZE_PARMS},
        {L"a missing file", {a, temp.Pfad() + L"\\fehlt.dat"}, modZip::ZE_OPEN},
        {L"nothing to pack", {}, modZip::ZE_NONE},
    };
    Protokoll protokoll;
    for (const auto& fall : fälle) {
        modZip::Zurücksetzen();
        const std::wstring archiv = temp.Pfad() + L"\\paket.lwx";
        EXPECT_EQ(Packen(archiv, fall.dateien), fall.ergebnis) << fall.was;
        EXPECT_EQ(GetFileAttributesW(archiv.c_str()), INVALID_FILE_ATTRIBUTES) << fall.was;
    }
    modFortschritt::AnzeigeSetzen(nullptr);
    EXPECT_EQ(protokoll.Zeilen().size(), 2u);
}

// Beyond 4 GiB the archive needs ZIP64; memory stays bounded however large the member is.
TEST(ZipGross, SparseFileBeyondFourGigabytesPacksAndUnpacks) {
    modZip::Zurücksetzen();
    modUnzip::Zurücksetzen();
    const TempOrdner temp;
    const std::wstring quelle = temp.Pfad() + L"\\gross.part";
    const uint64_t größe = (4ull << 30) + (3u << 20) + 17;
    const std::vector<std::pair<uint64_t, std::string>> marken = {
        {0, "Anfang"}, {(4ull << 30) + 5, Zufall(200000, 7)}, {größe - 3, "End"}};
    {
        Schreiben(quelle, "");
        const Handles::Datei datei(CreateFileW(quelle.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        for (const auto& [stelle, text] : marken) {
            LARGE_INTEGER lage{};
            lage.QuadPart = static_cast<LONGLONG>(stelle);
            DWORD geschrieben = 0;
            ASSERT_TRUE(SetFilePointerEx(datei.Get(), lage, nullptr, FILE_BEGIN) &&
                        WriteFile(datei.Get(), text.data(), static_cast<DWORD>(text.size()), &geschrieben, nullptr));
        }
    }
    const std::wstring archiv = temp.Pfad() + L"\\gross.lwx";
    ASSERT_EQ(Packen(archiv, {quelle}), 0);
    SkriptBenutzer person;
    const std::wstring ziel = temp.Pfad() + L"\\aus";
    ASSERT_EQ(Entpacken(archiv, ziel), 0) << modUnzip::zustand.uZipAusgabe;

    const Handles::Datei datei(CreateFileW((ziel + L"\\gross.part").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER länge{};
    ASSERT_TRUE(GetFileSizeEx(datei.Get(), &länge));
    EXPECT_EQ(static_cast<uint64_t>(länge.QuadPart), größe);
    for (const auto& [stelle, text] : marken) {
        LARGE_INTEGER lage{};
        lage.QuadPart = static_cast<LONGLONG>(stelle);
        std::string gelesen(text.size(), '\0');
        DWORD anzahl = 0;
        ASSERT_TRUE(SetFilePointerEx(datei.Get(), lage, nullptr, FILE_BEGIN) &&
                    ReadFile(datei.Get(), gelesen.data(), static_cast<DWORD>(gelesen.size()), &anzahl, nullptr));
        EXPECT_TRUE(gelesen == text) << stelle;
    }
    PROCESS_MEMORY_COUNTERS speicher{};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &speicher, sizeof speicher));
    EXPECT_LE(speicher.PeakWorkingSetSize, 64u << 20);
    ASSERT_TRUE(CopyFileW(archiv.c_str(), (PrüfOrdner() + L"\\gross.zip").c_str(), FALSE));
}
