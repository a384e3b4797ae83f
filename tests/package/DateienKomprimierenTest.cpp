#include "Dateien.h"
#include "Handles.h"
#include "Laufwerk.h"
#include "PaketTestHilfen.h"
#include "Programm.h"
#include "Protokoll.h"
#include "Systemfehler.h"
#include "TempOrdner.h"
#include "modKompressionErstellen.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

namespace {

using modKompression::DateienKomprimieren;

struct ZeichenTabelle : ::testing::Test {
    void SetUp() override { Programm::UngültigeZeichen = {L"]", L"["}; }
};

using DateinamenPruefen = ZeichenTabelle;
using Komprimieren = ZeichenTabelle;

const std::wstring kEnde = L"Kompression und Verarbeitung beendet";

// The options file of a run lies in a folder of its own, as the save command arranges it.
std::vector<std::wstring> MitOptionen(const TempOrdner& ordner, std::vector<std::wstring> dateien) {
    CreateDirectoryW((ordner.Pfad() + L"\\lauf").c_str(), nullptr);
    dateien.push_back(ordner.Pfad() + L"\\lauf\\optionen.opt");
    return dateien;
}

std::string Zufall(size_t länge) {
    std::string daten(länge, '\0');
    unsigned saat = 7;
    for (char& byte : daten) {
        saat = saat * 1103515245u + 12345u;
        byte = static_cast<char>(saat >> 23);
    }
    return daten;
}

std::wstring Starte(size_t bytes) {
    return L"Starte Kompression, Größe der Dateien ist vorher " + std::to_wstring(bytes) + L" Bytes";
}

}  // namespace

TEST_F(DateinamenPruefen, ReplacesBothBracketsInTheWholePathOrGivesEmpty) {
    const struct {
        std::wstring pfad, soll;
    } fälle[] = {
        {L"C:\\Dl\\[x]y.dat", L"C:\\Dl\\_x_y.dat"},
        {L"C:\\[dl]\\a]].met", L"C:\\_dl_\\a__.met"},
        {L"C:\\Dl\\a[1.part", L"C:\\Dl\\a_1.part"},
        {L"C:\\Dl\\film.dat", L""},
        {L"", L""},
    };
    for (const auto& [pfad, soll] : fälle) EXPECT_EQ(modKompression::DateinamenPrüfen(pfad), soll) << pfad;
}

TEST(Ersparnis, TruncatedPercentageNeverNegativeAndRightBeyond4GiB) {
    constexpr std::uint64_t GiB = 1ull << 30;
    const struct {
        std::uint64_t vorher, nachher;
        int soll;
    } fälle[] = {
        {1000, 955, 5},  {1000, 999, 1},         {1000, 1000, 0},         {1000, 1500, 0},
        {1000, 0, 100},  {0, 22, 0},             {6 * GiB, 3 * GiB, 50},  {10'000'000'000ull, 9'899'999'999ull, 2},
        {5 * GiB, 1, 100},
    };
    for (const auto& [vorher, nachher, soll] : fälle)
        EXPECT_EQ(modKompression::ErsparnisProzent(vorher, nachher), soll) << vorher << " -> " << nachher;
}

// The files are only read: held open by another program that lets no one rename them, they
// still go into the package, and nothing appears beside them.
TEST_F(Komprimieren, BracketNamesAreCleanedInThePackageOnly) {
    Protokoll anzeige(false);
    TempOrdner ordner;
    CreateDirectoryW((ordner.Pfad() + L"\\[dl]").c_str(), nullptr);
    const std::wstring klammer = ordner.Datei(L"[x]y.dat", std::string(3000, 'a'));
    const std::wstring imOrdner = ordner.Datei(L"[dl]\\a.met", "eMule");
    const std::wstring schlicht = ordner.Datei(L"Lied.part", std::string(2000, 'b'));
    const std::wstring paket = ordner.Pfad() + L"\\Downloads.lwx";
    std::vector<Handles::Datei> offen;
    for (const std::wstring& pfad : {klammer, imOrdner})
        offen.emplace_back(CreateFileW(pfad.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));

    EXPECT_TRUE(DateienKomprimieren(MitOptionen(ordner, {klammer, imOrdner, schlicht}), paket, 0, 0));
    offen.clear();

    ASSERT_EQ(anzeige.Zeilen().size(), 5u) << ::testing::PrintToString(anzeige.Zeilen());
    EXPECT_EQ(anzeige.Zeilen()[0], L"Bereite Kompression vor...");
    EXPECT_EQ(anzeige.Zeilen()[1], Starte(5005));
    EXPECT_EQ(anzeige.Zeilen()[2], L"Speichere Optionen");
    const std::wstring größe = std::to_wstring(Inhalt(paket).size());
    EXPECT_EQ(anzeige.Zeilen()[3], L"Kompression beendet, Größe der Datei ist " + größe + L" Bytes (" +
                                     std::to_wstring(modKompression::ErsparnisProzent(5005, std::stoull(größe))) +
                                     L" % Ersparnis)");
    EXPECT_EQ(anzeige.Zeilen()[4], kEnde);

    EXPECT_EQ(Inhaltsliste(ordner.Pfad()), L"Downloads.lwx Lied.part [dl] [x]y.dat lauf");
    EXPECT_EQ(Inhaltsliste(ordner.Pfad() + L"\\[dl]"), L"a.met");

    const auto prüfung = PaketPrüfen(paket);
    ASSERT_TRUE(prüfung);
    EXPECT_EQ(prüfung->unzipCode, 0);
    EXPECT_TRUE(prüfung->alleDeflate);
    EXPECT_EQ(prüfung->namen, (std::vector<std::wstring>{L"_x_y.dat", L"a.met", L"Lied.part", L"optionen.opt"}));
    EXPECT_EQ(prüfung->optionen, "Version=1.10\r\n");
}

TEST_F(Komprimieren, CapacityIs2500FilesBesideTheOptionsFile) {
    TempOrdner ordner;
    for (const size_t anzahl : {2500u, 2501u}) {
        Protokoll anzeige(false);
        std::vector<std::wstring> dateien;
        for (size_t i = 0; i < anzahl; ++i) dateien.push_back(ordner.Pfad() + L"\\fehlt" + std::to_wstring(i) + L".dat");
        DateienKomprimieren(MitOptionen(ordner, dateien), ordner.Pfad() + L"\\p.lwx", 1, 0);
        const std::vector<std::wstring> soll =
            anzahl == 2500 ? std::vector<std::wstring>{L"Bereite Kompression vor...",
                                                       L"Fehler - Datei '" + dateien[0] + L"' existiert nicht", kEnde}
                           : std::vector<std::wstring>{L"Fehler - Sie haben zu viele Dateien gewählt: Die maximale "
                                                       L"Kapazität dieser Software beträgt 2500",
                                                       kEnde};
        EXPECT_EQ(anzeige.Zeilen(), soll) << anzahl;
    }
}

// Every failure leaves the files as they were: nothing deleted, and an older package of that
// name stays whole. The run reports it as a failure, so nothing gets mailed.
TEST_F(Komprimieren, FailuresLeaveTheFilesAndTheOldPackageWhole) {
    TempOrdner ordner;
    const Laufwerk klein{L'T', 2};
    ASSERT_TRUE(klein.Bereit()) << klein.Fehler();
    CreateDirectoryW((ordner.Pfad() + L"\\b").c_str(), nullptr);
    const std::wstring erste = ordner.Datei(L"[1].dat", "eins");
    const std::wstring fehlt = ordner.Pfad() + L"\\fehlt.dat";
    const std::wstring dritte = ordner.Datei(L"[3].met", "drei");
    const std::wstring gleich = ordner.Datei(L"b\\_1_.dat", "anderer Ordner");
    const std::wstring groß = ordner.Datei(L"gross.part", Zufall(3 << 20));
    const std::wstring paket = ordner.Datei(L"alt.lwx", "altes Paket");
    const std::wstring vollesPaket = klein.Wurzel() + L"\\alt.lwx";
    const std::wstring optionen = MitOptionen(ordner, {}).back();
    const std::string altesPaket = Zufall(1 << 20);
    Schreiben(vollesPaket, altesPaket);

    const struct {
        std::vector<std::wstring> liste;
        std::wstring paket, gesperrt;
        std::vector<std::wstring> fehler;
    } fälle[] = {
        {{erste, fehlt, dritte}, paket, L"", {L"Fehler - Datei '" + fehlt + L"' existiert nicht"}},
        {{erste, gleich}, paket, L"",
         {L"Fehler - Die Dateien '" + erste + L"' und '" + gleich + L"' hätten in der Datei denselben Namen '_1_.dat'"}},
        {{erste, ordner.Pfad() + L"\\b\\..\\alt.lwx"}, paket, L"",
         {L"Fehler - Die Datei '" + paket + L"' ist selbst in der Liste und kann nicht durch die neue Datei ersetzt werden"}},
        {{erste, dritte}, paket, dritte,
         {L"Fehler - Datei '" + dritte + L"' kann nicht gelesen werden (" + Systemfehler::Text(ERROR_SHARING_VIOLATION) +
              L" (Fehler 32))",
          L"Fehler - Ein Fehler trat beim Komprimieren auf (Fehler 18)"}},
        {{erste, groß}, vollesPaket, L"", {L"Fehler - Ein Fehler trat beim Komprimieren auf (Fehler 14)"}},
    };
    for (const auto& [liste, ziel, gesperrt, fehler] : fälle) {
        Protokoll anzeige(false);
        std::vector<std::wstring> mitOptionen = liste;
        mitOptionen.push_back(optionen);
        {
            // Another program holding the file open and sharing it with no one.
            const Handles::Datei sperre(
                gesperrt.empty() ? INVALID_HANDLE_VALUE
                                 : CreateFileW(gesperrt.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            EXPECT_FALSE(DateienKomprimieren(mitOptionen, ziel, 1, 0)) << fehler[0];
        }
        std::vector<std::wstring> soll = fehler;
        soll.push_back(kEnde);
        const auto& zeilen = anzeige.Zeilen();
        EXPECT_TRUE(zeilen.size() >= soll.size() && std::equal(soll.begin(), soll.end(), zeilen.end() - soll.size()))
            << ::testing::PrintToString(zeilen);
        EXPECT_EQ(Lesen(erste), "eins");
        EXPECT_EQ(Lesen(dritte), "drei");
        EXPECT_EQ(Lesen(gleich), "anderer Ordner");
        EXPECT_EQ(Lesen(paket), "altes Paket");
        EXPECT_TRUE(Lesen(vollesPaket) == altesPaket);
        EXPECT_EQ(Inhaltsliste(klein.Wurzel()), L"alt.lwx");
        EXPECT_TRUE(ImPapierkorb().empty());
    }
}

TEST_F(Komprimieren, ExistingPackageIsReplacedAndDeleteFlagSendsTheListedFilesToTheTrash) {
    Protokoll anzeige(false);
    TempOrdner ordner;
    const std::wstring klammer = ordner.Datei(L"[k].dat", std::string(4000, 'k'));
    const std::wstring leer = ordner.Datei(L"leer.grx", "");
    const std::wstring paket = ordner.Datei(L"Downloads.lwx", "kein ZIP, sondern ein altes Paket");
    const std::vector<std::wstring> dateien = MitOptionen(ordner, {klammer, leer});

    EXPECT_TRUE(DateienKomprimieren(dateien, paket, 1, 0));

    ASSERT_EQ(anzeige.Zeilen().size(), 6u) << ::testing::PrintToString(anzeige.Zeilen());
    EXPECT_EQ(anzeige.Zeilen()[1], Starte(4000));
    EXPECT_EQ(anzeige.Zeilen()[4], L"Quelldateien löschen...");
    EXPECT_EQ(anzeige.Zeilen()[5], kEnde);
    const auto prüfung = PaketPrüfen(paket);
    ASSERT_TRUE(prüfung);
    EXPECT_EQ(prüfung->namen, (std::vector<std::wstring>{L"_k_.dat", L"leer.grx", L"optionen.opt"}));
    for (const std::wstring& pfad : {klammer, leer}) EXPECT_FALSE(Existiert(pfad)) << pfad;
    auto papierkorb = ImPapierkorb();
    std::sort(papierkorb.begin(), papierkorb.end());
    EXPECT_EQ(papierkorb, (std::vector<std::wstring>{L"[k].dat", L"leer.grx"}));
}
