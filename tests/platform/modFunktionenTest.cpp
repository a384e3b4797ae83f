#include "modFunktionen.h"

#include "Dateien.h"
#include "Handles.h"
#include "TempOrdner.h"
#include "WinePfade.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

using namespace std::string_literals;
namespace mf = modFunktionen;

namespace {

bool Vorhanden(const std::wstring& pfad) {
    return GetFileAttributesW((L"\\\\?\\" + pfad).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST(modFunktionenText, PathPartsSplitAtTheLastBackslashOnly) {
    struct Fall {
        std::wstring pfad, ordner, name, endung, ohneEndung;
    };
    const Fall kFälle[] = {
        {L"C:\\a\\b.txt", L"C:\\a", L"b.txt", L".txt", L"C:\\a\\b"},
        {L"C:\\", L"C:", L"", L"", L"C:\\"},
        {L"C:\\a.d\\b", L"C:\\a.d", L"b", L"", L"C:\\a.d\\b"},
        {L"a/b.c/d", L"", L"a/b.c/d", L".c/d", L"a/b"},
        {L"b.", L"", L"b.", L".", L"b"},
    };
    for (const auto& [pfad, ordner, name, endung, ohneEndung] : kFälle) {
        EXPECT_EQ(mf::PfadZurückgeben(pfad), ordner) << pfad;
        EXPECT_EQ(mf::DateinameZurückgeben(pfad), name) << pfad;
        EXPECT_EQ(mf::DateiendungZurückgeben(pfad), endung) << pfad;
        EXPECT_EQ(mf::DateinameOhneEndung(pfad), ohneEndung) << pfad;
    }
}

TEST(modFunktionenText, ZeroCharactersAndCaseBlindComparison) {
    EXPECT_EQ(mf::NullzeichenEntfernen(L"ab\0cd\0"s), L"ab");
    EXPECT_EQ(mf::NullzeichenEntfernen(L"ab\0cd"s), L"ab\0cd"s);
    struct Fall {
        std::wstring a, b;
        bool gleich;
    };
    const Fall kFälle[] = {
        {L"", L"", true},          {L"Ölüberschuß", L"öLÜBERSCHUß", true}, {L"abc", L"abcd", false},
        {L"a\0b"s, L"A\0B"s, true}, {L"a\0b"s, L"a\0c"s, false},           {L"straße", L"STRASSE", false},
    };
    for (const auto& [a, b, gleich] : kFälle) EXPECT_EQ(mf::TexteGleich(a, b), gleich) << a << L" | " << b;
}

TEST(modFunktionenText, ReplaceIgnoresCaseAndNeverSearchesInsertedText) {
    struct Fall {
        std::wstring text, suche, ersatz, soll;
    };
    const Fall kFälle[] = {
        {L"C:\\\\a\\\\b", L"\\\\", L"\\", L"C:\\a\\b"},
        {L"aaa", L"a", L"aa", L"aaaaaa"},
        {L"Größe GRÖSSE gRÖßE", L"größe", L"x", L"x GRÖSSE x"},
        {L"x\0y\0"s, L"\0"s, L"", L"xy"},
    };
    for (const auto& [text, suche, ersatz, soll] : kFälle)
        EXPECT_EQ(mf::TextErsetzen(text, suche, ersatz), soll) << text << L" / " << suche;
}

TEST(modFunktionenText, RecordsSplitFromTheStartPosition) {
    struct Fall {
        std::wstring text, trenner;
        long start, erwartet;
        std::vector<std::wstring> soll;
        bool ergebnis;
    };
    const Fall kFälle[] = {
        {L"a;b", L";", 1, 2, {L"a", L"b"}, true},
        {L"a;b;", L";", 1, 3, {L"a", L"b", L""}, true},
        {L"a;b", L";", 1, 3, {L"a", L"b"}, false},
        {L"", L";", 1, -1, {L""}, false},
        {L"x;a;b", L";", 3, 2, {L"a", L"b"}, true},
        {L"a;b", L";", 0, -1, {L""}, false},
        {L"a;b;", L";", 99, 1, {L""}, true},
        {L"a||b||", L"||", 1, 2, {L"a", L"b"}, true},
    };
    for (const auto& [text, trenner, start, erwartet, soll, ergebnis] : kFälle) {
        std::vector<std::wstring> datensätze{L"alt", L"alt"};
        EXPECT_EQ(mf::TextDatensätzeLesen(text, trenner, start, erwartet, datensätze), ergebnis) << text << L" ab " << start;
        EXPECT_EQ(datensätze, soll) << text << L" ab " << start;
    }
}

TEST(modFunktionenText, LongFormIsTheFullPathAndOnlyLongPathsGetIt) {
    const std::wstring x(260, L'x'), tief = L"C:\\" + x, unc = L"\\\\server\\share\\" + x;
    const std::tuple<std::wstring, std::wstring, std::wstring> kFälle[] = {  // path, LangerPfad, FürApi
        {L"C:\\a\\b.txt", L"\\\\?\\C:\\a\\b.txt", L"C:\\a\\b.txt"},
        {L"C:/a/..\\b\\.\\c. ", L"\\\\?\\C:\\b\\c", L"C:/a/..\\b\\.\\c. "},
        {L"C:\\", L"\\\\?\\C:\\", L"C:\\"},
        {L"\\\\server\\share\\", L"\\\\?\\UNC\\server\\share", L"\\\\server\\share\\"},
        {L"\\\\?\\C:\\a. \\", L"\\\\?\\C:\\a. ", L"\\\\?\\C:\\a. \\"},
        {L"C:\\x\\nul", L"", L"C:\\x\\nul"},
        {tief + L"\\..\\y\\", L"\\\\?\\C:\\y", L"\\\\?\\C:\\y"},
        {unc, L"\\\\?\\UNC\\server\\share\\" + x, L"\\\\?\\UNC\\server\\share\\" + x},
        {tief + L"\\con", L"", tief + L"\\con"},
    };
    for (const auto& [pfad, lang, api] : kFälle) {
        EXPECT_EQ(mf::LangerPfad(pfad), lang) << pfad;
        EXPECT_EQ(mf::FürApi(pfad), api) << pfad;
    }
}

TEST(modFunktionenText, Windows1252CodesAgreeWithCodePage1252) {
    for (unsigned einheit = 0; einheit <= 0xFFFF; ++einheit) {
        const wchar_t zeichen = static_cast<wchar_t>(einheit);
        char code = 0;
        BOOL ersetzt = FALSE;
        const int n = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, &zeichen, 1, &code, 1, nullptr, &ersetzt);
        // The code page passes its five unassigned codes through as C1 controls, which are not
        // Windows-1252 characters.
        const bool c1 = einheit >= 0x80 && einheit <= 0x9F;
        const auto soll = n == 1 && !ersetzt && !c1 ? std::optional<unsigned char>(static_cast<unsigned char>(code)) : std::nullopt;
        EXPECT_EQ(mf::Windows1252Code(zeichen), soll) << std::hex << einheit;
    }
}

TEST(modFunktionenDateien, FilesFoldersAndDeviceNames) {
    TempOrdner temp;
    const std::wstring ordner = temp.Pfad();
    const std::wstring datei = Anlegen(ordner + L"\\lied.mp3", FILE_ATTRIBUTE_NORMAL);
    const std::wstring versteckt = Anlegen(ordner + L"\\versteckt.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const std::wstring tief = TieferOrdner(ordner, 2 * MAX_PATH);
    struct Fall {
        std::wstring pfad;
        bool datei, ordner;
    };
    const Fall kFälle[] = {
        {datei, true, false},
        {versteckt, true, false},
        {ordner, false, true},
        {ordner + L"\\nul", true, false},
        {ordner + L"\\fehlt\\nul", false, false},
        {ordner + L"\\COM0.txt", true, false}, {ordner + L"\\lpt\u00B3 .log", true, false},
        {ordner + L"\\com10", false, false},   {ordner + L"\\conin", false, false},         {ordner + L"\\x.con", false, false},
        {datei + L"\\nul", false, false},
        {ordner + L"\\*.mp3", false, false},
        {datei + L"\0.tmp"s, false, false},
        {L"C:", false, true},
        {tief, false, true}, {Anlegen(tief + L"\\datei.txt", FILE_ATTRIBUTE_READONLY), true, false}, {tief + L"\\nul", true, false},
    };
    for (const auto& [pfad, istDatei, istOrdner] : kFälle) {
        EXPECT_EQ(mf::DateiExistiert(pfad), istDatei) << pfad;
        EXPECT_EQ(mf::OrdnerExistiert(pfad), istOrdner) << pfad;
    }
}

TEST(modFunktionenDateien, DeletesProtectedFilesButNoPatternAndNothingElse) {
    TempOrdner temp;
    const std::wstring pfad = TieferOrdner(temp.Pfad(), 2 * MAX_PATH) + L"\\Lied-\u0416\u4E2D.mp3";
    for (DWORD attribute : {DWORD(FILE_ATTRIBUTE_NORMAL), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY)}) {
        Anlegen(pfad, attribute);
        EXPECT_TRUE(mf::DateiLöschen(pfad)) << attribute;
        EXPECT_FALSE(Vorhanden(pfad)) << attribute;
    }
    EXPECT_TRUE(mf::DateiLöschen(pfad));

    const std::wstring bleibt = Anlegen(temp.Pfad() + L"\\bleibt.txt", FILE_ATTRIBUTE_NORMAL);
    for (const std::wstring& muster : {temp.Pfad() + L"\\*.txt", temp.Pfad() + L"\\bleibt.tx?", bleibt + L"\0.tmp"s})
        EXPECT_FALSE(mf::DateiLöschen(muster)) << muster;
    mf::DateiLöschen(temp.Pfad());
    mf::DateiLöschen(temp.Pfad() + L"\\nul");
    EXPECT_TRUE(mf::OrdnerExistiert(temp.Pfad()));

    // A file held open elsewhere stays as it was, read-only flag included.
    ASSERT_TRUE(SetFileAttributesW(bleibt.c_str(), FILE_ATTRIBUTE_READONLY));
    {
        const Handles::Datei sperre(CreateFileW(bleibt.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(mf::DateiLöschen(bleibt));
    }
    EXPECT_TRUE(GetFileAttributesW(bleibt.c_str()) & FILE_ATTRIBUTE_READONLY);

    // Under Wine, deleting a link to a file would delete the file it leads to.
    const std::wstring link = temp.Pfad() + L"\\link.txt";
    ASSERT_TRUE(WinePfade::UnixLinkAnlegen(link, bleibt));
    EXPECT_FALSE(mf::DateiLöschen(link));
    EXPECT_TRUE(Vorhanden(bleibt));
}

TEST(modFunktionenDateien, TestFolderCleanupNeverDeletesThroughALink) {
    TempOrdner draußen;
    const std::wstring datei = draußen.Datei(L"bleibt.txt", "bleibt");
    {
        TempOrdner t;
        ASSERT_TRUE(CreateDirectoryW((t.Pfad() + L"\\unter").c_str(), nullptr));
        ASSERT_TRUE(WinePfade::UnixLinkAnlegen(t.Pfad() + L"\\unter\\link.txt", datei));
        ASSERT_TRUE(WinePfade::UnixLinkAnlegen(t.Pfad() + L"\\ordnerlink", draußen.Pfad()));
    }
    EXPECT_TRUE(Vorhanden(datei));
}
