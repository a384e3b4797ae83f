// The platform against what Wine really provides: the shared rules on names, paths and times,
// the file system with links, long paths and protected files, the registry, the shell's folder
// picker and program start, and the Trash.

#include "Dateien.h"
#include "Dateisuche.h"
#include "Handles.h"
#include "Laufwerk.h"
#include "Protokoll.h"
#include "Shell.h"
#include "TempOrdner.h"
#include "Treiber.h"
#include "WinePfade.h"
#include "Zeit.h"
#include "modEinstellungen.h"
#include "modFunktionen.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdlib>
#include <set>

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
    ::TempOrdner temp, fremd;
    const std::wstring s = temp.Pfad() + L"\\", fremdeDatei = fremd.Datei(L"fremd.met");
    std::wstring lang;
};

std::vector<BYTE> Bytes(const std::wstring& text, bool mitEnde = true) {
    const auto* anfang = reinterpret_cast<const BYTE*>(text.c_str());
    return {anfang, anfang + (text.size() + mitEnde) * sizeof(wchar_t)};
}

// The helper writes its output file whole, so it is complete once it exists.
std::wstring AusgabeWarten(const std::wstring& pfad) {
    for (int i = 0; i < 400 && !DateiExistiert(pfad); ++i) Sleep(50);
    const std::string bytes = Lesen(pfad).value_or("");
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

}  // namespace

TEST(Regeln, TextsNamesAndLongPaths) {
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
        {L"aaa", L"a", L"aa", L"aaaaaa"}, {L"x\0y\0"s, L"\0"s, L"", L"xy"},
        {L"Größe GRÖSSE gRÖßE", L"größe", L"x", L"x GRÖSSE x"},
    };
    for (const auto& [text, suche, ersatz, soll] : kErsetzen) EXPECT_EQ(TextErsetzen(text, suche, ersatz), soll);
    // "X.part" and "X.part.met" stay a pair, and no name outgrows the 255 characters a name may have.
    const std::tuple<std::wstring, unsigned, std::wstring> kFälle[] = {
        {L"Lied.mp3", 0, L"Lied-0.mp3"}, {L"X.part.met", 2, L"X-2.part.met"}, {L"ohne", 3, L"ohne-3"},
        {L"X.PART.MET.BAK", 1, L"X-1.PART.MET.BAK"}, {L".part.met", 1, L".part-1.met"},
        {std::wstring(251, L'a') + L".mp3", 12, std::wstring(248, L'a') + L"-12.mp3"},
    };
    for (const auto& [name, nummer, soll] : kFälle) EXPECT_EQ(Folgename(name, nummer), soll) << name;
    const std::wstring x(260, L'x'), tief = L"C:\\" + x, unc = L"\\\\server\\share\\" + x;
    const std::tuple<std::wstring, std::wstring, std::wstring> kPfade[] = {  // path, LangerPfad, FürApi
        {L"C:\\a\\b.txt", L"\\\\?\\C:\\a\\b.txt", L"C:\\a\\b.txt"},
        {L"C:/a/..\\b\\.\\c. ", L"\\\\?\\C:\\b\\c", L"C:/a/..\\b\\.\\c. "},
        {L"C:\\", L"\\\\?\\C:\\", L"C:\\"},
        {L"\\\\server\\share\\", L"\\\\?\\UNC\\server\\share", L"\\\\server\\share\\"},
        {L"\\\\?\\C:\\a. \\", L"\\\\?\\C:\\a. ", L"\\\\?\\C:\\a. \\"}, {L"C:\\x\\nul", L"", L"C:\\x\\nul"},
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
    for (const wchar_t* n : {L"com10", L"conin", L"x.con", L"COMA", L"nul1"}) EXPECT_FALSE(IstGerätename(n)) << n;
    for (const wchar_t z : L"\0\x1F\x7F\x9F*?\"<>|"s) EXPECT_TRUE(ZeichenImNamenUnzulässig(z)) << int(z);
    for (const wchar_t z : L" aä\xA0:\\/[]€~"s) EXPECT_FALSE(ZeichenImNamenUnzulässig(z)) << int(z);
}

// Times are stored as text in packages: only real dates in the exact form are read, and what is
// read is written back the same. A clock without a valid time (30 February) still gives today,
// at midnight.
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
    modZeit::UhrSetzen([] { return SYSTEMTIME{2026, 2, 0, 30, 23, 5, 4, 999}; });
    const std::wstring heute = modZeit::ZeitText(modZeit::AktuelleZeit());
    modZeit::UhrSetzen(nullptr);
    EXPECT_EQ(heute, modZeit::AktuelleZeitText().substr(0, 11) + L"00:00:00");
}

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
// ones too, and nothing through a link, below it, or at a root or relative path.
TEST(Dateisystem, SearchingAndEmptyingStayInsideTheFolder) {
    Baum b;
    const std::wstring& s = b.s;
    const std::tuple<std::vector<std::wstring>, int, std::vector<std::wstring>> kSuchen[] = {
        {{L".met", L".part"}, 0, {s + L"a.part.met", s + L"b.PART", s + L"link.met", s + L"versteckt.met"}},
        {{L""}, 0, {s + L".dat", s + L"a.part.met", s + L"b.PART", s + L"link.met", s + L"versteckt.met"}},
        {{L".MET"}, 1, {b.lang, s + L"a.part.met", s + L"link.met", s + L"unter\\d.met", s + L"versteckt.met"}},
    };
    for (const auto& [endungen, rekursiv, soll] : kSuchen) {
        SuchergebnisHinzufügen(L"", 1);
        std::wstring ordner = b.temp.Pfad(), fehlt = s + L"fehlt";
        EXPECT_TRUE(DateienSuchenAPI(ordner, endungen, rekursiv) && DateienSuchenAPI(fehlt, endungen, rekursiv));
        EXPECT_EQ(std::multiset<std::wstring>(Suchergebnisse().begin(), Suchergebnisse().end()),
                  std::multiset<std::wstring>(soll.begin(), soll.end()));
    }

    Protokoll protokoll;
    const std::wstring kAbgelehnt[] = {L"", L"Temp", L"\\", L"C:", L"C:\\", L"\\\\?\\C:\\", L"\\\\server\\freigabe",
                                       b.temp.Pfad() + L"\\..\\..\\..\\..\\..\\..\\..\\..", s + L"zum fremden"};
    for (const std::wstring& ordner : kAbgelehnt) {
        EXPECT_TRUE(OrdnerLöschen(ordner, true));
        EXPECT_NE(protokoll.Zeilen().back().find(L"'" + ordner + L"' bleibt stehen"), std::wstring::npos) << ordner;
    }
    EXPECT_EQ(protokoll.Zeilen().size(), std::size(kAbgelehnt));
    EXPECT_TRUE(OrdnerLöschen(s + L"unter\\tief", false));
    EXPECT_TRUE(OrdnerLöschen(b.temp.Pfad(), true));
    for (const std::wstring& bleibt :
         {b.fremdeDatei, s + L"link.met", b.lang, s + L"unter\\d.met", s + L"unter\\tief\\e.part"})
        EXPECT_TRUE(DateiExistiert(bleibt)) << bleibt;
    for (const wchar_t* weg : {L"a.part.met", L"b.PART", L"versteckt.met"}) EXPECT_FALSE(DateiExistiert(s + weg));
    EXPECT_TRUE(OrdnerLöschen(s + L"unter\\tief\\", true));
    EXPECT_FALSE(OrdnerExistiert(s + L"unter\\tief"));
}

// Values as other programs store them, in every form, under every root; anything else gives the
// default. No root given is the user's.
TEST(Dienste, RegistryValuesArriveIntactOrGiveTheDefault) {
    const std::wstring k = L"Software\\LadewerkTest", o = L"C:\\Programme\\Kazaa\\My Shared Folder";
    const HKEY cu = HKEY_CURRENT_USER;
    SetEnvironmentVariableW(L"LADEWERK_TESTZIEL", L"D:\\Ziel");
    const std::tuple<HKEY, std::wstring, std::wstring, DWORD, std::vector<BYTE>, std::optional<std::wstring>>
        kFälle[] = {
        {cu, k, L"MitEnde", REG_SZ, Bytes(o), o},
        {cu, k, L"OhneEnde", REG_SZ, Bytes(o, false), o},
        {cu, k, L"RestHinterEnde", REG_SZ, Bytes(L"C:\\a\0alt"s, false), L"C:\\a"},
        {cu, k, L"Erweiterbar", REG_EXPAND_SZ, Bytes(L"%LADEWERK_TESTZIEL%\\D"), L"D:\\Ziel\\D"},
        {cu, k, L"Negativ", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, L"-1"},
        {HKEY_CLASSES_ROOT, L"lwtest\\shell\\open\\command", L"", REG_SZ, Bytes(L"e.exe \"%1\""), L"e.exe \"%1\""},
        {HKEY_LOCAL_MACHINE, k, L"Maschine", REG_SZ, Bytes(L"C:\\M"), L"C:\\M"},
        {cu, k + L"\\Fehlt", L"MitEnde", REG_NONE, {}, std::nullopt}, {cu, L"", L"MitEnde", REG_NONE, {}, std::nullopt},
        {cu, k, L"Binär", REG_BINARY, {1, 2, 3}, std::nullopt}, {cu, k, L"Kurz", REG_DWORD, {7}, std::nullopt},
        {cu, k, L"Fehlt", REG_NONE, {}, std::nullopt},
    };
    for (const auto& [wurzel, schlüssel, name, typ, daten, soll] : kFälle) {
        const DWORD n = DWORD(daten.size());
        ASSERT_EQ(typ ? RegSetKeyValueW(wurzel, schlüssel.c_str(), name.c_str(), typ, daten.data(), n) : 0, 0) << name;
        std::wstring ziel = L"alt";
        const HKEY lesen = wurzel == cu ? nullptr : wurzel;
        EXPECT_EQ(modEinstellungen::SpezielleEinstellungLesen(schlüssel, name, ziel, L"vorgabe", lesen), bool(soll));
        EXPECT_EQ(ziel, soll.value_or(L"vorgabe")) << schlüssel << L"|" << name;
    }
}

// The picker of another process, over its owner, with the text it was given: a folder on the
// desktop typed into its tree comes back. A program gets its parameters in a normal window, and
// its start does not wait for it: the helper waits for an event set only after the return.
TEST(Dienste, FolderPickerAndStartedProgramsGetWhatTheyAreHanded) {
    const std::wstring exe = HelferProgramm();
    const std::wstring text = L"Bitte wählen Sie den Ordner für eMule aus";
    ::TempOrdner ordner;
    const std::wstring wahl = ordner.Pfad() + L"\\w", gewählt = SpeziellerOrdner(CSIDL_DESKTOPDIRECTORY) + L"Wahl";
    ASSERT_TRUE(CreateDirectoryW(gewählt.c_str(), nullptr));
    auto prozess = Treiber::Prozess::Starten(exe, L"ordner \"" + wahl + L"\" \"" + text + L"\"");
    ASSERT_TRUE(prozess);
    const HWND besitzer = Treiber::FensterWarten(L"Helfer Besitzer", 20000, prozess->Id());
    HWND dialog = nullptr;
    for (int i = 0; i < 400 && !dialog; ++i, Sleep(50))
        for (const auto& fenster : Treiber::FensterAuflisten(prozess->Id()))
            if (fenster.sichtbar && fenster.klasse == L"#32770") dialog = fenster.hwnd;
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), besitzer);
    EXPECT_TRUE(Enthält(Treiber::AlleTexte(dialog), text)) << ::testing::PrintToString(Treiber::AlleTexte(dialog));
    for (const auto& kind : Treiber::KinderAuflisten(dialog))
        if (kind.klasse == L"SysTreeView32")
            for (const wchar_t zeichen : std::wstring(L"Wahl")) PostMessageW(kind.hwnd, WM_CHAR, zeichen, 1);
    ASSERT_TRUE(Treiber::KnopfKlicken(dialog, L"OK"));
    EXPECT_EQ(AusgabeWarten(wahl), gewählt + L'\0');
    RemoveDirectoryW(gewählt.c_str());

    const std::wstring ausgabe = ordner.Pfad() + L"\\p", job = ordner.Pfad() + L"\\Job Liste.lst";
    const Handles::Handle ereignis(CreateEventW(nullptr, TRUE, FALSE, L"lwStart"));
    EXPECT_GT(ProgrammStarten(exe, L"argumente \"" + ausgabe + L"\" --warten lwStart \"" + job + L"\" Prüf"), 32);
    SetEvent(ereignis.Get());
    EXPECT_EQ(AusgabeWarten(ausgabe), job + L"\nPrüf\nzeigen=1\nereignis=ja\n");
    EXPECT_LE(ProgrammStarten(ordner.Pfad() + L"\\fehlt.exe", L"x"), 32);
}

// Files go to the desktop's Trash (each test program has its own) with where they came from, up
// to the first missing one. Wine's shell would delete long and relative paths by their names in
// the current folder and follow links, and takes nothing from a write-protected stick while
// reporting success: such files stay, each named in the log.
TEST(Dienste, FilesGoToTheTrashRestorablyAndUnsafeOnesStay) {
    Laufwerk stick{L'R', 1};
    ASSERT_TRUE(stick.Bereit()) << stick.Fehler();
    const std::wstring geschützt = stick.Wurzel() + L"\\geschuetzt.dat";
    Schreiben(geschützt, "g");
    ASSERT_TRUE(stick.Schreibschützen());
    ::TempOrdner ordner, aktuell;
    const std::wstring erste = ordner.Datei(L"erste.met", "erste"), nurLesen = ordner.Datei(L"zwei.dat", "zwei");
    SetFileAttributesW(nurLesen.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::wstring relativ = aktuell.Datei(L"relativ.dat"), link = ordner.Pfad() + L"\\link.dat";
    ASSERT_TRUE(WinePfade::UnixLinkAnlegen(link, relativ));
    ASSERT_TRUE(SetCurrentDirectoryW(aktuell.Pfad().c_str()));
    const std::wstring lang = Anlegen(TieferOrdner(ordner.Pfad(), 290) + L"\\lang.dat");

    Protokoll protokoll;
    EXPECT_EQ(DateienInPapierkorb({}), 0);
    const std::wstring bleiben[] = {lang, L"relativ.dat", link, ordner.Pfad(), geschützt, ordner.Datei(L"danach.dat")};
    DateienInPapierkorb({erste, lang, L"relativ.dat", link, geschützt, nurLesen, ordner.Pfad(), bleiben[5]});
    const std::wstring korb = Treiber::UnixPfadNachWindows(std::getenv("XDG_DATA_HOME")) + L"\\Trash\\";
    for (const auto& [pfad, inhalt] : {std::pair{erste, "erste"}, std::pair{nurLesen, "zwei"}}) {
        const std::wstring name = DateinameZurückgeben(pfad);
        EXPECT_FALSE(DateiExistiert(pfad)) << name;
        EXPECT_EQ(Lesen(korb + L"files\\" + name), inhalt) << name;
        EXPECT_TRUE(Inhalt(korb + L"info\\" + name + L".trashinfo").find("Path=" + WinePfade::UnixPfad(pfad) + "\n") !=
                    std::string::npos);
    }
    for (const std::wstring& pfad : bleiben) EXPECT_TRUE(Existiert(L"\\\\?\\" + VollständigerPfad(pfad))) << pfad;
    ASSERT_EQ(protokoll.Zeilen().size(), 5u) << ::testing::PrintToString(protokoll.Zeilen());
    for (size_t i = 0; i < 5; ++i) EXPECT_NE(protokoll.Zeilen()[i].find(L"'" + bleiben[i] + L"'"), std::wstring::npos);
    SetCurrentDirectoryW(ordner.Pfad().c_str());
}
