#include "PaketTestHilfen.h"
#include "Programm.h"
#include "Protokoll.h"
#include "TempOrdner.h"
#include "modKompression.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

namespace {

using modKompression::DateienKomprimieren;
using modKompression::Familie;

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

TEST(Familien, ExactExtensionDecidesWhichClientIsClosed) {
    const struct {
        std::wstring endung;
        Familie soll;
    } fälle[] = {
        {L".dat", Familie::Kazaa}, {L".DAT", Familie::WinMX}, {L".lst", Familie::Keine},  {L".grx", Familie::Keine},
        {L".urls", Familie::Keine}, {L".met", Familie::EMule}, {L".part", Familie::EMule}, {L".Part", Familie::WinMX},
        {L"", Familie::WinMX},      {L".txt", Familie::WinMX},
    };
    for (const auto& [endung, soll] : fälle) EXPECT_EQ(modKompression::FamilieZurückgeben(endung), soll) << endung;
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

TEST_F(Komprimieren, RenamesBracketsForThePackageAndBackAfterwards) {
    Protokoll anzeige(false);
    TempOrdner ordner;
    CreateDirectoryW((ordner.Pfad() + L"\\[dl]").c_str(), nullptr);
    const std::wstring klammer = ordner.Datei(L"[x]y.dat", std::string(3000, 'a'));
    const std::wstring imOrdner = ordner.Datei(L"[dl]\\a.met", "eMule");
    const std::wstring schlicht = ordner.Datei(L"Lied.part", std::string(2000, 'b'));
    const std::wstring paket = ordner.Pfad() + L"\\Downloads.lwx";

    DateienKomprimieren(MitOptionen(ordner, {klammer, imOrdner, schlicht}), paket, 0, 0);

    ASSERT_EQ(anzeige.Zeilen().size(), 5u) << ::testing::PrintToString(anzeige.Zeilen());
    EXPECT_EQ(anzeige.Zeilen()[0], L"Bereite Kompression vor...");
    EXPECT_EQ(anzeige.Zeilen()[1], Starte(5005));
    EXPECT_EQ(anzeige.Zeilen()[2], L"Speichere Optionen");
    const std::wstring größe = std::to_wstring(DateiInhalt(paket).size());
    EXPECT_EQ(anzeige.Zeilen()[3], L"Kompression beendet, Größe der Datei ist " + größe + L" Bytes (" +
                                     std::to_wstring(modKompression::ErsparnisProzent(5005, std::stoull(größe))) +
                                     L" % Ersparnis)");
    EXPECT_EQ(anzeige.Zeilen()[4], kEnde);

    for (const std::wstring& pfad : {klammer, imOrdner, schlicht}) EXPECT_TRUE(Existiert(pfad)) << pfad;
    EXPECT_FALSE(Existiert(ordner.Pfad() + L"\\_x_y.dat"));
    EXPECT_FALSE(Existiert(ordner.Pfad() + L"\\_dl_")) << "the folder made for the rename stays behind";
    EXPECT_EQ(DateiInhalt(imOrdner), "eMule");

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

// Every refusal before packing leaves the files as they were: names back, nothing deleted,
// neither package nor options file written.
TEST_F(Komprimieren, RefusalsBeforePackingLeaveEverythingAsItWas) {
    TempOrdner ordner;
    CreateDirectoryW((ordner.Pfad() + L"\\b").c_str(), nullptr);
    const std::wstring erste = ordner.Datei(L"[1].dat", "eins");
    const std::wstring fehlt = ordner.Pfad() + L"\\fehlt.dat";
    const std::wstring dritte = ordner.Datei(L"[3].met", "drei");
    const std::wstring gleich = ordner.Datei(L"b\\_1_.dat", "anderer Ordner");
    const std::wstring paket = ordner.Datei(L"alt.lwx", "altes Paket");
    const std::vector<std::wstring> dateien = MitOptionen(ordner, {});
    const std::wstring& optionen = dateien.back();

    const struct {
        std::vector<std::wstring> liste;
        std::wstring fehler;
    } fälle[] = {
        {{erste, fehlt, dritte}, L"Fehler - Datei '" + fehlt + L"' existiert nicht"},
        {{erste, gleich}, L"Fehler - Die Dateien '" + erste + L"' und '" + gleich +
                              L"' hätten in der Datei denselben Namen '_1_.dat'"},
        {{erste, paket}, L"Fehler - Die Datei '" + paket +
                             L"' ist selbst in der Liste und kann nicht durch die neue Datei ersetzt werden"},
    };
    for (const auto& [liste, fehler] : fälle) {
        Protokoll anzeige(false);
        std::vector<std::wstring> mitOptionen = liste;
        mitOptionen.push_back(optionen);
        DateienKomprimieren(mitOptionen, paket, 1, 0);
        EXPECT_NE(std::find(anzeige.Zeilen().begin(), anzeige.Zeilen().end(), fehler), anzeige.Zeilen().end())
            << ::testing::PrintToString(anzeige.Zeilen());
        EXPECT_EQ(anzeige.Zeilen().back(), kEnde);
        EXPECT_EQ(DateiInhalt(erste), "eins");
        EXPECT_EQ(DateiInhalt(dritte), "drei");
        EXPECT_EQ(DateiInhalt(gleich), "anderer Ordner");
        EXPECT_EQ(DateiInhalt(paket), "altes Paket");
        EXPECT_FALSE(Existiert(ordner.Pfad() + L"\\_1_.dat"));
        EXPECT_FALSE(Existiert(optionen));
        EXPECT_TRUE(ImPapierkorb().empty());
    }
}

TEST_F(Komprimieren, TakenBracketFreeNameIsLeftAloneAndReported) {
    Protokoll anzeige(false);
    TempOrdner ordner;
    const std::wstring erste = ordner.Datei(L"a.dat", "a");
    const std::wstring klammer = ordner.Datei(L"[1].dat", "Klammer");
    const std::wstring belegt = ordner.Datei(L"_1_.dat", "gehört dem Benutzer");
    DateienKomprimieren(MitOptionen(ordner, {erste, klammer}), ordner.Pfad() + L"\\p.lwx", 1, 0);

    EXPECT_EQ(anzeige.Zeilen(),
              (std::vector<std::wstring>{L"Bereite Kompression vor...",
                                         L"Fehler - Datei '" + klammer + L"' kann nicht umbenannt werden (Die Datei '" +
                                             belegt + L"' gibt es bereits, sie bleibt unverändert)",
                                         kEnde}));
    EXPECT_EQ(DateiInhalt(klammer), "Klammer");
    EXPECT_EQ(DateiInhalt(belegt), "gehört dem Benutzer");
    EXPECT_FALSE(Existiert(ordner.Pfad() + L"\\p.lwx"));
}

TEST_F(Komprimieren, ExistingPackageIsReplacedAndDeleteFlagSendsEverythingToTheTrash) {
    Protokoll anzeige(false);
    TempOrdner ordner;
    const std::wstring klammer = ordner.Datei(L"[k].dat", std::string(4000, 'k'));
    const std::wstring leer = ordner.Datei(L"leer.grx", "");
    const std::wstring paket = ordner.Datei(L"Downloads.lwx", "kein ZIP, sondern ein altes Paket");
    const std::vector<std::wstring> dateien = MitOptionen(ordner, {klammer, leer});

    DateienKomprimieren(dateien, paket, 1, 0);

    ASSERT_EQ(anzeige.Zeilen().size(), 6u) << ::testing::PrintToString(anzeige.Zeilen());
    EXPECT_EQ(anzeige.Zeilen()[1], Starte(4000));
    EXPECT_EQ(anzeige.Zeilen()[4], L"Quelldateien löschen...");
    EXPECT_EQ(anzeige.Zeilen()[5], kEnde);
    const auto prüfung = PaketPrüfen(paket);
    ASSERT_TRUE(prüfung);
    EXPECT_EQ(prüfung->namen, (std::vector<std::wstring>{L"_k_.dat", L"leer.grx", L"optionen.opt"}));
    for (const std::wstring& pfad : {klammer, leer, dateien.back(), ordner.Pfad() + L"\\_k_.dat"})
        EXPECT_FALSE(Existiert(pfad)) << pfad;
    auto papierkorb = ImPapierkorb();
    std::sort(papierkorb.begin(), papierkorb.end());
    EXPECT_EQ(papierkorb, (std::vector<std::wstring>{L"_k_.dat", L"leer.grx", L"optionen.opt"}));
}
