// Package opening against real archives made by the peers, the real file system, registry and
// Trash of the test prefix; the progress window is a recorder and the person a script.

#include "Empfang.h"
#include "Dateien.h"
#include "Laufwerk.h"
#include "Protokoll.h"
#include "SkriptBenutzer.h"
#include "TempOrdner.h"
#include "modKompression.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>

using namespace Empfang;

namespace {

class Dekompression : public ::testing::Test {
protected:
    std::wstring Ordner(const std::wstring& name) const { return wurzel.Pfad() + L"\\" + name; }
    std::wstring Paket(const std::wstring& name, const Dateien& dateien,
                       const std::optional<std::string>& optionen = "Version=1.10\r\n") {
        return ZipPaket(wurzel, name, dateien, optionen);
    }

    TempOrdner wurzel;
    Clientordner clients = ClientsEinrichten(wurzel);
    SkriptBenutzer person;
};

const std::wstring kEnde = L"Dekompression und Verarbeitung beendet";

std::wstring BleibtErhalten(const std::wstring& paket, int fehlend) {
    return L"Achtung - Die Datei '" + paket + L"' bleibt erhalten, da " + std::to_wstring(fehlend) +
           L" Datei(en) nicht verarbeitet wurden";
}

}  // namespace

TEST_F(Dekompression, OpenedFromTheMainWindowDistributesEveryJobAndClearsAway) {
    const std::wstring paket = Paket(L"Montag.lwx", {{L"Lied.dat", "kazaa-auftrag"}, {L"Film.part", "emule-teil"}});
    const std::string vorher = Inhalt(paket);
    Protokoll log;
    modKompression::DateienDekomprimieren(paket);

    ASSERT_GE(log.Zeilen().size(), 8u) << ::testing::PrintToString(log.Zeilen());
    EXPECT_EQ(std::vector<std::wstring>(log.Zeilen().begin(), log.Zeilen().begin() + 3),
              (std::vector<std::wstring>{L"Bereite DeKompression vor...", L"Lösche Ordner...", L"Starte Dekompression..."}));
    const std::wstring& ergebnis = log.Zeilen()[3];
    EXPECT_TRUE(ergebnis.starts_with(L"Dekompression beendet, Ergebnis:Filename:")) << ergebnis;
    EXPECT_TRUE(ergebnis.ends_with(L"\r\nAnzahl an dekomprimierten Dateien:  3")) << ergebnis;
    EXPECT_EQ(log.Zeilen()[4], L"Suche Dateien...");
    EXPECT_EQ(log.Zeilen()[5], L"Verarbeite Dateien...");
    EXPECT_EQ(std::vector<std::wstring>(log.Zeilen().end() - 2, log.Zeilen().end()),
              (std::vector<std::wstring>{L"Lösche temporäre Ordner und Dateien...", kEnde}));
    EXPECT_EQ(log.Ereignisse(), std::vector<std::wstring>{L"Abschließen"});
    EXPECT_TRUE(person.Fragen().empty());
    EXPECT_EQ(modKompression::Paketversion, L"1.10");

    EXPECT_EQ(Inhalt(clients.kazaaDownloads + L"\\Lied.dat"), "kazaa-auftrag");
    EXPECT_EQ(Inhalt(clients.emuleTemp + L"\\Film.part"), "emule-teil");
    EXPECT_FALSE(Existiert(clients.kazaaDownloads + L"\\optionen.opt"));
    EXPECT_FALSE(Arbeitsordnerreste(Ordner(L"Pakete")));
    EXPECT_FALSE(Existiert(paket));
    EXPECT_EQ(Inhalt(Papierkorb(L"Montag.lwx")), vorher);
}

TEST_F(Dekompression, VersionOfThePackageDecidesWhetherItIsDistributed) {
    const struct {
        const wchar_t* name;
        std::optional<std::string> optionen;
        std::optional<int> antwort;  // the version question is asked exactly when set
        std::vector<std::wstring> zeilen;
        std::wstring paketversion;
        bool verteilt;
    } kFälle[] = {
        {L"OhneOptionen", std::nullopt, {}, {L"Fehler - Kann Optionsdatei nicht finden"}, L"1.00", true},
        {L"KeineZahl", "Version=eins\r\n", {}, {L"Fehler - Kann Optionsdatei nicht verarbeiten"}, L"1.00", true},
        {L"Gleich", "Version=1.10\r\n", {}, {}, L"1.10", true},
        // 1.9 is older than 1.10: versions are numbers, not decimal fractions.
        {L"Aelter", "Version=1.9\r\n", {}, {}, L"1.9", true},
        {L"NeuerJa", "Version=1.11\r\n", IDYES, {L"Achtung - Inkorrekte Version gefunden"}, L"1.11", true},
        {L"NeuerNein", "version=2.00\r\n", IDNO,
         {L"Achtung - Inkorrekte Version gefunden", L"Achtung - Die Verarbeitung wurde abgebrochen"}, L"2.00", false},
    };
    for (const auto& fall : kFälle) {
        SCOPED_TRACE(fall.name);
        const std::wstring job = std::wstring(fall.name) + L".dat";
        const std::wstring paket = Paket(std::wstring(fall.name) + L".lwx", {{job, "auftrag"}}, fall.optionen);
        SkriptBenutzer fallPerson;
        if (fall.antwort) fallPerson.Antworte(*fall.antwort);
        Protokoll log;
        modKompression::DateienDekomprimieren(paket);

        for (const std::wstring& zeile : fall.zeilen) EXPECT_TRUE(Enthält(log.Zeilen(), zeile)) << zeile;
        EXPECT_EQ(Enthält(log.Zeilen(), L"Verarbeite Dateien..."), fall.verteilt);
        EXPECT_EQ(modKompression::Paketversion, fall.paketversion);
        EXPECT_EQ(Existiert(clients.kazaaDownloads + L"\\" + job), fall.verteilt);
        ASSERT_EQ(fallPerson.Fragen().size(), fall.antwort ? 1u : 0u);
        if (fall.antwort) {
            const Interaktion::Meldung& frage = fallPerson.Fragen()[0].meldung;
            EXPECT_EQ(frage.stil, static_cast<UINT>(MB_YESNO | MB_DEFBUTTON2 | MB_ICONEXCLAMATION));
            EXPECT_TRUE(frage.text.starts_with(L"Achtung: Die zu verarbeitende Datei wurde mit der neueren Version " +
                                               fall.paketversion + L" dieser Software erstellt."))
                << frage.text;
        }
        // Declined, the package is the only copy of its job file.
        EXPECT_EQ(Existiert(Papierkorb(std::wstring(fall.name) + L".lwx")), fall.verteilt);
        EXPECT_EQ(Existiert(paket), !fall.verteilt);
        EXPECT_EQ(Enthält(log.Zeilen(), BleibtErhalten(paket, 1)), !fall.verteilt);
        EXPECT_FALSE(Arbeitsordnerreste(Ordner(L"Pakete")));
        EXPECT_EQ(log.Zeilen().back(), kEnde);
    }
}

TEST_F(Dekompression, PackageStaysWhileAnyJobFileDidNotArrive) {
    const struct {
        const wchar_t* name;
        std::wstring paket;
        std::function<void(SkriptBenutzer&)> antworten;
        int fehlend;
    } kFälle[] = {
        // No WinMX on this computer, and the person picks neither of its folders.
        {L"OhneOrdner", Paket(L"OhneOrdner.lwx", {{L"Lied.mp3", "l"}, {L"Film.mp3", "f"}, {L"Auch.dat", "a"}}),
         [](SkriptBenutzer& p) { for (int i = 0; i < 2; ++i) p.WähleOrdner(std::nullopt); }, 2},
        // Damaged on the way: the good member arrives, the broken one lives on only in the package.
        {L"Beschaedigt",
         PythonPaket(wurzel, L"Beschaedigt.lwx",
                     "    z.writestr(zipfile.ZipInfo('Kaputt.dat'), 'A' * 100)\n"
                     "    z.writestr('Gut.dat', 'gut')\n"
                     "    z.close()\n"
                     "    b = bytearray(open('Beschaedigt.lwx', 'rb').read())\n"
                     "    b[b.find(b'A' * 100)] ^= 1\n"
                     "    open('Beschaedigt.lwx', 'wb').write(b)"),
         [](SkriptBenutzer& p) { p.Antworte(IDOK); }, 1},
    };
    for (const auto& fall : kFälle) {
        SCOPED_TRACE(fall.name);
        const std::string vorher = Inhalt(fall.paket);
        SkriptBenutzer fallPerson;
        fall.antworten(fallPerson);
        Protokoll log;
        modKompression::DateienDekomprimieren(fall.paket);

        EXPECT_TRUE(Enthält(log.Zeilen(), BleibtErhalten(fall.paket, fall.fehlend))) << ::testing::PrintToString(log.Zeilen());
        EXPECT_EQ(log.Zeilen().back(), kEnde);
        EXPECT_EQ(fallPerson.OffeneAntworten(), 0u);
        EXPECT_EQ(Inhalt(fall.paket), vorher);
        EXPECT_FALSE(Existiert(Papierkorb(std::wstring(fall.name) + L".lwx")));
        EXPECT_FALSE(Arbeitsordnerreste(Ordner(L"Pakete")));
    }
}

TEST_F(Dekompression, OptionsFileWithoutLineEndEndsOnTheErrorPathAndKeepsThePackage) {
    const std::wstring paket = Paket(L"Kaputt.lwx", {{L"Kaputt.dat", "k"}}, "Version=2.00");
    Protokoll log;
    modKompression::DateienDekomprimieren(paket);
    const std::wstring& letzte = log.Zeilen().back();
    EXPECT_TRUE(letzte.starts_with(L"Fehler - ")) << letzte;
    EXPECT_TRUE(letzte.ends_with(L" (Fehler 13) ist bei Funktion 'OptionsdateiLesen' aufgetreten")) << letzte;
    EXPECT_FALSE(Enthält(log.Zeilen(), kEnde));
    EXPECT_EQ(log.Ereignisse(), std::vector<std::wstring>{L"FehlerAbschließen"});
    EXPECT_TRUE(Existiert(paket));
    EXPECT_FALSE(Existiert(clients.kazaaDownloads + L"\\Kaputt.dat"));
    EXPECT_FALSE(Arbeitsordnerreste(Ordner(L"Pakete")));
}

TEST_F(Dekompression, BrokenPackagesEndWithTheirErrorLineAndStayWhereTheyAre) {
    const std::wstring gut = Paket(L"gut.lwx", {{L"Gut.dat", std::string(5000, 'g')}});
    const std::string gutBytes = Inhalt(gut);
    const struct {
        const wchar_t* name;
        std::string bytes;
    } kFälle[] = {
        {L"leer.lwx", ""},
        {L"text.lwx", "Dies ist kein ZIP-Archiv.\r\n"},
        {L"nurKopf.lwx", "PK\x03\x04"},
        {L"abgeschnitten.lwx", gutBytes.substr(0, gutBytes.size() / 2)},
        // The end record of an archive without entries.
        {L"ohneEintraege.lwx", std::string("PK\x05\x06", 4) + std::string(18, '\0')},
    };
    for (const auto& fall : kFälle) {
        SCOPED_TRACE(fall.name);
        const std::wstring paket = wurzel.Datei(L"Pakete\\" + std::wstring(fall.name), fall.bytes);
        const auto vorher = Baum(wurzel.Pfad());
        SkriptBenutzer fallPerson;
        fallPerson.Antworte(IDOK);  // the extraction may report its code
        Protokoll log;
        modKompression::DateienDekomprimieren(paket);

        ASSERT_GE(log.Zeilen().size(), 2u);
        EXPECT_EQ(log.Zeilen()[log.Zeilen().size() - 2], L"Fehler - Nach dem Entpacken keine Dateien gefunden (2)");
        EXPECT_EQ(log.Zeilen().back(), kEnde);
        EXPECT_EQ(log.Ereignisse(), std::vector<std::wstring>{L"Abschließen"});
        EXPECT_EQ(Inhalt(paket), fall.bytes);
        EXPECT_EQ(Baum(wurzel.Pfad()), vorher);
    }
}

TEST_F(Dekompression, HostileNamesAndForeignFilesBesideThePackageStayOutOfTheRun) {
    // The user's own folder named Temp beside the package, as older versions used, holds a job
    // file that must neither be distributed nor deleted.
    CreateDirectoryW(Ordner(L"Pakete\\Temp").c_str(), nullptr);
    const std::wstring eigene = wurzel.Datei(L"Pakete\\Temp\\Eigene.dat", "meins");
    const std::wstring paket = PythonPaket(wurzel, L"Boese.lwx",
                                           "    z.writestr('../../Ausbruch.dat', 'a')\n"
                                           "    z.writestr('Unter/Ordner/Tief.dat', 't')\n"
                                           "    z.writestr('C:/Windows/Absolut.dat', 'c')\n"
                                           "    z.writestr('optionen.opt', 'Version=1.10\\r\\n')");
    auto vorher = Baum(wurzel.Pfad());
    person.Antworte(IDOK);  // the extraction may report names it refused
    Protokoll log;
    modKompression::DateienDekomprimieren(paket);

    EXPECT_EQ(log.Zeilen().back(), kEnde) << ::testing::PrintToString(log.Zeilen());
    EXPECT_EQ(Inhalt(eigene), "meins");
    EXPECT_FALSE(Existiert(clients.kazaaDownloads + L"\\Eigene.dat"));
    // Whatever the names claim, the jobs arrive flat in the client's folder, nowhere else.
    auto nachher = Baum(wurzel.Pfad());
    std::set<std::wstring> neu, weg;
    std::set_difference(nachher.begin(), nachher.end(), vorher.begin(), vorher.end(), std::inserter(neu, neu.end()));
    std::set_difference(vorher.begin(), vorher.end(), nachher.begin(), nachher.end(), std::inserter(weg, weg.end()));
    for (const std::wstring& pfad : neu)
        EXPECT_TRUE(pfad.starts_with(clients.kazaaDownloads + L"\\")) << pfad;
    EXPECT_EQ(weg, std::set<std::wstring>{paket});
    EXPECT_EQ(Inhalt(clients.kazaaDownloads + L"\\Tief.dat"), "t");
    EXPECT_FALSE(Existiert(wurzel.Pfad() + L"\\..\\Ausbruch.dat"));
}


TEST_F(Dekompression, PackageWhereItCannotBeUnpackedUnpacksIntoTheUsersTempFolder) {
    Laufwerk stick{L'S', 4};
    ASSERT_TRUE(stick.Bereit()) << stick.Fehler();
    // Zeros pack small: the package fits on the stick, its contents do not.
    const std::wstring gepackt = Paket(L"Gross.lwx", {{L"Gross.dat", std::string(6u << 20, '\0')}});
    ASSERT_TRUE(CopyFileW(gepackt.c_str(), (stick.Wurzel() + L"\\Gross.lwx").c_str(), TRUE));
    const struct {
        std::wstring paket, hinweis;
    } kFälle[] = {
        // sysfs takes no new folders, not even from root: the stand-in for a CD.
        {L"Z:\\sys\\kernel\\uevent_seqnum", L"Im Ordner 'Z:\\sys\\kernel' kann nicht entpackt werden"},
        {stick.Wurzel() + L"\\Gross.lwx", L"Im Ordner '" + stick.Wurzel() + L"' ist nicht genug Platz zum Entpacken"},
    };
    const std::wstring temp = BenutzerTemp();
    for (const auto& fall : kFälle) {
        SCOPED_TRACE(fall.paket);
        ASSERT_TRUE(Existiert(fall.paket));
        SkriptBenutzer fallPerson;
        fallPerson.Antworte(IDOK);  // the CD stand-in is no archive
        Protokoll log;
        modKompression::DateienDekomprimieren(fall.paket);
        ASSERT_GE(log.Zeilen().size(), 3u);
        EXPECT_TRUE(log.Zeilen()[2].starts_with(L"Achtung - " + fall.hinweis + L", entpacke in '" + temp + L"Ladewerk-"))
            << log.Zeilen()[2];
        EXPECT_EQ(log.Zeilen().back(), kEnde);
        EXPECT_FALSE(Arbeitsordnerreste(temp.substr(0, temp.size() - 1)));
    }
    EXPECT_EQ(Inhalt(clients.kazaaDownloads + L"\\Gross.dat").size(), size_t{6u << 20});
}

TEST(Dekompressionszeilen, ResultLineJoinsListingInformationAndCount) {
    const struct {
        std::wstring liste, ausgabe;
        long anzahl;
        std::wstring zeile;
    } kFälle[] = {
        {L"", L"", 0, L"Dekompression beendet, Ergebnis:"},
        {L"Kopf\r\nA\r\n", L"", 4, L"Dekompression beendet, Ergebnis:Kopf\r\nA\r\n\r\nAnzahl an dekomprimierten Dateien:  4"},
        {L"", L"kaputt\r\n", 0, L"Dekompression beendet, Ergebnis:\r\nZIP-Informationen:\r\nkaputt\r\n"},
    };
    for (const auto& fall : kFälle)
        EXPECT_EQ(modKompression::Ergebniszeile(fall.liste, fall.ausgabe, fall.anzahl), fall.zeile);
}

TEST(Dekompressionszeilen, ErrorLineNamesDescriptionNumberAndRoutine) {
    for (DWORD nummer : {DWORD{ERROR_FILE_NOT_FOUND}, DWORD{ERROR_INVALID_DATA}, DWORD{0x2BADF00D}}) {
        const std::wstring zeile = modKompression::Fehlerzeile(nummer, L"Prüfen");
        const std::wstring ende = L" (Fehler " + std::to_wstring(nummer) + L") ist bei Funktion 'Prüfen' aufgetreten";
        EXPECT_TRUE(zeile.starts_with(L"Fehler - ")) << zeile;
        EXPECT_TRUE(zeile.ends_with(ende)) << zeile;
        const std::wstring beschreibung = zeile.substr(9, zeile.size() - 9 - ende.size());
        EXPECT_FALSE(beschreibung.empty()) << zeile;
        EXPECT_EQ(beschreibung.find_first_of(L"\r\n"), std::wstring::npos) << zeile;
        EXPECT_NE(beschreibung.back(), L'.') << zeile;
    }
}
