// The shell's services under Wine, with the real shell, file associations and Trash.

#include "Dateien.h"
#include "Handles.h"
#include "Laufwerk.h"
#include "Shell.h"
#include "Protokoll.h"
#include "TempOrdner.h"
#include "Treiber.h"
#include "WinePfade.h"
#include "modFunktionen.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr DWORD kWarten = 20000;

std::wstring Helfer() {
    const char* pfad = std::getenv("LADEWERK_HELFER");
    return pfad ? Treiber::UnixPfadNachWindows(pfad) : L"";
}

// The helper writes its output file whole, so it is complete once it exists.
std::optional<std::wstring> AusgabeWarten(const std::wstring& pfad) {
    for (int i = 0; i < 400 && !modFunktionen::DateiExistiert(pfad); ++i) Sleep(50);
    if (!modFunktionen::DateiExistiert(pfad)) return std::nullopt;
    const std::string bytes = Lesen(pfad).value_or("");
    std::wstring inhalt(bytes.size() / sizeof(wchar_t), L'\0');
    memcpy(inhalt.data(), bytes.data(), inhalt.size() * sizeof(wchar_t));
    return inhalt;
}

void Befehl(const std::wstring& schlüssel, const std::wstring& ausgabe) {
    RegistryTextSetzen(HKEY_CLASSES_ROOT, schlüssel + L"\\shell\\open\\command", nullptr,
                       L"\"" + Helfer() + L"\" argumente \"" + ausgabe + L"\" \"%1\"");
}

HWND DialogWarten(DWORD prozessId) {
    for (int i = 0; i < 400; ++i) {
        for (const auto& fenster : Treiber::FensterAuflisten(prozessId))
            if (fenster.sichtbar && fenster.klasse == L"#32770") return fenster.hwnd;
        Sleep(50);
    }
    return nullptr;
}

HWND Kind(HWND fenster, const std::wstring& klasse) {
    for (const auto& kind : Treiber::KinderAuflisten(fenster))
        if (kind.klasse == klasse) return kind.hwnd;
    return nullptr;
}

// The desktop's Trash, which Wine's recycle bin is; each test program has its own.
std::wstring Papierkorb() {
    const char* daten = std::getenv("XDG_DATA_HOME");
    return daten ? Treiber::UnixPfadNachWindows(daten) + L"\\Trash" : L"";
}

// The "Path=" of a .trashinfo file, with its %XX escapes resolved.
std::string UrsprungLesen(const std::wstring& info) {
    const std::string text = Lesen(info).value_or("");
    const size_t anfang = text.find("Path=");
    if (anfang == std::string::npos) return {};
    const std::string roh = text.substr(anfang + 5, text.find('\n', anfang) - anfang - 5);
    std::string pfad;
    for (size_t i = 0; i < roh.size(); ++i) {
        if (roh[i] == '%' && i + 2 < roh.size()) {
            pfad += static_cast<char>(std::stoi(roh.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            pfad += roh[i];
        }
    }
    return pfad;
}

}  // namespace

// The real picker in another process, driven as a person would: a folder on the desktop is
// chosen by typing its name into the tree, or the picker is cancelled.
TEST(Ordnerwahl, RealPickerOverItsOwnerChoosesTypedFolderOrCancels) {
    ASSERT_FALSE(Helfer().empty()) << "LADEWERK_HELFER fehlt";
    std::wstring desktop(MAX_PATH, L'\0');
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop.data()), S_OK);
    desktop.resize(desktop.find(L'\0'));
    const std::wstring gewählt = desktop + L"\\Ladewerk Wahl";
    ASSERT_TRUE(CreateDirectoryW(gewählt.c_str(), nullptr));
    TempOrdner ordner;
    const std::wstring text = L"Bitte wählen Sie den Ordner für eMule aus";

    struct Fall {
        const wchar_t* knopf;
        std::wstring soll;
    } const fälle[] = {{L"OK", gewählt + L'\0'}, {L"Abbrechen", L""}};
    int nummer = 0;
    for (const auto& [knopf, soll] : fälle) {
        const std::wstring ausgabe = ordner.Pfad() + L"\\wahl" + std::to_wstring(++nummer);
        auto prozess = Treiber::Prozess::Starten(Helfer(), L"ordner \"" + ausgabe + L"\" \"" + text + L"\"");
        ASSERT_TRUE(prozess);
        const HWND dialog = DialogWarten(prozess->Id());
        ASSERT_TRUE(dialog);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), Treiber::FensterWarten(L"Helfer Besitzer", kWarten, prozess->Id()));
        const auto texte = Treiber::AlleTexte(dialog);
        EXPECT_NE(std::find(texte.begin(), texte.end(), text), texte.end()) << ::testing::PrintToString(texte);

        const HWND baum = Kind(dialog, L"SysTreeView32");
        ASSERT_TRUE(baum);
        for (const wchar_t zeichen : std::wstring(L"Ladewerk Wahl")) PostMessageW(baum, WM_CHAR, zeichen, 1);
        ASSERT_TRUE(Treiber::KnopfKlicken(dialog, knopf));
        EXPECT_TRUE(prozess->EndeWarten(kWarten));
        EXPECT_EQ(AusgabeWarten(ausgabe), soll) << knopf;
    }
    RemoveDirectoryW(gewählt.c_str());
}

// Documents and addresses go to the program registered for them; a program gets its
// parameters. ProgrammStarten returns before the started program ends: the helper waits for an
// event that is only set after the return.
TEST(ProgrammStarten, OpensDocumentsAddressesAndProgramsWithParametersWithoutWaiting) {
    ASSERT_FALSE(Helfer().empty()) << "LADEWERK_HELFER fehlt";
    TempOrdner ordner;
    const std::wstring ausgabeDokument = ordner.Pfad() + L"\\dokument.txt";
    const std::wstring ausgabeAdresse = ordner.Pfad() + L"\\adresse.txt";
    const std::wstring ausgabeProgramm = ordner.Pfad() + L"\\programm.txt";
    RegistryTextSetzen(HKEY_CLASSES_ROOT, L".lwtestliste", nullptr, L"LadewerkTest.Liste");
    Befehl(L"LadewerkTest.Liste", ausgabeDokument);
    RegistryTextSetzen(HKEY_CLASSES_ROOT, L"lwtest", nullptr, L"URL:Ladewerk-Test");
    RegistryTextSetzen(HKEY_CLASSES_ROOT, L"lwtest", L"URL Protocol", L"");
    Befehl(L"lwtest", ausgabeAdresse);
    const std::wstring dokument = ordner.Datei(L"Downloads von Ühlen.lwtestliste");

    EXPECT_GT(modFunktionen::ProgrammStarten(dokument, L""), 32.0);
    EXPECT_EQ(AusgabeWarten(ausgabeDokument), dokument + L"\nzeigen=1\n");

    EXPECT_GT(modFunktionen::ProgrammStarten(L"lwtest://beispiel.de/seite?a=1", L""), 32.0);
    EXPECT_EQ(AusgabeWarten(ausgabeAdresse), L"lwtest://beispiel.de/seite?a=1\nzeigen=1\n");

    const Handles::Handle ereignis(CreateEventW(nullptr, TRUE, FALSE, L"LadewerkTestStart"));
    const std::wstring job = ordner.Pfad() + L"\\Job Liste.lst";
    EXPECT_GT(modFunktionen::ProgrammStarten(
                  Helfer(), L"argumente \"" + ausgabeProgramm + L"\" --warten LadewerkTestStart \"" + job + L"\" Prüf"),
              32.0);
    SetEvent(ereignis.Get());
    EXPECT_EQ(AusgabeWarten(ausgabeProgramm), job + L"\nPrüf\nzeigen=1\nereignis=ja\n");

    EXPECT_LE(modFunktionen::ProgrammStarten(ordner.Pfad() + L"\\fehlt.exe", L"x"), 32.0);
}

// A file in the Trash can be put back where its .trashinfo says it came from.
TEST(Papierkorb, FilesArriveInTheTrashAndCanBeRestoredUpToTheFirstMissingOne) {
    ASSERT_FALSE(Papierkorb().empty()) << "XDG_DATA_HOME fehlt";
    TempOrdner ordner;
    const std::wstring erste = ordner.Datei(L"Job Eins.met", "erste");
    const std::wstring schreibgeschützt = ordner.Datei(L"zwei.dat", "zwei");
    SetFileAttributesW(schreibgeschützt.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::wstring fehlt = ordner.Pfad() + L"\\fehlt.dat";
    const std::wstring danach = ordner.Datei(L"danach.dat");

    Protokoll protokoll;
    EXPECT_EQ(modFunktionen::DateienInPapierkorb({erste, schreibgeschützt, fehlt, danach}), 0);
    EXPECT_EQ(protokoll.Zeilen(), std::vector<std::wstring>{L"DateienInPapierkorb: Fehler beim Löschen - Datei '" +
                                                            fehlt + L"' existiert nicht"});
    EXPECT_TRUE(modFunktionen::DateiExistiert(danach));

    for (const auto& [pfad, inhalt] : {std::pair{erste, "erste"}, std::pair{schreibgeschützt, "zwei"}}) {
        const std::wstring name = modFunktionen::DateinameZurückgeben(pfad);
        EXPECT_FALSE(modFunktionen::DateiExistiert(pfad)) << name;
        const std::wstring imKorb = Papierkorb() + L"\\files\\" + name;
        EXPECT_EQ(Lesen(imKorb), inhalt) << name;
        const std::string ursprung = UrsprungLesen(Papierkorb() + L"\\info\\" + name + L".trashinfo");
        EXPECT_EQ(ursprung, WinePfade::UnixPfad(pfad)) << name;
        ASSERT_TRUE(MoveFileW(imKorb.c_str(), Treiber::UnixPfadNachWindows(ursprung).c_str())) << name;
        EXPECT_EQ(Lesen(pfad), inhalt) << name;
    }
}

TEST(Papierkorb, NothingGoesToTheShellWhenTheFirstIsMissingOrTheListEmpty) {
    TempOrdner ordner;
    const std::wstring datei = ordner.Datei(L"bleibt.dat");
    Protokoll protokoll;
    EXPECT_EQ(modFunktionen::DateienInPapierkorb({}), 0);
    EXPECT_EQ(modFunktionen::DateienInPapierkorb({ordner.Pfad() + L"\\fehlt.dat", datei}), 0);
    // A folder is no file: its tree never reaches the shell's delete.
    EXPECT_EQ(modFunktionen::DateienInPapierkorb({ordner.Pfad(), datei}), 0);
    EXPECT_TRUE(modFunktionen::DateiExistiert(datei));
    EXPECT_EQ(protokoll.Zeilen().size(), 2u);
}

// Wine's shell would delete by relative names in the current folder for long paths and follow
// links; such files are left where they are and named in the log, as are files the shell could
// not take (a write-protected stick).
TEST(Papierkorb, FilesThatCannotGoStayAndTheCurrentFolderStaysWhole) {
    Laufwerk stick{L'R', 1};
    ASSERT_TRUE(stick.Bereit()) << stick.Fehler();
    const std::wstring geschützt = stick.Wurzel() + L"\\geschuetzt.dat";
    { const Handles::Datei d(CreateFileW(geschützt.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)); }
    ASSERT_TRUE(stick.Schreibschützen());
    TempOrdner ordner, aktuell, fremd;
    const std::wstring wächter = aktuell.Datei(L".wächter");
    const std::wstring relativ = aktuell.Datei(L"relativ.dat");
    ASSERT_TRUE(SetCurrentDirectoryW(aktuell.Pfad().c_str()));
    const std::wstring lang = Anlegen(TieferOrdner(ordner.Pfad(), 290) + L"\\lang.dat");
    const std::wstring fremdeDatei = fremd.Datei(L"fremd.dat");
    const std::wstring link = ordner.Pfad() + L"\\link.dat";
    ASSERT_TRUE(WinePfade::UnixLinkAnlegen(link, fremdeDatei));
    const std::wstring normal = ordner.Datei(L"normal.dat");

    Protokoll protokoll;
    modFunktionen::DateienInPapierkorb({lang, L"relativ.dat", link, geschützt, normal});
    EXPECT_FALSE(modFunktionen::DateiExistiert(normal));
    for (const std::wstring& bleibt : {lang, relativ, fremdeDatei, wächter, geschützt})
        EXPECT_TRUE(modFunktionen::DateiExistiert(bleibt)) << bleibt;
    const std::wstring anfang = L"Achtung - DateienInPapierkorb: Datei '";
    EXPECT_EQ(protokoll.Zeilen(),
              (std::vector<std::wstring>{anfang + lang + L"' bleibt liegen, der Pfad ist länger als 259 Zeichen",
                                         anfang + L"relativ.dat' bleibt liegen, der Pfad ist nicht absolut",
                                         anfang + link + L"' bleibt liegen, die Datei ist eine Verknüpfung",
                                         anfang + geschützt + L"' bleibt liegen, der Papierkorb hat sie nicht angenommen"}));
    SetCurrentDirectoryW(ordner.Pfad().c_str());
}
