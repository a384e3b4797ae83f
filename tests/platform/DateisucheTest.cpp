// File search and folder emptying on the real file system under Wine, with links, long paths
// and read-only files in the tree.

#include "Dateisuche.h"
#include "Dateien.h"
#include "Protokoll.h"
#include "TempOrdner.h"
#include "WinePfade.h"
#include "modFunktionen.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using modFunktionen::DateienSuchenAPI;
using modFunktionen::DateiExistiert;
using modFunktionen::OrdnerExistiert;
using modFunktionen::OrdnerLöschen;
using modFunktionen::SuchergebnisHinzufügen;
using modFunktionen::Suchergebnisse;

void Ordner(const std::wstring& pfad) { Anlegen(pfad, FILE_ATTRIBUTE_DIRECTORY); }

void Verknüpfung(const std::wstring& link, const std::wstring& ziel) {
    ASSERT_TRUE(WinePfade::UnixLinkAnlegen(link, ziel)) << link;
    ASSERT_TRUE(GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) << link;
}

// A file below basis with a path of more than 300 characters.
std::wstring TiefeDatei(const std::wstring& basis) { return Anlegen(TieferOrdner(basis, 300) + L"\\dddd.met"); }

std::vector<std::wstring> Suchen(std::wstring ordner, const std::vector<std::wstring>& endungen, int rekursiv) {
    SuchergebnisHinzufügen(L"", 1);
    EXPECT_TRUE(DateienSuchenAPI(ordner, endungen, rekursiv));
    return Suchergebnisse();
}

std::vector<std::wstring> Sortiert(std::vector<std::wstring> liste) {
    std::sort(liste.begin(), liste.end());
    return liste;
}

class Dateisuche : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* name : {L"a.part.met", L"b.PART", L"c.part.txt", L".dat", L"ohne"}) Anlegen(basis + name);
        Anlegen(basis + L"versteckt.met", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
        Ordner(basis + L"unter");
        Anlegen(basis + L"unter\\d.met");
        Ordner(basis + L"unter\\tief");
        Anlegen(basis + L"unter\\tief\\e.part");
    }

    TempOrdner temp;
    const std::wstring basis = temp.Pfad() + L"\\";
};

}  // namespace

TEST_F(Dateisuche, EndingsRecursionAndOrder) {
    const std::vector<std::wstring> jobs = {L".met", L".part"};
    const std::vector<std::wstring> oben = {basis + L"a.part.met", basis + L"b.PART", basis + L"versteckt.met"};
    const std::vector<std::wstring> alle = {basis + L".dat",       basis + L"a.part.met", basis + L"b.PART",
                                            basis + L"c.part.txt", basis + L"ohne",       basis + L"versteckt.met"};
    struct Fall {
        std::vector<std::wstring> endungen;
        int rekursiv;
        std::vector<std::wstring> soll;
    } const fälle[] = {
        {jobs, 0, oben},
        {{L""}, 0, alle},
        {{}, 0, alle},
        {{L".MET"}, 2, {basis + L"a.part.met", basis + L"versteckt.met"}},
    };
    for (const auto& [endungen, rekursiv, soll] : fälle)
        EXPECT_EQ(Sortiert(Suchen(temp.Pfad(), endungen, rekursiv)), soll) << ::testing::PrintToString(endungen);

    // The folder's own files come before those of its subfolders, depth first.
    const auto gefunden = Suchen(temp.Pfad(), jobs, 1);
    ASSERT_EQ(gefunden.size(), 5u);
    EXPECT_EQ(Sortiert({gefunden.begin(), gefunden.begin() + 3}), oben);
    EXPECT_EQ(gefunden[3], basis + L"unter\\d.met");
    EXPECT_EQ(gefunden[4], basis + L"unter\\tief\\e.part");

    // The folder gets its "\", a missing one is no failure, and searches add to the list.
    SuchergebnisHinzufügen(L"ignoriert", 1);
    std::wstring ordner = basis + L"unter", fehlt = basis + L"fehlt";
    EXPECT_TRUE(DateienSuchenAPI(fehlt, {}, 1));
    EXPECT_TRUE(DateienSuchenAPI(ordner, {L".met"}, 0));
    EXPECT_TRUE(DateienSuchenAPI(ordner, {L".part"}, 1));
    EXPECT_EQ(ordner, basis + L"unter\\");
    EXPECT_EQ(Suchergebnisse(), (std::vector<std::wstring>{basis + L"unter\\d.met", basis + L"unter\\tief\\e.part"}));
}

TEST_F(Dateisuche, LongPathsAreFoundLinksAreNotEntered) {
    TempOrdner fremd;
    Anlegen(fremd.Pfad() + L"\\fremd.met");
    Verknüpfung(basis + L"zum fremden", fremd.Pfad());
    Verknüpfung(basis + L"unter\\zurück", temp.Pfad());
    const std::wstring lang = TiefeDatei(temp.Pfad() + L"\\unter");

    const auto gefunden = Suchen(temp.Pfad(), {L".met"}, 1);
    EXPECT_EQ(Sortiert(gefunden),
              Sortiert({basis + L"a.part.met", basis + L"versteckt.met", basis + L"unter\\d.met", lang}));
}

TEST_F(Dateisuche, OrdnerLöschenEmptiesOnlyTheFolderItself) {
    Anlegen(basis + L"schreibgeschützt.dat", FILE_ATTRIBUTE_READONLY);
    OrdnerLöschen(basis + L"unter\\tief", false);
    EXPECT_TRUE(DateiExistiert(basis + L"unter\\tief\\e.part"));

    EXPECT_TRUE(OrdnerLöschen(temp.Pfad(), true));
    EXPECT_EQ(Suchen(temp.Pfad(), {}, 0), std::vector<std::wstring>{});
    EXPECT_TRUE(OrdnerExistiert(basis + L"unter"));
    EXPECT_TRUE(DateiExistiert(basis + L"unter\\tief\\e.part"));

    EXPECT_TRUE(OrdnerLöschen(basis + L"unter\\tief\\", true));
    EXPECT_FALSE(OrdnerExistiert(basis + L"unter\\tief"));
    Ordner(basis + L"leer");
    EXPECT_TRUE(OrdnerLöschen(basis + L"leer", false));
    EXPECT_FALSE(OrdnerExistiert(basis + L"leer"));
}

// Deleting never reaches through a link, nor into the current folder.
TEST_F(Dateisuche, OrdnerLöschenLeavesLinkTargetsLongPathsAndTheCurrentFolderWhole) {
    TempOrdner fremd, aktuell;
    const std::wstring fremdeDatei = fremd.Datei(L"fremd.met");
    const std::wstring wächter = aktuell.Datei(L".wächter");
    ASSERT_TRUE(SetCurrentDirectoryW(aktuell.Pfad().c_str()));
    Verknüpfung(basis + L"zum fremden", fremd.Pfad());
    const std::wstring lang = TiefeDatei(temp.Pfad() + L"\\unter");
    Verknüpfung(basis + L"link als ordner", fremd.Pfad());
    ASSERT_TRUE(WinePfade::UnixLinkAnlegen(basis + L"link als datei.met", fremdeDatei));

    Protokoll protokoll;
    EXPECT_TRUE(OrdnerLöschen(basis + L"link als ordner", true));
    EXPECT_TRUE(OrdnerLöschen(temp.Pfad(), true));
    EXPECT_TRUE(OrdnerLöschen(basis + L"unter", true));
    EXPECT_TRUE(DateiExistiert(fremdeDatei));
    EXPECT_TRUE(DateiExistiert(basis + L"link als datei.met"));
    EXPECT_TRUE(DateiExistiert(lang));
    EXPECT_TRUE(DateiExistiert(wächter));
    EXPECT_TRUE(DateiExistiert(basis + L"zum fremden\\fremd.met"));
    EXPECT_FALSE(DateiExistiert(basis + L"a.part.met"));
    EXPECT_FALSE(DateiExistiert(basis + L"unter\\d.met"));
    ASSERT_EQ(protokoll.Zeilen().size(), 1u);
    EXPECT_EQ(protokoll.Zeilen()[0], L"Achtung - OrdnerLöschen: Ordner '" + basis +
                                         L"link als ordner' bleibt stehen, der Ordner ist eine Verknüpfung");
    SetCurrentDirectoryW(temp.Pfad().c_str());
}

TEST_F(Dateisuche, OrdnerLöschenRefusesEmptyRelativeAndRootPaths) {
    TempOrdner aktuell;
    const std::wstring wächter = aktuell.Datei(L"wächter.dat");
    CreateDirectoryW((aktuell.Pfad() + L"\\Temp").c_str(), nullptr);
    const std::wstring imRelativen = aktuell.Datei(L"Temp\\job.met");
    ASSERT_TRUE(SetCurrentDirectoryW(aktuell.Pfad().c_str()));

    Protokoll protokoll;
    struct Fall {
        std::wstring ordner, grund;
    } const fälle[] = {
        {L"", L"kein Ordner angegeben"},
        {L"Temp", L"der Pfad ist nicht absolut"},
        {L"\\", L"der Pfad ist nicht absolut"},
        {L"C:", L"der Pfad ist nicht absolut"},
        {L"C:\\", L"das ist die Wurzel eines Laufwerks"},
        {aktuell.Pfad() + L"\\Temp\\..\\..\\..\\..\\..\\..\\..\\..", L"das ist die Wurzel eines Laufwerks"},
        {L"\\\\?\\C:\\", L"das ist die Wurzel eines Laufwerks"},
        {L"\\\\server\\freigabe", L"das ist die Wurzel eines Laufwerks"},
    };
    for (const auto& [ordner, grund] : fälle) {
        EXPECT_TRUE(OrdnerLöschen(ordner, true));
        ASSERT_FALSE(protokoll.Zeilen().empty());
        EXPECT_EQ(protokoll.Zeilen().back(),
                  L"Achtung - OrdnerLöschen: Ordner '" + ordner + L"' bleibt stehen, " + grund);
    }
    EXPECT_EQ(protokoll.Zeilen().size(), std::size(fälle));
    EXPECT_TRUE(DateiExistiert(wächter));
    EXPECT_TRUE(DateiExistiert(imRelativen));
    SetCurrentDirectoryW(temp.Pfad().c_str());
}
