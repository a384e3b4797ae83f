// Files, deleting, searching and emptying folders on a real tree under Wine, with links, long
// paths and protected files in it.

#include "Dateien.h"
#include "Dateisuche.h"
#include "Handles.h"
#include "Protokoll.h"
#include "TempOrdner.h"
#include "WinePfade.h"
#include "modFunktionen.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace std::string_literals;
using namespace modFunktionen;

namespace {

// A tree with a link out of it, a link back up, a link to a file, and a read-only file more than
// 300 characters deep.
struct Baum {
    Baum() {
        for (const wchar_t* ordner : {L"unter", L"unter\\tief"}) Anlegen(s + ordner, FILE_ATTRIBUTE_DIRECTORY);
        for (const wchar_t* name : {L"a.part.met", L"b.PART", L".dat", L"unter\\d.met", L"unter\\tief\\e.part"})
            Anlegen(s + name);
        Anlegen(s + L"versteckt.met", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
        EXPECT_TRUE(WinePfade::UnixLinkAnlegen(s + L"zum fremden", fremd.Pfad()));
        EXPECT_TRUE(WinePfade::UnixLinkAnlegen(s + L"unter\\zurück", temp.Pfad()));
        EXPECT_TRUE(WinePfade::UnixLinkAnlegen(s + L"link.met", fremdeDatei));
        lang = Anlegen(TieferOrdner(s + L"unter", 300) + L"\\lang.met", FILE_ATTRIBUTE_READONLY);
    }
    TempOrdner temp, fremd;
    const std::wstring s = temp.Pfad() + L"\\", fremdeDatei = fremd.Datei(L"fremd.met");
    std::wstring lang;
};

std::vector<std::wstring> Sortiert(std::vector<std::wstring> liste) {
    std::sort(liste.begin(), liste.end());
    return liste;
}

}  // namespace

// Deleting takes protected files and long paths, but never a pattern, a folder, a file open
// elsewhere, or a link: under Wine deleting a link to a file deletes the file it leads to.
TEST(Dateisystem, FilesFoldersSizesAndDeletingOnlyTheOneFileNamed) {
    Baum b;
    const std::wstring& s = b.s;
    const std::wstring datei = b.temp.Datei(L"lied.mp3", "abc"), tief = PfadZurückgeben(b.lang), a = s + L"a.part.met";
    const std::tuple<std::wstring, bool, bool> kDa[] = {  // path, file, folder
        {datei, true, false},      {s + L"versteckt.met", true, false}, {b.temp.Pfad(), false, true},
        {s + L"nul", true, false}, {s + L"fehlt\\nul", false, false},   {datei + L"\\nul", false, false},
        {s + L"*.mp3", false, false}, {datei + L"\0.tmp"s, false, false}, {L"C:", false, true},
        {tief, false, true},       {b.lang, true, false},               {tief + L"\\nul", true, false},
    };
    for (const auto& [pfad, istDatei, istOrdner] : kDa) {
        EXPECT_EQ(DateiExistiert(pfad), istDatei) << pfad;
        EXPECT_EQ(OrdnerExistiert(pfad), istOrdner) << pfad;
        EXPECT_EQ(NameVergeben(pfad), istDatei || istOrdner) << pfad;
    }
    const std::pair<std::wstring, std::optional<std::uint64_t>> kGrößen[] = {
        {datei, 3}, {b.lang, 0}, {b.temp.Pfad(), 0}, {s + L"fehlt.mp3", std::nullopt}};
    for (const auto& [pfad, größe] : kGrößen) EXPECT_EQ(Dateigröße(pfad), größe) << pfad;

    ASSERT_TRUE(SetFileAttributesW(datei.c_str(), FILE_ATTRIBUTE_READONLY));
    const Handles::Datei offen(CreateFileW(datei.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    const std::tuple<std::wstring, bool, std::wstring> kLöschen[] = {  // path, result, what must still be there
        {b.lang, true, L""},         {b.lang, true, L""},         {s + L"versteckt.met", true, L""},
        {s + L"*.met", false, a},    {s + L"a.part.me?", false, a}, {a + L"\0.tmp"s, false, a},
        {b.temp.Pfad(), true, b.temp.Pfad()}, {s + L"link.met", false, b.fremdeDatei}, {datei, false, datei},
    };
    for (const auto& [pfad, ergebnis, übrig] : kLöschen) {
        EXPECT_EQ(DateiLöschen(pfad), ergebnis) << pfad;
        EXPECT_EQ(Existiert(L"\\\\?\\" + (übrig.empty() ? pfad : übrig)), !übrig.empty()) << pfad;
    }
    EXPECT_TRUE(GetFileAttributesW(datei.c_str()) & FILE_ATTRIBUTE_READONLY);
}

// Searching enters no link (one leads back up). Emptying a folder deletes its own files, protected
// ones too, and nothing through a link, below it, in the current folder, or at a root or relative
// path.
TEST(Dateisystem, SearchingAndEmptyingStayInsideTheFolder) {
    Baum b;
    const std::wstring& s = b.s;
    const std::vector<std::wstring> oben = {s + L"a.part.met", s + L"b.PART", s + L"link.met", s + L"versteckt.met"};
    const std::tuple<std::vector<std::wstring>, int, std::vector<std::wstring>> kSuchen[] = {
        {{L".met", L".part"}, 0, oben},
        {{L""}, 0, {s + L".dat", s + L"a.part.met", s + L"b.PART", s + L"link.met", s + L"versteckt.met"}},
        {{L".MET"}, 1, {b.lang, s + L"a.part.met", s + L"link.met", s + L"unter\\d.met", s + L"versteckt.met"}},
    };
    for (const auto& [endungen, rekursiv, soll] : kSuchen) {
        SuchergebnisHinzufügen(L"", 1);
        std::wstring ordner = b.temp.Pfad(), fehlt = s + L"fehlt";
        EXPECT_TRUE(DateienSuchenAPI(ordner, endungen, rekursiv) && DateienSuchenAPI(fehlt, endungen, rekursiv));
        EXPECT_EQ(Sortiert(Suchergebnisse()), Sortiert(soll)) << ::testing::PrintToString(endungen);
    }

    TempOrdner aktuell;
    const std::wstring wächter = aktuell.Datei(L"wächter.dat");
    ASSERT_TRUE(SetCurrentDirectoryW(aktuell.Pfad().c_str()));
    Protokoll protokoll;
    const std::wstring kAbgelehnt[] = {L"", L"Temp", L"\\", L"C:", L"C:\\", L"\\\\?\\C:\\", L"\\\\server\\freigabe",
                                       aktuell.Pfad() + L"\\..\\..\\..\\..\\..\\..\\..\\..", s + L"zum fremden"};
    for (const std::wstring& ordner : kAbgelehnt) {
        EXPECT_TRUE(OrdnerLöschen(ordner, true));
        EXPECT_NE(protokoll.Zeilen().back().find(L"'" + ordner + L"' bleibt stehen"), std::wstring::npos) << ordner;
    }
    EXPECT_EQ(protokoll.Zeilen().size(), std::size(kAbgelehnt));
    EXPECT_TRUE(OrdnerLöschen(s + L"unter\\tief", false));
    EXPECT_TRUE(OrdnerLöschen(b.temp.Pfad(), true));
    for (const std::wstring& bleibt :
         {b.fremdeDatei, s + L"link.met", b.lang, wächter, s + L"unter\\d.met", s + L"unter\\tief\\e.part"})
        EXPECT_TRUE(DateiExistiert(bleibt)) << bleibt;
    for (const wchar_t* weg : {L"a.part.met", L"b.PART", L"versteckt.met"}) EXPECT_FALSE(DateiExistiert(s + weg));
    EXPECT_TRUE(OrdnerLöschen(s + L"unter\\tief\\", true));
    EXPECT_FALSE(OrdnerExistiert(s + L"unter\\tief"));
    SetCurrentDirectoryW(b.temp.Pfad().c_str());
}
