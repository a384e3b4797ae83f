// The ZIP adapters on real files under Wine, with what peers.py made: what Ladewerk packs comes
// back whole (and goes on to the peers' check); whatever an archive holds, extraction writes only
// safe, complete files into its target folder.
#include "Dateien.h"
#include "Empfang.h"
#include "Protokoll.h"
#include "SkriptBenutzer.h"
#include "TempOrdner.h"
#include "ZipText.h"
#include "modUnzip.h"
#include "modZip.h"

#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

namespace {

// Sets the request as package creation does: bare names, maximum compression.
int32_t Packen(const std::wstring& archiv, const std::vector<std::wstring>& dateien) {
    modZip::zustand = {.Date = {}, .szRootDir = {}, .szTempDir = {}, .fJunkDir = 1, .fLevel = '9', .uZipDatei = archiv,
                       .uAnzahl = static_cast<int32_t>(dateien.size())};
    std::copy(dateien.begin(), dateien.end(), modZip::zustand.uDateien.begin());
    // Slots beyond the count are not part of the archive, whatever they hold.
    modZip::zustand.uDateien[dateien.size()] = archiv + L".fehlt";
    return modZip::ZipErstellen();
}

// Sets the request as package opening does.
int32_t Entpacken(const std::wstring& archiv, const std::wstring& ziel) {
    modUnzip::zustand = {
        .uÜberschreiben = 1, .uZipDatei = archiv, .uZielOrdner = ziel, .uZipAusgabe = {}, .uZipListe = {}};
    modUnzip::ZipEntpacken();
    return modUnzip::zustand.uErgebnis;
}

}  // namespace

// Beyond 4 GiB the archive needs ZIP64 (the peers' check reads it), and memory stays bounded
// however large a member is. Runs first, as the peak is the whole process's.
TEST(Packen, SparseFileBeyondFourGigabytes) {
    ASSERT_EQ(Packen(ZIPDATEN L"ladewerk/gross.zip", {ZIPDATEN L"gross/gross.part"}), 0);
    PROCESS_MEMORY_COUNTERS speicher{};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &speicher, sizeof speicher));
    EXPECT_LE(speicher.PeakWorkingSetSize, 64u << 20);
}

// Files of every kind from two folders, across the packer's 1 MiB boundaries.
TEST(Packen, FilesComeBackWholeUnderTheirBareNames) {
    std::vector<std::wstring> dateien;
    uint64_t summe = 0;
    for (const auto& pfad : Empfang::Baum(ZIPDATEN L"packen"))
        if (!(GetFileAttributesW(pfad.c_str()) & FILE_ATTRIBUTE_DIRECTORY)) {
            dateien.push_back(pfad);
            summe += Inhalt(pfad).size();
        }
    // Both directions show their bytes from the start against the total, then hide the bar.
    Protokoll anzeige;
    const auto zeigteBytes = [&] {
        const auto b = std::exchange(anzeige.bytes, {});
        return b.size() >= 3 && b.front() == std::pair(uint64_t{0}, summe) &&
               b[b.size() - 2] == std::pair(summe, summe) && b.back() == std::pair(uint64_t{0}, uint64_t{0});
    };
    const SkriptBenutzer person;
    const TempOrdner temp;
    const std::wstring aus = temp.Pfad() + L"\\aus";
    ASSERT_EQ(Packen(ZIPDATEN L"ladewerk/packen.zip", dateien), 0);
    EXPECT_TRUE(zeigteBytes());
    ASSERT_EQ(Entpacken(ZIPDATEN L"ladewerk/packen.zip", aus), 0) << modUnzip::zustand.uZipAusgabe;
    EXPECT_TRUE(zeigteBytes());
    EXPECT_EQ(Empfang::Baum(aus).size(), dateien.size());
    for (const auto& pfad : dateien)
        EXPECT_TRUE(Inhalt(aus + pfad.substr(pfad.find_last_of(L"\\"))) == Inhalt(pfad)) << pfad;
}

TEST(Packen, RefusedRequestsLeaveNoArchive) {
    const TempOrdner temp;
    Anlegen(temp.Pfad() + L"\\b", FILE_ATTRIBUTE_DIRECTORY);
    const std::wstring a = temp.Datei(L"x.dat"), b = temp.Datei(L"b\\X.DAT"), archiv = temp.Pfad() + L"\\paket.lwx";
    const std::pair<std::vector<std::wstring>, int32_t> fälle[] = {
        {{a, b}, modZip::ZE_PARMS}, {{a, temp.Pfad() + L"\\fehlt.dat"}, modZip::ZE_OPEN}, {{}, modZip::ZE_NONE}};
    const Protokoll protokoll;
    for (const auto& [dateien, ergebnis] : fälle) {
        EXPECT_EQ(Packen(archiv, dateien), ergebnis);
        EXPECT_FALSE(Existiert(archiv)) << ergebnis;
    }
    EXPECT_EQ(protokoll.Zeilen().size(), 2u);  // the first two name the files
}

// Each archive of peers.py says where its members land.
TEST(Entpacken, NothingLandsOutsideAndNothingHalfWritten) {
    const struct {
        std::wstring archiv;
        int32_t ergebnis = 0;
        const wchar_t* passwort = nullptr;  // typed when asked; empty declines
    } fälle[] = {
        {ZIPDATEN L"infozip.zip"}, {ZIPDATEN L"oem-cp850.zip"}, {ZIPDATEN L"gleichnamig.zip"},
        {ZIPDATEN L"namen.zip", modUnzip::PK_WARN}, {ZIPDATEN L"crc.zip", modUnzip::PK_ERR},
        {ZIPDATEN L"ueberlappt.zip", modUnzip::PK_BADERR}, {ZIPDATEN L"viele.zip", modUnzip::PK_BADERR},
        {ZIPDATEN L"riesig.zip", modUnzip::PK_DISK}, {ZIPDATEN L"luege.zip", modUnzip::PK_BADERR},
        {ZIPDATEN L"abgeschnitten.zip", modUnzip::PK_NOZIP}, {ZIPDATEN L"keinzip.zip", modUnzip::PK_NOZIP},
        {ZIPDATEN L"fehlt.zip", modUnzip::PK_NOZIP}, {ZIPDATEN L"infozip-passwort.zip", 0, L"geheim"},
        // Declining the password for the first member ends all questions.
        {ZIPDATEN L"abgelehnt.zip", modUnzip::IZ_BADPWD, L""},
    };
    for (const auto& fall : fälle) {
        SCOPED_TRACE(testing::PrintToString(fall.archiv));
        SkriptBenutzer person;
        if (fall.passwort) person.Tippe(fall.passwort);
        person.Antworte(IDOK);
        const TempOrdner temp;
        const std::wstring ziel = temp.Pfad() + L"\\Temp";
        std::map<std::wstring, std::string> soll, ist;
        EXPECT_EQ(Entpacken(fall.archiv, ziel), fall.ergebnis) << modUnzip::zustand.uZipAusgabe;
        // Beside the archive, "stored<TAB>landed" for each member that lands, holding its landed name.
        // One that did not land as stored has a line naming both names.
        std::istringstream zeilen(Lesen(fall.archiv + L".soll").value_or(""));
        int32_t anzahl = 0;
        for (std::string gespeichert, gelandet;
             std::getline(zeilen, gespeichert, '\t') && std::getline(zeilen, gelandet); ++anzahl) {
            soll[L"Temp\\" + ZipText::AusCodepage(gelandet, CP_UTF8)] = gelandet;
            const std::string zeile = "'" + gespeichert + "' wurde als '" + gelandet + "'";
            EXPECT_EQ(modUnzip::zustand.uZipAusgabe.find(ZipText::AusCodepage(zeile, CP_UTF8)) != std::wstring::npos,
                      gespeichert != gelandet) << zeile;
        }
        for (const auto& pfad : Empfang::Baum(temp.Pfad()))
            if (pfad != ziel) ist[pfad.substr(temp.Pfad().size() + 1)] = Inhalt(pfad);
        EXPECT_EQ(ist, soll) << modUnzip::zustand.uZipAusgabe;
        EXPECT_EQ(modUnzip::zustand.uZipAnzahl, anzahl);
        // The result shows as a bare number, after the password questions.
        const auto& fragen = person.Fragen();
        EXPECT_EQ(fragen.size(), (fall.passwort ? 1u : 0u) + (fall.ergebnis ? 1u : 0u));
        EXPECT_EQ(fragen.empty() ? L"" : fragen.back().meldung.text,
                  fall.ergebnis ? std::to_wstring(fall.ergebnis) : L"");
    }
}

// A size of more than seven digits widens its column instead of losing digits.
TEST(Entpacken, ListingKeepsEveryDigit) {
    EXPECT_EQ(modUnzip::Listenzeile(L"Film.part", 209715200, 3, 7, 2026, 9, 5),
              L"Film.part" + std::wstring(41, L' ') + L"209715200  03/07/26   9:05" + std::wstring(6, L' '));
}
