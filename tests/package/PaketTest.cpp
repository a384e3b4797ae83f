// Package opening and creation on real files, drives, registry and Trash of the test prefix,
// and the create dialog, hidden and owned by a main window as in the program. Packages come
// from the peers and go back to them (Info-ZIP, python); the progress window is a recorder,
// the person answers through the interaction seam, and the mail programs are recorders too.

#include "Dateien.h"
#include "Empfang.h"
#include "Handles.h"
#include "Laufwerk.h"
#include "PaketTestHilfen.h"
#include "Programm.h"
#include "SkriptBenutzer.h"
#include "UnixProgramm.h"
#include "frmKomprimieren.h"
#include "modKompression.h"
#include "modKompressionErstellen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace Empfang;
using Liste = std::vector<std::wstring>;
using namespace std::string_literals;

namespace {

const std::wstring kDekomprimiert = L"Dekompression und Verarbeitung beendet";

struct Dekompression : ::testing::Test {
    TempOrdner wurzel;
    Clientordner clients = ClientsEinrichten(wurzel);
    const std::wstring pakete = wurzel.Pfad() + L"\\Pakete";
};

const std::wstring kKomprimiert = L"Kompression und Verarbeitung beendet";

// Another program holding the file open, sharing it for reading or not at all.
Handles::Datei Offen(const std::wstring& pfad, DWORD teilen) {
    return Handles::Datei(CreateFileW(pfad.c_str(), GENERIC_READ, teilen, nullptr, OPEN_EXISTING, 0, nullptr));
}

// Bytes that no compressor makes smaller.
std::string Zufall(size_t länge) {
    std::mt19937 zufall(7);
    std::string daten(länge, '\0');
    std::generate(daten.begin(), daten.end(), [&] { return static_cast<char>(zufall()); });
    return daten;
}

using F = frmKomprimieren;

struct Dialog : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(dialog.Laden(haupt)); }
    // The main window lives as long as the test program, like the program's own.
    void TearDown() override { dialog.Zerstören(); }

    F& dialog = F::Instanz();
    HWND haupt = CreateWindowW(L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    TempOrdner ordner;
    SkriptBenutzer person;
};

// Stands in for the progress window and notes with every line of the run whether the main
// window would take input.
struct Hauptfensterwache final : modFortschritt::Anzeige {
    explicit Hauptfensterwache(HWND haupt) : haupt(haupt) { modFortschritt::AnzeigeSetzen(this); }
    ~Hauptfensterwache() override { modFortschritt::AnzeigeSetzen(nullptr); }
    void ZeileAnhängen(const std::wstring&) override { bedienbar.push_back(IsWindowEnabled(haupt)); }
    bool IstSichtbar() override { return true; }
    void Öffnen(const std::wstring&, const std::wstring&) override {}
    void Abschließen() override {}
    void FehlerAbschließen() override {}

    HWND haupt;
    std::vector<bool> bedienbar;
};

std::string Schmal(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

}  // namespace

TEST_F(Dekompression, OptionsFileDecidesWhetherThePackageIsHandedOn) {
    // Older versions unpacked into a folder named Temp beside the package: the user's own stays.
    const std::wstring eigene = Anlegen(pakete + L"\\Temp", FILE_ATTRIBUTE_DIRECTORY) + L"\\Eigene.dat";
    Schreiben(eigene, "meins");
    const struct {
        const wchar_t* name;
        std::optional<std::string> optionen;
        std::optional<int> antwort;  // the version question is asked exactly when set
        std::wstring zeile;          // some log line holds it
        bool verteilt;               // the job arrived and the package went to the Trash
    } kFälle[] = {
        {L"OhneOptionen", std::nullopt, {}, L"Kann Optionsdatei nicht finden", true},
        {L"KeineZahl", "Version=1,10\r\n", {}, L"Kann Optionsdatei nicht verarbeiten", true},
        // Far larger than any creator writes it: not even read, so not asked about either.
        {L"Riesig", "Version=2.00\r\n" + std::string(65 * 1024, ' '), {}, L"Kann Optionsdatei nicht verarbeiten", true},
        {L"Gleich", "Version=1.10\r\n", {}, kDekomprimiert, true},
        // 1.9 is older than 1.10: versions are numbers, not decimal fractions.
        {L"Aelter", "Version=1.9\r\n", {}, kDekomprimiert, true},
        {L"NeuerJa", "Version= 1.11 \r\n", IDYES, L"Inkorrekte Version gefunden", true},
        // The first version line counts, in any letter case.
        {L"NeuerNein", "x\r\nVERSION=2\r\nVersion=1.10\r\n", IDNO, L"Die Verarbeitung wurde abgebrochen", false},
        // Without its line end the file is no options file at all: the run ends on its error path.
        {L"OhneZeilenende", "Version=1.10", {}, L" (Fehler 13) ist bei Funktion 'OptionsdateiLesen'", false},
    };
    for (const auto& fall : kFälle) {
        SCOPED_TRACE(fall.name);
        const std::wstring job = std::wstring(fall.name) + L".dat", name = std::wstring(fall.name) + L".lwx";
        const std::wstring paket = ZipPaket(wurzel, name, {{job, "auftrag"}}, fall.optionen);
        SkriptBenutzer person;
        if (fall.antwort) person.Antworte(*fall.antwort);
        Protokoll log;
        modKompression::DateienDekomprimieren(paket);

        EXPECT_TRUE(Gemeldet(log, fall.zeile)) << ::testing::PrintToString(log.Zeilen());
        EXPECT_EQ(person.Fragen().size(), fall.antwort ? 1u : 0u);
        EXPECT_EQ(Existiert(clients.kazaaDownloads + L"\\" + job), fall.verteilt);
        EXPECT_EQ(Existiert(Papierkorb(name)), fall.verteilt);
        EXPECT_FALSE(Arbeitsordnerreste(pakete));
    }
    // Neither the options files nor the user's own file were handed on.
    EXPECT_EQ(Inhaltsliste(clients.kazaaDownloads),
              L"Aelter.dat Gleich.dat KeineZahl.dat NeuerJa.dat OhneOptionen.dat Riesig.dat");
    EXPECT_EQ(Inhalt(eigene), "meins");
}

// The package holds the only copy of every job file that did not arrive.
TEST_F(Dekompression, PackageStaysUntouchedWhileAnyJobFileDidNotArrive) {
    const struct {
        std::wstring paket, zeile;
        int ordnerAbsagen;  // folder questions declined; otherwise one message is acknowledged
    } kFälle[] = {
        // No WinMX on this computer, and the person picks neither of its folders.
        {ZipPaket(wurzel, L"OhneOrdner.lwx", {{L"Lied.mp3", "l"}, {L"Film.mp3", "f"}, {L"Auch.dat", "a"}}),
         L"da 2 Datei(en) nicht verarbeitet wurden", 2},
        // Damaged on the way: the good member arrives, the broken one lives on only in the package.
        {PythonPaket(wurzel, L"Kaputt.lwx",
                     "    z.writestr(zipfile.ZipInfo('Kaputt.dat'), 'A' * 100)\n"
                     "    z.writestr('Gut.dat', 'gut')\n"
                     "    z.close()\n"
                     "    b = open('Kaputt.lwx', 'rb').read().replace(b'A' * 100, b'B' + b'A' * 99)\n"
                     "    open('Kaputt.lwx', 'wb').write(b)"),
         L"da 1 Datei(en) nicht verarbeitet wurden", 0},
        {wurzel.Datei(L"Pakete\\leer.lwx", ""), L"keine Dateien gefunden", 0},
        {wurzel.Datei(L"Pakete\\text.lwx", "Dies ist kein ZIP-Archiv.\r\n"), L"keine Dateien gefunden", 0},
        // More entries than any package may hold: nothing of it is unpacked.
        {PythonPaket(wurzel, L"ZuViele.lwx", "    for i in range(10001): z.writestr('%d.dat' % i, '')"),
         L"keine Dateien gefunden", 0},
    };
    for (const auto& fall : kFälle) {
        SCOPED_TRACE(fall.paket);
        const std::string vorher = Inhalt(fall.paket);
        SkriptBenutzer person;
        for (int i = 0; i < fall.ordnerAbsagen; ++i) person.WähleOrdner(std::nullopt);
        if (!fall.ordnerAbsagen) person.Antworte(IDOK);
        Protokoll log;
        modKompression::DateienDekomprimieren(fall.paket);

        EXPECT_TRUE(Gemeldet(log, fall.zeile)) << ::testing::PrintToString(log.Zeilen());
        EXPECT_EQ(log.Zeilen().back(), kDekomprimiert);
        EXPECT_EQ(Inhalt(fall.paket), vorher);
        EXPECT_FALSE(Arbeitsordnerreste(pakete));
    }
}

// A CD, a write-protected share, a nearly full stick: the working folder goes to the user's
// temporary folder instead.
TEST_F(Dekompression, PackageWhereItCannotBeUnpackedUnpacksIntoTheUsersTempFolder) {
    Laufwerk stick{L'S', 4};
    ASSERT_TRUE(stick.Bereit()) << stick.Fehler();
    // Zeros pack small: the package fits on the stick, its contents do not.
    const std::wstring gepackt = ZipPaket(wurzel, L"Gross.lwx", {{L"Gross.dat", std::string(6u << 20, '\0')}});
    ASSERT_TRUE(CopyFileW(gepackt.c_str(), (stick.Wurzel() + L"\\Gross.lwx").c_str(), TRUE));
    const std::wstring temp = BenutzerTemp();
    const struct {
        std::wstring paket, hinweis;
    } kFälle[] = {
        // sysfs takes no new folders, not even from root.
        {L"Z:\\sys\\kernel\\uevent_seqnum", L"Im Ordner 'Z:\\sys\\kernel' kann nicht entpackt werden"},
        {stick.Wurzel() + L"\\Gross.lwx", L"Im Ordner '" + stick.Wurzel() + L"' ist nicht genug Platz zum Entpacken"},
    };
    for (const auto& fall : kFälle) {
        SkriptBenutzer person;
        person.Antworte(IDOK);  // sysfs holds no archive
        Protokoll log;
        modKompression::DateienDekomprimieren(fall.paket);
        EXPECT_TRUE(Gemeldet(log, L"Achtung - " + fall.hinweis + L", entpacke in '" + temp + L"Ladewerk-"))
            << ::testing::PrintToString(log.Zeilen());
        EXPECT_FALSE(Arbeitsordnerreste(temp.substr(0, temp.size() - 1)));
    }
    EXPECT_EQ(Inhalt(clients.kazaaDownloads + L"\\Gross.dat").size(), size_t{6u << 20});
}

// A refused or failed run says why, and an older package of that name stays whole: nothing is
// mailed and nothing is lost.
TEST(Komprimieren, RefusedOrFailedRunsLeaveTheSourcesAndTheOldPackageWhole) {
    Programm::UngültigeZeichen = {L"]", L"["};
    const TempOrdner ordner;
    const Laufwerk klein{L'T', 2};
    ASSERT_TRUE(klein.Bereit()) << klein.Fehler();
    const std::wstring erste = ordner.Datei(L"[1].dat", "eins"), dritte = ordner.Datei(L"[3].met", "drei");
    const std::wstring gleich = Anlegen(ordner.Pfad() + L"\\b", FILE_ATTRIBUTE_DIRECTORY) + L"\\_1_.dat";
    Schreiben(gleich, "anderer Ordner");
    const std::wstring paket = ordner.Datei(L"alt.lwx", "altes Paket"), vollesPaket = klein.Wurzel() + L"\\alt.lwx";
    const std::string altesPaket = Zufall(1 << 20);
    Schreiben(vollesPaket, altesPaket);
    Liste fehlend;
    for (int i = 0; i <= 2500; ++i) fehlend.push_back(ordner.Pfad() + L"\\fehlt" + std::to_wstring(i) + L".dat");
    const struct {
        Liste liste;
        std::wstring paket, zeile;
    } kFälle[] = {
        {{fehlend.begin(), fehlend.end() - 1}, paket, L"fehlt0.dat' existiert nicht"},
        {fehlend, paket, L"zu viele Dateien gewählt"},
        {{erste, gleich}, paket, L"hätten in der Datei denselben Namen '_1_.dat'"},
        {{erste, ordner.Pfad() + L"\\b\\..\\alt.lwx"}, paket, L"ist selbst in der Liste"},
        {{erste, dritte}, paket, L"(Fehler 32)"},  // dritte is held open
        {{erste, ordner.Datei(L"gross.part", Zufall(3 << 20))}, vollesPaket, L"beim Komprimieren auf (Fehler 14)"},
    };
    for (const auto& fall : kFälle) {
        SCOPED_TRACE(fall.zeile);
        Protokoll log(false);
        Liste liste = fall.liste;
        liste.push_back(ordner.Pfad() + L"\\optionen.opt");
        {
            const auto sperre = Offen(fall.zeile == L"(Fehler 32)" ? dritte : L"", 0);
            EXPECT_FALSE(modKompression::DateienKomprimieren(liste, fall.paket, 1, 0));
        }
        EXPECT_TRUE(Gemeldet(log, fall.zeile)) << ::testing::PrintToString(log.Zeilen());
        EXPECT_EQ(log.Zeilen().back(), kKomprimiert);
        EXPECT_EQ(Inhalt(erste) + Inhalt(dritte) + Inhalt(gleich) + Inhalt(paket), "einsdreianderer Ordneraltes Paket");
        EXPECT_TRUE(Inhalt(vollesPaket) == altesPaket);
        EXPECT_EQ(Inhaltsliste(klein.Wurzel()), L"alt.lwx");
    }
}

TEST_F(Dialog, SavingPacksWhileTheMainWindowWaitsAndSendsTheSourcesToTheTrash) {
    Programm::UngültigeZeichen = {L"]", L"["};
    const Liste quellen{ordner.Datei(L"leer.grx", ""), ordner.Datei(L"[x]]y.dat", std::string(3000, 'a')),
                        Anlegen(ordner.Pfad() + L"\\[dl]", FILE_ATTRIBUTE_DIRECTORY) + L"\\a.met"};
    Schreiben(quellen[2], "eMule");
    const std::wstring paket = ordner.Datei(L"Paket.lwx", "altes Paket");
    // Several files come from the file dialog as their folder, then each name.
    person.WähleDatei(ordner.Pfad() + L"\0leer.grx\0[x]]y.dat"s);
    dialog.mnu_suchen_selbstsuchen_Click();
    dialog.DateienInListeEinfügen({ordner.Pfad(), ordner.Pfad() + L"\\[X]]Y.DAT", quellen[2], quellen[0]});

    // Cancelled, then declined to replace the package that the added extension names: the
    // list stays for the next try.
    person.WähleDatei(std::nullopt);
    person.WähleDatei(ordner.Pfad() + L"\\Paket");
    person.Antworte(IDNO);
    for (int i = 0; i < 2; ++i) dialog.mnu_Speichern_Speichern_Click();
    EXPECT_EQ(dialog.Einträge(), quellen);
    EXPECT_EQ(Inhalt(paket), "altes Paket");

    CheckDlgButton(dialog.Handle(), F::chkFileSharingBeenden, BST_UNCHECKED);
    person.WähleDatei(ordner.Pfad() + L"\\Paket");
    person.Antworte(IDYES);
    Hauptfensterwache wache(haupt);
    dialog.mnu_Speichern_Speichern_Click();
    ASSERT_FALSE(wache.bedienbar.empty());
    EXPECT_EQ(wache.bedienbar, std::vector<bool>(wache.bedienbar.size(), false));
    EXPECT_TRUE(IsWindowEnabled(haupt));
    EXPECT_TRUE(dialog.Einträge().empty());
    const auto prüfung = PaketPrüfen(paket);
    ASSERT_TRUE(prüfung);
    EXPECT_EQ(prüfung->unzipCode, 0);
    EXPECT_EQ(prüfung->namen, (Liste{L"leer.grx", L"_x__y.dat", L"a.met", L"optionen.opt"}));
    EXPECT_EQ(prüfung->optionen, "Version=1.10\r\n");
    // The box for the Trash was left checked: every source goes there under its own name, and
    // nothing else was left beside them.
    EXPECT_EQ(Inhaltsliste(ordner.Pfad()), L"Paket.lwx [dl]");
    for (const wchar_t* name : {L"leer.grx", L"[x]]y.dat", L"a.met"})
        EXPECT_TRUE(Existiert(Papierkorb(name))) << name;
}

// The composer by default, Simple MAPI when asked for (mapi32.dll beside the test program).
TEST_F(Dialog, MailCarriesTheNewPackageAndReportsFailuresButNotACancel) {
    CheckDlgButton(dialog.Handle(), F::chkDateienLöschen, BST_UNCHECKED);
    // The source stays, as the box says, also when another program holds it open.
    const std::wstring a = ordner.Datei(L"a.dat");
    auto offen = Offen(a, FILE_SHARE_READ);
    const std::wstring composer = UnixOrdner(L"XDG_DATA_HOME") + L"\\xdg-email.txt";
    const struct {
        const wchar_t* weg;      // LADEWERK_EMAIL
        const wchar_t* antwort;  // the mail program's: 3 no composer set up, 1 cancelled
        bool fehler;             // an error box follows
    } kFälle[] = {
        {nullptr, L"0", false}, {nullptr, L"3", true},
        {L"mapi", L"0", false}, {L"mapi", L"1", false}, {L"mapi", L"2", true},
    };
    for (size_t i = 0; i < std::size(kFälle); ++i) {
        const auto& fall = kFälle[i];
        SCOPED_TRACE(i);
        SetEnvironmentVariableW(L"LADEWERK_EMAIL", fall.weg);
        for (const wchar_t* name : {L"LADEWERK_XDG_ANTWORT", L"LADEWERK_MAPI_ANTWORT"})
            SetEnvironmentVariableW(name, fall.antwort);
        const std::wstring name = L"Post" + std::to_wstring(i) + L".lwx", paket = ordner.Pfad() + L"\\" + name;
        dialog.DateienInListeEinfügen({a});
        person.WähleDatei(paket);
        person.Antworte(IDOK);  // the hint before the mail program opens
        if (fall.fehler) person.Antworte(IDOK);
        dialog.mnu_Speichern_EMail_Click();

        EXPECT_EQ(person.OffeneAntworten(), 0u);
        char anhang[2 * MAX_PATH] = {};
        GetEnvironmentVariableA("LADEWERK_MAPI_ANHANG", anhang, sizeof anhang);
        const std::string erhalten = fall.weg ? anhang : Inhalt(composer);
        EXPECT_NE(erhalten.find(fall.weg ? Schmal(paket + L" | " + name)
                                         : "--attach\n" + Schmal(UnixProgramm::Pfad(paket)) + "\n"),
                  std::string::npos)
            << erhalten;
        // The composer runs on its own: the package must be there when it looks.
        EXPECT_EQ(erhalten.find("ANHANG-VORHANDEN") != std::string::npos, !fall.weg);
        SetEnvironmentVariableW(L"LADEWERK_MAPI_ANHANG", nullptr);
    }

    // A run that wrote no package mails nothing, not even an older one at its path.
    dialog.DateienInListeEinfügen({a});
    offen = Offen(L"", 0);
    DeleteFileW(a.c_str());
    person.WähleDatei(ordner.Datei(L"Gestern.lwx", "gestriges Paket"));
    dialog.mnu_Speichern_EMail_Click();
    EXPECT_EQ(GetEnvironmentVariableA("LADEWERK_MAPI_ANHANG", nullptr, 0), 0u);
    for (const wchar_t* name : {L"LADEWERK_EMAIL", L"LADEWERK_XDG_ANTWORT", L"LADEWERK_MAPI_ANTWORT"})
        SetEnvironmentVariableW(name, nullptr);
}
