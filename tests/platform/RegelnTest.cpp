// The rules on names, paths and times that every subsystem shares, one table each.

#include "Zeit.h"
#include "modFunktionen.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace std::string_literals;
using namespace modFunktionen;

TEST(Regeln, ComparingAndReplacingIgnoreLetterCase) {
    // Upper-casing is the key for comparing: both must agree, and it keeps every position.
    const std::tuple<std::wstring, std::wstring, bool> kGleich[] = {
        {L"", L"", true},           {L"Ölüberschuß", L"öLÜBERSCHUß", true}, {L"abc", L"abcd", false},
        {L"a\0b"s, L"A\0B"s, true}, {L"a\0b"s, L"a\0c"s, false},            {L"straße", L"STRASSE", false},
    };
    for (const auto& [a, b, gleich] : kGleich) {
        EXPECT_EQ(TexteGleich(a, b), gleich) << a << L" | " << b;
        EXPECT_EQ(Großbuchstaben(a) == Großbuchstaben(b), gleich) << a << L" | " << b;
        EXPECT_EQ(Großbuchstaben(a).size(), a.size()) << a;
    }
    const std::tuple<std::wstring, std::wstring, std::wstring, std::wstring> kErsetzen[] = {
        {L"aaa", L"a", L"aa", L"aaaaaa"},
        {L"Größe GRÖSSE gRÖßE", L"größe", L"x", L"x GRÖSSE x"},
        {L"x\0y\0"s, L"\0"s, L"", L"xy"},
    };
    for (const auto& [text, suche, ersatz, soll] : kErsetzen) EXPECT_EQ(TextErsetzen(text, suche, ersatz), soll) << text;
}

TEST(Regeln, LongPathsDeviceNamesAndCharactersNoNameMayHold) {
    const std::wstring x(260, L'x'), tief = L"C:\\" + x, unc = L"\\\\server\\share\\" + x;
    const std::tuple<std::wstring, std::wstring, std::wstring> kPfade[] = {  // path, LangerPfad, FürApi
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
    for (const auto& [pfad, lang, api] : kPfade) {
        EXPECT_EQ(LangerPfad(pfad), lang) << pfad;
        EXPECT_EQ(FürApi(pfad), api) << pfad;
    }
    for (const wchar_t* gerät : {L"nul", L"COM0.txt", L"com9", L"Lpt9 .log", L"lpt\u00B3", L"CONIN$", L"conout$.x"})
        EXPECT_TRUE(IstGerätename(gerät)) << gerät;
    for (const wchar_t* name : {L"com10", L"conin", L"x.con", L"COMA", L"nul1"}) EXPECT_FALSE(IstGerätename(name)) << name;
    for (const wchar_t z : L"\0\x1F\x7F\x9F*?\"<>|"s) EXPECT_TRUE(ZeichenImNamenUnzulässig(z)) << int(z);
    for (const wchar_t z : L" aä\xA0:\\/[]€~"s) EXPECT_FALSE(ZeichenImNamenUnzulässig(z)) << int(z);
}

// "X.part" and "X.part.met" stay a pair, and no name outgrows the 255 characters a name may have.
TEST(Regeln, SequentialNamesKeepTheEndingAndTheLimit) {
    const std::tuple<std::wstring, unsigned, std::wstring> kFälle[] = {
        {L"Lied.mp3", 0, L"Lied-0.mp3"},  {L"X.part.met", 2, L"X-2.part.met"}, {L"X.PART.MET.BAK", 1, L"X-1.PART.MET.BAK"},
        {L"ohne", 3, L"ohne-3"},          {L".part.met", 1, L".part-1.met"},
        {std::wstring(251, L'a') + L".mp3", 12, std::wstring(248, L'a') + L"-12.mp3"},
    };
    for (const auto& [name, nummer, soll] : kFälle) EXPECT_EQ(Folgename(name, nummer), soll) << name;
}

// Times are stored as text in packages: only real dates in the exact form are read, and what is
// read is written back the same. A clock without a valid time still gives today, at midnight.
TEST(Regeln, TimesAreReadOnlyInTheExactFormAndWrittenBackTheSame) {
    const std::pair<const wchar_t*, bool> kFälle[] = {
        {L"09.02.2024 23:05:04", true},  {L"29.02.2028 00:00:00", true},  {L"31.12.2026 23:59:59", true},
        {L"", false},                    {L"31.02.2026 10:00:00", false}, {L"29.02.2026 10:00:00", false},
        {L"01.01.2026 24:00:00", false}, {L"01.01.2026 10:60:00", false}, {L"01.01.2026 10:00:60", false},
        {L"1.1.2026 10:00:00", false},   {L"01.01.2026 10:00:00 ", false},
    };
    for (const auto& [text, gültig] : kFälle) {
        const auto zeit = modZeit::ZeitLesen(text);
        EXPECT_EQ(zeit ? modZeit::ZeitText(*zeit) : L"ungültig", gültig ? text : L"ungültig");
    }
    std::vector<std::wstring> gelesen;
    for (const WORD tag : {9, 30}) {
        modZeit::UhrSetzen([tag] { return SYSTEMTIME{2024, 2, 0, tag, 23, 5, 4, 999}; });
        gelesen.push_back(modZeit::ZeitText(modZeit::AktuelleZeit()));
    }
    modZeit::UhrSetzen(nullptr);
    EXPECT_EQ(gelesen, (std::vector<std::wstring>{L"09.02.2024 23:05:04",
                                                  modZeit::AktuelleZeitText().substr(0, 11) + L"00:00:00"}));
}
