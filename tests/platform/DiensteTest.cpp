// The services of the system under Wine: the real registry, folder picker, program start and Trash.

#include "Dateien.h"
#include "Handles.h"
#include "Laufwerk.h"
#include "Protokoll.h"
#include "Shell.h"
#include "TempOrdner.h"
#include "Treiber.h"
#include "WinePfade.h"
#include "modEinstellungen.h"
#include "modFunktionen.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdlib>

using namespace std::string_literals;
using namespace modFunktionen;

namespace {

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

// Values as other programs store them, in every form, under every root; anything else gives the
// default. No root given is the user's.
TEST(Dienste, RegistryValuesArriveIntactOrGiveTheDefault) {
    const std::wstring k = L"Software\\LadewerkTest", o = L"C:\\Programme\\Kazaa\\My Shared Folder";
    SetEnvironmentVariableW(L"LADEWERK_TESTZIEL", L"D:\\Ziel");
    const std::tuple<HKEY, std::wstring, std::wstring, DWORD, std::vector<BYTE>, std::optional<std::wstring>> kFälle[] = {
        {HKEY_CURRENT_USER, k, L"MitEnde", REG_SZ, Bytes(o), o},
        {HKEY_CURRENT_USER, k, L"OhneEnde", REG_SZ, Bytes(o, false), o},
        {HKEY_CURRENT_USER, k, L"HalbesZeichen", REG_SZ, {'C'}, L""},
        {HKEY_CURRENT_USER, k, L"RestHinterEnde", REG_SZ, Bytes(L"C:\\a\0alt"s, false), L"C:\\a"},
        {HKEY_CURRENT_USER, k, L"Erweiterbar", REG_EXPAND_SZ, Bytes(L"%LADEWERK_TESTZIEL%\\D"), L"D:\\Ziel\\D"},
        {HKEY_CURRENT_USER, k, L"Negativ", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, L"-1"},
        {HKEY_CLASSES_ROOT, L"lwtest\\shell\\open\\command", L"", REG_SZ, Bytes(L"\"C:\\e.exe\" \"%1\""), L"\"C:\\e.exe\" \"%1\""},
        {HKEY_LOCAL_MACHINE, k, L"Maschine", REG_SZ, Bytes(L"C:\\M"), L"C:\\M"},
        {HKEY_CURRENT_USER, k, L"Fehlt", REG_NONE, {}, std::nullopt},
        {HKEY_CURRENT_USER, k + L"\\Fehlt", L"MitEnde", REG_NONE, {}, std::nullopt},
        {HKEY_CURRENT_USER, L"", L"MitEnde", REG_NONE, {}, std::nullopt},
        {HKEY_CURRENT_USER, k, L"Binär", REG_BINARY, {1, 2, 3}, std::nullopt},
        {HKEY_CURRENT_USER, k, L"Kurz", REG_DWORD, {7}, std::nullopt},
    };
    for (const auto& [wurzel, schlüssel, name, typ, daten, soll] : kFälle) {
        const DWORD länge = DWORD(daten.size());
        ASSERT_EQ(typ == REG_NONE ? 0 : RegSetKeyValueW(wurzel, schlüssel.c_str(), name.c_str(), typ, daten.data(), länge), 0);
        std::wstring ziel = L"alt";
        const HKEY lesen = wurzel == HKEY_CURRENT_USER ? nullptr : wurzel;
        EXPECT_EQ(modEinstellungen::SpezielleEinstellungLesen(schlüssel, name, ziel, L"vorgabe", lesen), bool(soll)) << name;
        EXPECT_EQ(ziel, soll.value_or(L"vorgabe")) << schlüssel << L"|" << name;
    }
}

// The picker of another process, over its owner, with the text it was given: a folder on the
// desktop typed into its tree comes back. A program gets its parameters in a normal window, and
// its start does not wait for it: the helper waits for an event set only after the return.
TEST(Dienste, FolderPickerAndStartedProgramsGetWhatTheyAreHanded) {
    const char* helfer = std::getenv("LADEWERK_HELFER");
    ASSERT_TRUE(helfer) << "LADEWERK_HELFER fehlt";
    const std::wstring exe = Treiber::UnixPfadNachWindows(helfer), text = L"Bitte wählen Sie den Ordner für eMule aus";
    TempOrdner ordner;
    const std::wstring gewählt = SpeziellerOrdner(CSIDL_DESKTOPDIRECTORY) + L"Ladewerk Wahl", wahl = ordner.Pfad() + L"\\w";
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
            for (const wchar_t zeichen : std::wstring(L"Ladewerk Wahl")) PostMessageW(kind.hwnd, WM_CHAR, zeichen, 1);
    ASSERT_TRUE(Treiber::KnopfKlicken(dialog, L"OK"));
    EXPECT_EQ(AusgabeWarten(wahl), gewählt + L'\0');
    RemoveDirectoryW(gewählt.c_str());

    const std::wstring ausgabe = ordner.Pfad() + L"\\p", job = ordner.Pfad() + L"\\Job Liste.lst";
    const Handles::Handle ereignis(CreateEventW(nullptr, TRUE, FALSE, L"LadewerkTestStart"));
    EXPECT_GT(ProgrammStarten(exe, L"argumente \"" + ausgabe + L"\" --warten LadewerkTestStart \"" + job + L"\" Prüf"), 32);
    SetEvent(ereignis.Get());
    EXPECT_EQ(AusgabeWarten(ausgabe), job + L"\nPrüf\nzeigen=1\nereignis=ja\n");
    EXPECT_LE(ProgrammStarten(ordner.Pfad() + L"\\fehlt.exe", L"x"), 32);
}

// Files go to the desktop's Trash (each test program has its own) with where they came from, up
// to the first missing one. Wine's shell would delete long and relative paths by their names in
// the current folder and follow links, and takes nothing from a write-protected stick while
// reporting success: such files stay, each named in the log.
TEST(Papierkorb, FilesGoToTheTrashRestorablyAndUnsafeOnesStay) {
    const char* daten = std::getenv("XDG_DATA_HOME");
    ASSERT_TRUE(daten) << "XDG_DATA_HOME fehlt";
    Laufwerk stick{L'R', 1};
    ASSERT_TRUE(stick.Bereit()) << stick.Fehler();
    const std::wstring geschützt = stick.Wurzel() + L"\\geschuetzt.dat";
    Schreiben(geschützt, "g");
    ASSERT_TRUE(stick.Schreibschützen());
    TempOrdner ordner, aktuell;
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
    const std::wstring korb = Treiber::UnixPfadNachWindows(daten) + L"\\Trash\\";
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
