#include "DateienVerarbeiten.h"

#include "Dateien.h"
#include "modFunktionen.h"
#include "Protokoll.h"
#include "ProgrammEinstellungen.h"
#include "SkriptBenutzer.h"
#include "TempOrdner.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

using namespace modVerteilung;
namespace pe = modProgrammEinstellungen;

TEST(Verteilung, ClassesFollowTheExactExtension) {
    const std::pair<std::wstring, Funktion> kFälle[] = {
        {L"C:\\T\\a.dat", Kazaa},          {L"C:\\T\\Lied.DAT", WinMX},      {L"C:\\T\\x.lst", GetRight},
        {L"C:\\T\\x.grx", GetRight},       {L"C:\\T\\x.urls", GetRight},     {L"C:\\T\\x.met", EMule},
        {L"C:\\T\\x.part", EMule},         {L"C:\\T\\x.Part", WinMX},        {L"C:\\T\\x.part.met", EMule},
        {L"C:\\T\\datei", WinMX},          {L"C:\\a.dat\\datei", WinMX},     {L"C:\\T\\optionen.opt.dat", Kazaa},
    };
    for (const auto& [pfad, soll] : kFälle) EXPECT_EQ(FunktionBestimmen(pfad), soll) << pfad;
}

namespace {

// The client programs are copies of a recorder; each start leaves one record.
class Aufrufe {
public:
    Aufrufe() { SetEnvironmentVariableW(L"LW_AUFRUFE", ordner.Pfad().c_str()); }
    ~Aufrufe() { SetEnvironmentVariableW(L"LW_AUFRUFE", nullptr); }

    static void Attrappe(const std::wstring& ziel) {
        EXPECT_TRUE(CopyFileW(HelferProgramm().c_str(), ziel.c_str(), FALSE)) << ziel;
    }

    // Waits until n programs have recorded their start; the records sorted.
    std::vector<std::wstring> Warten(size_t n) const {
        std::vector<std::wstring> zeilen;
        for (int versuch = 0; versuch < 1000; ++versuch) {
            zeilen.clear();
            WIN32_FIND_DATAW daten{};
            HANDLE suche = FindFirstFileW((ordner.Pfad() + L"\\*.txt").c_str(), &daten);
            if (suche != INVALID_HANDLE_VALUE) {
                do {
                    const auto inhalt = Lesen(ordner.Pfad() + L"\\" + daten.cFileName);
                    if (inhalt) zeilen.emplace_back(reinterpret_cast<const wchar_t*>(inhalt->data()), inhalt->size() / 2);
                } while (FindNextFileW(suche, &daten));
                FindClose(suche);
            }
            if (zeilen.size() >= n) break;
            Sleep(20);
        }
        std::sort(zeilen.begin(), zeilen.end());
        return zeilen;
    }

private:
    TempOrdner ordner;
};

}  // namespace

TEST(Verteilung, AFolderOfJobFilesReachesTheClientsWhichStartAgain) {
    TempOrdner t;
    const std::wstring T = t.Pfad();
    for (const wchar_t* ordner : {L"\\Kazaa", L"\\Kazaa\\My Shared Folder", L"\\eMule", L"\\Get Right", L"\\WinMX", L"\\Temp"})
        CreateDirectoryW((T + ordner).c_str(), nullptr);
    RegistryTextSetzen(HKEY_LOCAL_MACHINE, L"SOFTWARE\\KaZaA\\Cloudload", L"ExeDir", T + L"\\Kazaa\\Kazaa.exe");
    RegistryTextSetzen(HKEY_CURRENT_USER, L"SOFTWARE\\KaZaA\\LocalContent", L"DownloadDir", T + L"\\Kazaa\\My Shared Folder");
    RegistryTextSetzen(HKEY_CLASSES_ROOT, L"ed2k\\shell\\open\\command", L"", L"\"" + T + L"\\eMule\\emule.exe\" \"%1\"");
    RegistryTextSetzen(HKEY_CURRENT_USER, L"Software\\Headlight\\GetRight\\Config", L"InstallDir", T + L"\\Get Right");
    const std::string temp(T.begin(), T.end());  // test folders have ASCII names
    Schreiben(T + L"\\eMule\\preferences.ini", "TempDir=" + temp + "\\eMule\\Temp\r\n");

    Aufrufe aufrufe;
    for (const wchar_t* programm : {L"\\Kazaa\\kpp.exe", L"\\Kazaa\\Kazaa.exe", L"\\eMule\\gdonkey.exe",
                                    L"\\Get Right\\Getright.exe", L"\\WinMX\\Winmx.exe"})
        Aufrufe::Attrappe(T + programm);
    Schreiben(T + L"\\Kazaa\\My Shared Folder\\a.dat", "schon da");

    std::vector<std::wstring> dateien;
    for (const auto& [name, inhalt] : std::vector<std::pair<std::wstring, std::string>>{
             {L"a.dat", "a"}, {L"b.part", "b"}, {L"c.met", "c"}, {L"liste 1.grx", "g"}, {L"Lied.DAT", "w"}}) {
        dateien.push_back(T + L"\\Temp\\" + name);
        Schreiben(dateien.back(), inhalt);
    }
    dateien.insert(dateien.begin() + 2, T + L"\\Temp\\weg.dat");

    // A list of that name from an earlier package stays GetRight's.
    std::wstring listen(GetTempPathW(0, nullptr) + 1, L'\0');
    listen.resize(GetTempPathW(static_cast<DWORD>(listen.size()), listen.data()));
    listen += L"Ladewerk-GetRight";
    CreateDirectoryW(listen.c_str(), nullptr);
    Schreiben(listen + L"\\liste 1.grx", "alt");

    SkriptBenutzer person;
    person.WähleOrdner(T + L"\\WinMX");  // WinMX is not installed: the user names its folder,
    person.WähleOrdner(std::nullopt);    // but cancels the download folder
    person.WähleOrdner(std::nullopt);    // eMule's temp folder does not exist yet: it is made
    person.Antworte(1);                  // a.dat exists: rename
    Protokoll protokoll;
    pe::OrdnerZurücksetzen();
    // The missing weg.dat and the WinMX file without a folder did not arrive.
    EXPECT_EQ(DateienVerarbeiten(dateien, T + L"\\Temp"), 2);

    const std::wstring kazaaDl = T + L"\\Kazaa\\My Shared Folder";
    const std::vector<std::wstring> kProtokoll = {
        L"Starte Verarbeitungs-Prozedur...",
        L"Lese Programm-Einstellungen (Registerdatenbank/Dateisystem)...",
        L"Teile Dateien auf...",
        L"Schließe Anwendungen...",
        L"Prüfe Einstellungen...",
        L"Achtung: Das Programm 'WinMX' wurde nicht gefunden.",
        L"Achtung: Der 'WinMX'-Download-Ordner wurde nicht gefunden.",
        L"Achtung: Der 'EMule/EDonkey'-Download-Ordner wurde nicht gefunden.",
        L"Verarbeite Dateien...",
        L"Verschiebe Datei 'a.dat' nach '" + kazaaDl + L"'",
        L"Achtung: Die Datei 'a.dat' wurde unter dem Namen 'a-0.dat' abgelegt",
        L"Verschiebe Datei 'b.part' nach '" + T + L"\\eMule\\Temp'",
        L"Achtung: Datei '" + T + L"\\Temp\\weg.dat' existiert nicht",
        L"Verschiebe Datei 'c.met' nach '" + T + L"\\eMule\\Temp'",
        L"Führe Datei 'liste 1.grx' mit GetRight aus",
        L"Achtung: Die Datei 'Lied.DAT' wurde nicht verarbeitet, da kein Ordner für sie gewählt wurde",
        L"Starte Anwendungen...",
        L"Verarbeitungs-Prozedur beendet",
    };
    EXPECT_EQ(protokoll.Zeilen(), kProtokoll);
    ASSERT_EQ(person.Fragen().size(), 4u);
    EXPECT_EQ(person.Fragen()[0].meldung.text,
              L"Das Programm 'WinMX' wurde nicht gefunden. Bitte wählen Sie den Programm-Ordner...");
    // A download folder is looked for where its client lives.
    EXPECT_EQ(person.Fragen()[0].startordner, L"");
    EXPECT_EQ(person.Fragen()[1].startordner, T + L"\\WinMX");
    EXPECT_EQ(person.Fragen()[2].startordner, T + L"\\eMule");
    EXPECT_EQ(person.Fragen()[2].meldung.text,
              L"Der 'EMule/EDonkey'-Download-Ordner wurde nicht gefunden. Bitte wählen Sie diesen aus...");
    EXPECT_EQ(person.Fragen()[3].art, L"DateiExistiert");

    EXPECT_EQ(Inhaltsliste(kazaaDl), L"a-0.dat a.dat");
    EXPECT_EQ(Lesen(kazaaDl + L"\\a-0.dat"), "a");
    EXPECT_EQ(Inhaltsliste(T + L"\\eMule\\Temp"), L"b.part c.met");
    // What was not moved stays where it was: the WinMX file. The GetRight list
    // outlives the working folder.
    EXPECT_EQ(Inhaltsliste(T + L"\\Temp"), L"Lied.DAT");
    EXPECT_EQ(Lesen(listen + L"\\liste 1.grx"), "alt");
    EXPECT_EQ(Lesen(listen + L"\\liste 1-0.grx"), "g");

    const std::vector<std::wstring> kAufrufe = {
        T + L"\\Get Right\\Getright.exe|\"" + listen + L"\\liste 1-0.grx\"",
        T + L"\\Kazaa\\kpp.exe|",
        T + L"\\WinMX\\Winmx.exe|",
        T + L"\\eMule\\gdonkey.exe|",
    };
    EXPECT_EQ(aufrufe.Warten(kAufrufe.size()), kAufrufe);
    for (const wchar_t* schlüssel : {L"SOFTWARE\\KaZaA", L"Software\\Headlight"}) {
        RegDeleteTreeW(HKEY_CURRENT_USER, schlüssel);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, schlüssel);
    }
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"ed2k");
    for (const wchar_t* name : {L"\\liste 1.grx", L"\\liste 1-0.grx"}) DeleteFileW((listen + name).c_str());
}

// Every job file's outcome is in the log, and every file that did not arrive is counted.
TEST(Verteilung, EveryOutcomeIsLoggedAndEveryMissingFileCounted) {
    struct Fall {
        std::wstring downloadOrdner;  // "T" stands for the test's folder
        const wchar_t* dort;          // what is called a.dat in the download folder already
        int antwort;                  // to the conflict question; 0: none asked
        std::vector<std::wstring> zeilen;  // the warnings and moves
        int nichtAngekommen;
        std::wstring exeDir = L"T\\Kazaa\\";
    };
    const std::wstring verschiebe = L"Verschiebe Datei 'a.dat' nach '";
    const Fall kFälle[] = {
        {L"T\\dl", L"Datei", 2, {verschiebe + L"T\\dl'", L"Achtung: Die vorhandene Datei 'T\\dl\\a.dat' wurde ersetzt"}, 0},
        {L"T\\dl", L"Datei", 4, {verschiebe + L"T\\dl'", L"Achtung: Die Datei 'a.dat' wurde nicht verarbeitet, da sie übersprungen wurde"}, 1},
        // A folder of that name: no question, and the move fails.
        {L"T\\dl", L"Ordner", 0,
         {verschiebe + L"T\\dl'", L"Achtung: Es ist ein Fehler beim Ändern des Dateinamens 'T\\Temp\\a.dat' aufgetreten. "}, 1},
        // eMule's "TempDir=." and the like would be this program's current folder.
        {L".", L"", 0,
         {L"Achtung: Der 'Kazaa (lite)/Morpheus/Grokster'-Download-Ordner wurde nicht gefunden.",
          L"Achtung: Die Datei 'a.dat' wurde nicht verarbeitet, da kein Ordner für sie gewählt wurde"}, 1},
        // Deleted with the working folder right after; a program there came with the package.
        {L"T\\TEMP\\Kazaa", L"", 0,
         {L"Achtung: Die Datei 'a.dat' wurde nicht verarbeitet, da der Ordner 'T\\TEMP\\Kazaa' im Arbeitsordner liegt",
          L"Achtung: Das Programm 'T\\Temp\\Kazaa\\kpp.exe' wird nicht gestartet, da es im Arbeitsordner liegt"}, 1,
         L"T\\Temp\\Kazaa\\"},
    };
    for (const auto& fall : kFälle) {
        TempOrdner t;
        const std::wstring T = t.Pfad();
        const auto mitT = [&](std::wstring text) { return modFunktionen::TextErsetzen(text, L"'T\\", L"'" + T + L"\\"); };
        for (const wchar_t* ordner : {L"\\Kazaa", L"\\dl", L"\\Temp", L"\\Temp\\Kazaa"}) CreateDirectoryW((T + ordner).c_str(), nullptr);
        if (fall.dort == std::wstring(L"Datei")) Schreiben(T + L"\\dl\\a.dat", "alt");
        if (fall.dort == std::wstring(L"Ordner")) CreateDirectoryW((T + L"\\dl\\a.dat").c_str(), nullptr);
        const std::wstring a = T + L"\\Temp\\a.dat";
        Schreiben(a, "neu");
        Schreiben(T + L"\\Temp\\Kazaa\\kpp.exe", "MZ");
        RegistryTextSetzen(HKEY_LOCAL_MACHINE, L"SOFTWARE\\KaZaA\\Cloudload", L"ExeDir", mitT(L"'" + fall.exeDir).substr(1));
        RegistryTextSetzen(HKEY_CURRENT_USER, L"SOFTWARE\\KaZaA\\LocalContent", L"DownloadDir",
                           mitT(L"'" + fall.downloadOrdner).substr(1));

        SkriptBenutzer person;
        if (fall.downloadOrdner == L".") person.WähleOrdner(std::nullopt);
        if (fall.antwort) person.Antworte(fall.antwort);
        Protokoll protokoll;
        pe::OrdnerZurücksetzen();
        EXPECT_EQ(DateienVerarbeiten({a}, T + L"\\Temp"), fall.nichtAngekommen) << fall.downloadOrdner << fall.antwort;

        std::vector<std::wstring> ist, soll(fall.zeilen.size());
        std::copy_if(protokoll.Zeilen().begin(), protokoll.Zeilen().end(), std::back_inserter(ist),
                     [](const std::wstring& z) { return z.starts_with(L"Achtung") || z.starts_with(L"Verschiebe"); });
        std::transform(fall.zeilen.begin(), fall.zeilen.end(), soll.begin(), mitT);
        // A reason from the system ends the line of a failed move.
        const auto gleich = [](const std::wstring& zeile, const std::wstring& anfang) { return zeile.starts_with(anfang); };
        EXPECT_TRUE(std::equal(ist.begin(), ist.end(), soll.begin(), soll.end(), gleich))
            << ::testing::PrintToString(ist) << "\n" << ::testing::PrintToString(soll);
        EXPECT_EQ(person.OffeneAntworten(), 0u);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\KaZaA");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\KaZaA");
}
