#include "PaketTestHilfen.h"
#include "Dateien.h"
#include "Programm.h"
#include "Protokoll.h"
#include "SkriptBenutzer.h"
#include "TempOrdner.h"
#include "UnixProgramm.h"
#include "Zeit.h"
#include "frmKomprimieren.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>

#include <sstream>

using namespace std::string_literals;

namespace {

using Liste = std::vector<std::wstring>;
using F = frmKomprimieren;

Liste Geöffnet(const Protokoll& protokoll) {
    Liste geöffnet;
    for (const std::wstring& ereignis : protokoll.Ereignisse())
        if (ereignis.starts_with(L"Öffnen ")) geöffnet.push_back(ereignis);
    return geöffnet;
}

struct Dialog : ::testing::Test {
    F& dialog = F::Instanz();
    TempOrdner ordner;

    void SetUp() override {
        Programm::UngültigeZeichen = {L"]", L"["};
        dialog.Zerstören();
        ASSERT_TRUE(dialog.Laden(nullptr));
    }
    void TearDown() override {
        dialog.Zerstören();
        modZeit::UhrSetzen(nullptr);
        SetEnvironmentVariableW(L"LADEWERK_XDG_ANTWORT", nullptr);
    }

    bool Aktiv(int id) const { return IsWindowEnabled(dialog.Element(id)); }
    // The dialog itself stays hidden in these tests, so IsWindowVisible would say no for all.
    bool Gezeigt(int id) const { return GetWindowLongW(dialog.Element(id), GWL_STYLE) & WS_VISIBLE; }
    std::wstring Anzahl() const { return dialog.ElementText(F::lblAnzahl); }
    void Auswählen(std::initializer_list<int> indizes) const {
        SendMessageW(dialog.Element(F::lstDateien), LB_SETSEL, FALSE, -1);
        for (int i : indizes) SendMessageW(dialog.Element(F::lstDateien), LB_SETSEL, TRUE, i);
    }
    std::vector<int> AusgewählteIndizes() const {
        std::vector<int> indizes;
        for (int i = 0; i < static_cast<int>(dialog.Einträge().size()); ++i)
            if (dialog.Ausgewählt(i)) indizes.push_back(i);
        return indizes;
    }
    // Whether the second help text with its frame and icon shows, and the two buttons work.
    void ErwarteZustand(bool gefüllt, bool entfernen) const {
        for (int id : {F::lblInfo2, F::shpInfo2, F::imgInfo2}) EXPECT_EQ(Gezeigt(id), gefüllt) << id;
        EXPECT_EQ(Aktiv(F::cmdErstellen), gefüllt);
        EXPECT_EQ(Aktiv(F::cmdEntfernen), entfernen);
    }
};

// A real drop handle, as the shell hands it over: DROPFILES, then the wide paths, each ended
// by a zero, and one more zero.
HDROP Ablage(const Liste& pfade) {
    std::wstring liste;
    for (const std::wstring& pfad : pfade) liste += pfad + L'\0';
    liste += L'\0';
    HGLOBAL speicher = GlobalAlloc(GHND, sizeof(DROPFILES) + liste.size() * sizeof(wchar_t));
    auto* kopf = static_cast<DROPFILES*>(GlobalLock(speicher));
    kopf->pFiles = sizeof(DROPFILES);
    kopf->fWide = TRUE;
    std::copy(liste.begin(), liste.end(), reinterpret_cast<wchar_t*>(kopf + 1));
    GlobalUnlock(speicher);
    return static_cast<HDROP>(speicher);
}

Liste ComposerAufruf() {
    std::wistringstream zeilen([] {
        const std::string bytes = Lesen(UnixOrdner(L"XDG_DATA_HOME") + L"\\xdg-email.txt").value_or("");
        std::wstring text(bytes.size(), L'\0');
        text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                            text.data(), static_cast<int>(text.size()))));
        return text;
    }());
    Liste aufruf;
    for (std::wstring zeile; std::getline(zeilen, zeile);) aufruf.push_back(zeile);
    return aufruf;
}

SYSTEMTIME Nikolaus() { return SYSTEMTIME{2026, 12, 0, 5, 14, 30, 0, 0}; }

}  // namespace

TEST_F(Dialog, CollectingKeepsTheListFreeOfFoldersAndDuplicatesAndRemovesTheSelection) {
    EXPECT_EQ(Anzahl(), L"0 Datei(en)");
    ErwarteZustand(false, false);
    EXPECT_TRUE(IsDlgButtonChecked(dialog.Handle(), F::chkDateienLöschen));
    EXPECT_TRUE(IsDlgButtonChecked(dialog.Handle(), F::chkFileSharingBeenden));

    Liste dateien;
    for (const wchar_t* name : {L"a.dat", L"b.met", L"c.part", L"d.grx", L"e"}) dateien.push_back(ordner.Datei(name));
    std::wstring großA = dateien[0];
    CharUpperW(großA.data());
    dialog.DateienInListeEinfügen({dateien[0], dateien[1], dateien[2]});
    dialog.DateienInListeEinfügen({großA, ordner.Pfad(), dateien[3], dateien[4], dateien[3]});
    EXPECT_EQ(dialog.Einträge(), dateien);
    EXPECT_EQ(Anzahl(), L"5 Datei(en)");
    EXPECT_EQ(AusgewählteIndizes(), std::vector<int>{4});
    ErwarteZustand(true, true);

    Auswählen({1, 3});
    dialog.cmdEntfernen_Click();
    EXPECT_EQ(dialog.Einträge(), (Liste{dateien[0], dateien[2], dateien[4]}));
    EXPECT_EQ(Anzahl(), L"3 Datei(en)");

    Auswählen({0, 1, 2});
    dialog.cmdEntfernen_Click();
    EXPECT_TRUE(dialog.Einträge().empty());
    EXPECT_EQ(Anzahl(), L"0 Datei(en)");
    ErwarteZustand(false, false);
}

TEST_F(Dialog, DroppedFilesAreAddedFoldersAndDuplicatesSkipped) {
    const std::wstring a = ordner.Datei(L"a.dat"), b = ordner.Datei(L"Lied [1].part");
    CreateDirectoryW((ordner.Pfad() + L"\\Ordner").c_str(), nullptr);
    dialog.DateienInListeEinfügen({a});

    SendMessageW(dialog.Element(F::lstDateien), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(Ablage({ordner.Pfad() + L"\\Ordner", b, a})), 0);

    EXPECT_EQ(dialog.Einträge(), (Liste{a, b}));
    EXPECT_EQ(Anzahl(), L"2 Datei(en)");
    EXPECT_EQ(AusgewählteIndizes(), std::vector<int>{1});
    EXPECT_TRUE(IsWindowEnabled(dialog.Handle()));
}

TEST_F(Dialog, FileDialogStartsInTheFolderAndAddsEveryChosenFile) {
    SkriptBenutzer person;
    const std::wstring x = ordner.Datei(L"x.dat"), y = ordner.Datei(L"y.dat");
    person.WähleDatei(ordner.Pfad() + L"\0x.dat\0y.dat"s);
    dialog.mnu_suchen_selbstsuchen_Click();
    EXPECT_EQ(dialog.Einträge(), (Liste{x, y}));
    EXPECT_EQ(AusgewählteIndizes(), std::vector<int>{1});

    // WinMX's download folder is never found: a hint, then the program's own folder.
    person.Antworte(IDOK);
    person.WähleDatei(std::nullopt);
    dialog.mnu_suchen_winmx_Click();
    person.WähleDatei(ordner.Pfad());
    person.Antworte(IDOK);
    dialog.mnu_suchen_selbstsuchen_Click();
    EXPECT_EQ(dialog.Einträge(), (Liste{x, y}));

    // Kazaa's download folder comes from discovery, run anew for the entry.
    const std::wstring kazaa = ordner.Pfad() + L"\\Meine Kazaa Downloads";
    const std::wstring programm = ordner.Pfad() + L"\\Kazaa\\kazaa.exe";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\KaZaA\\LocalContent", L"DownloadDir", REG_SZ,
                              kazaa.c_str(), static_cast<DWORD>((kazaa.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\KaZaA\\Cloudload", L"ExeDir", REG_SZ,
                              programm.c_str(), static_cast<DWORD>((programm.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    person.WähleDatei(std::nullopt);
    dialog.mnu_suchen_kazaa_Click();

    const auto& fragen = person.Fragen();
    ASSERT_EQ(fragen.size(), 6u);
    EXPECT_EQ(fragen[0].datei.filter, L"Alle Dateien (*.*)|*.*");
    EXPECT_EQ(fragen[0].datei.flags, 0x81204u);
    EXPECT_EQ(fragen[0].datei.dateiname, ProgrammOrdner() + L"\\Datei wählen");
    EXPECT_EQ(fragen[1].meldung.text, L"Der gewünschte Ordner wurde nicht gefunden.\nDie Suche beginnt im Anwendungs-Ordner.");
    EXPECT_EQ(fragen[1].meldung.titel, L"Ladewerk");
    EXPECT_EQ(fragen[1].meldung.stil, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(fragen[2].datei.dateiname, ProgrammOrdner() + L"\\Datei wählen");
    EXPECT_EQ(fragen[4].meldung.text, L"Diese Eingabe konnte nicht verarbeitet werden.");
    EXPECT_EQ(fragen[4].meldung.stil, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(fragen[5].datei.dateiname, kazaa + L"\\Datei wählen");
}

TEST_F(Dialog, AbbrechenKeepsListAndBoxesWhileClosingTheFrameStartsAfresh) {
    const std::wstring a = ordner.Datei(L"a.dat");
    dialog.DateienInListeEinfügen({a});
    CheckDlgButton(dialog.Handle(), F::chkDateienLöschen, BST_UNCHECKED);

    PostMessageW(dialog.Handle(), WM_COMMAND, MAKEWPARAM(F::cmdBeenden, BN_CLICKED), 0);
    dialog.ModalZeigen(nullptr);
    ASSERT_TRUE(dialog.Existiert());
    EXPECT_FALSE(dialog.IstSichtbar());
    EXPECT_EQ(dialog.Einträge(), Liste{a});
    EXPECT_FALSE(IsDlgButtonChecked(dialog.Handle(), F::chkDateienLöschen));

    PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
    dialog.ModalZeigen(nullptr);
    EXPECT_FALSE(dialog.Existiert());
    ASSERT_TRUE(dialog.Laden(nullptr));
    EXPECT_TRUE(dialog.Einträge().empty());
    EXPECT_TRUE(IsDlgButtonChecked(dialog.Handle(), F::chkDateienLöschen));
}

TEST_F(Dialog, SavingProposesTheDateAddsTheExtensionAndEmptiesTheList) {
    SkriptBenutzer person;
    Protokoll anzeige(false);
    modZeit::UhrSetzen(Nikolaus);
    const std::wstring a = ordner.Datei(L"[a].dat", "aaaa"), b = ordner.Datei(L"b.met", "bb");
    const std::wstring vorhanden = ordner.Datei(L"Vorhanden.lwx", "alt");

    // Cancelled, then declined to replace the file the added extension names: the list stays
    // for the next try.
    person.WähleDatei(std::nullopt);
    person.WähleDatei(ordner.Pfad() + L"\\Vorhanden");
    person.Antworte(IDNO);
    dialog.DateienInListeEinfügen({a, b});
    for (int i = 0; i < 2; ++i) {
        dialog.mnu_Speichern_Speichern_Click();
        EXPECT_EQ(dialog.Einträge(), (Liste{a, b}));
        EXPECT_EQ(Anzahl(), L"2 Datei(en)");
        ErwarteZustand(true, true);
    }
    EXPECT_EQ(Geöffnet(anzeige), Liste{});
    EXPECT_EQ(Inhalt(vorhanden), "alt");

    CheckDlgButton(dialog.Handle(), F::chkDateienLöschen, BST_UNCHECKED);
    CheckDlgButton(dialog.Handle(), F::chkFileSharingBeenden, BST_UNCHECKED);
    person.WähleDatei(ordner.Pfad() + L"\\Paket");
    dialog.mnu_Speichern_Speichern_Click();

    const auto& fragen = person.Fragen();
    ASSERT_EQ(fragen.size(), 4u);
    EXPECT_TRUE(fragen[0].datei.speichern);
    EXPECT_EQ(fragen[0].datei.filter, L"Ladewerk-Dateien (*.lwx)|*.lwx");
    EXPECT_EQ(fragen[0].datei.flags, 0x202002u);
    EXPECT_EQ(fragen[0].datei.dateiname, L"Downloads-05_12_2026");
    EXPECT_EQ(fragen[2].meldung.text, L"Die Datei 'Vorhanden.lwx' existiert bereits.\nMöchten Sie sie ersetzen?");
    EXPECT_EQ(Geöffnet(anzeige), Liste{L"Öffnen Ladewerk 1.10 - Fortschritt 0"});
    EXPECT_EQ(std::count(anzeige.Ereignisse().begin(), anzeige.Ereignisse().end(), L"Abschließen"), 3);
    EXPECT_EQ(anzeige.Zeilen().back(), L"Kompression und Verarbeitung beendet");
    EXPECT_TRUE(dialog.Einträge().empty());
    EXPECT_EQ(Anzahl(), L"0 Datei(en)");
    ErwarteZustand(false, false);
    EXPECT_EQ(Inhalt(a), "aaaa");
    const auto prüfung = PaketPrüfen(ordner.Pfad() + L"\\Paket.lwx");
    ASSERT_TRUE(prüfung);
    EXPECT_EQ(prüfung->namen, (Liste{L"_a_.dat", L"b.met", L"optionen.opt"}));
}

TEST_F(Dialog, MailHandsThePackageToTheComposerAndReportsItsFailure) {
    SkriptBenutzer person;
    Protokoll anzeige(false);
    const std::wstring a = ordner.Datei(L"a.dat", "aaaa");
    CheckDlgButton(dialog.Handle(), F::chkDateienLöschen, BST_UNCHECKED);
    const std::wstring hinweis =
        L"Eine EMail wird nun in Ihrem Standard-EMail-Programm erstellt.\nBitte fügen Sie den Brieftext über die "
        L"Zwischenablage in Ihres Programmes ein, falls dies nicht automatisch geschieht.";

    dialog.DateienInListeEinfügen({a});
    person.WähleDatei(ordner.Pfad() + L"\\Post.lwx");
    person.Antworte(IDOK);
    dialog.mnu_Speichern_EMail_Click();
    ASSERT_EQ(person.Fragen().size(), 2u);
    EXPECT_EQ(person.Fragen()[1].meldung.text, hinweis);
    EXPECT_EQ(ComposerAufruf(),
              (Liste{L"--subject", L"Downloads", L"--body",
                     L"Eine Ladewerk-Datei wurde dieser EMail angehängt. Bitte öffnen Sie diese mit Ladewerk "
                     L"(https://ladewerk.example/), um die Downloads auf Ihrem Computer einzurichten.",
                     L"--attach", UnixProgramm::Pfad(ordner.Pfad() + L"\\Post.lwx"),
                     L"Geben Sie hier einen Empfänger an", L"ANHANG-VORHANDEN"}));
    EXPECT_TRUE(dialog.Einträge().empty());

    SetEnvironmentVariableW(L"LADEWERK_XDG_ANTWORT", L"3");
    dialog.DateienInListeEinfügen({a});
    person.WähleDatei(ordner.Pfad() + L"\\Post2.lwx");
    person.Antworte(IDOK);
    person.Antworte(IDOK);
    dialog.mnu_Speichern_EMail_Click();
    ASSERT_EQ(person.Fragen().size(), 5u);
    EXPECT_EQ(person.Fragen()[4].meldung.stil, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(person.Fragen()[4].meldung.text,
              L"Ein Fehler ist beim Erstellen der EMail aufgetreten.\nAuf diesem System ist kein EMail-Programm "
              L"eingerichtet (Fehler 3).\n\nBitte prüfen Sie, ob ein EMail-Programm (z.B. 'Microsoft Outlook "
              L"Express') auf Ihrem System installiert und eingerichtet ist und dieses als Standardprogramm definiert "
              L"wurde. EMails, die Sie üblicherweise über Ihrem Browser bei Anbietern wie 'GMX' oder 'WEB.DE' abrufen, "
              L"können mit dieser Funktion nicht verschickt werden.\n\nBitte und hängen Sie die erstellte Datei manuell "
              L"an eine EMail an.");
    EXPECT_TRUE(Existiert(ordner.Pfad() + L"\\Post2.lwx"));

    // A package that this run did not make is not mailed, not even an older one at its path:
    // no hint, no composer.
    DeleteFileW((UnixOrdner(L"XDG_DATA_HOME") + L"\\xdg-email.txt").c_str());
    dialog.DateienInListeEinfügen({a});
    DeleteFileW(a.c_str());
    const std::wstring gestrig = ordner.Datei(L"Post3.lwx", "gestriges Paket");
    person.WähleDatei(gestrig);
    dialog.mnu_Speichern_EMail_Click();
    EXPECT_EQ(person.Fragen().size(), 6u);
    EXPECT_EQ(Inhalt(gestrig), "gestriges Paket");
    EXPECT_TRUE(ComposerAufruf().empty());
}

// Simple MAPI, as on Windows, through the recording mapi32.dll beside the test program.
TEST_F(Dialog, MailThroughSimpleMapiCarriesThePackageAndReportsFailuresButNotACancel) {
    SkriptBenutzer person;
    Protokoll anzeige(false);
    CheckDlgButton(dialog.Handle(), F::chkDateienLöschen, BST_UNCHECKED);
    const std::wstring protokoll = ordner.Pfad() + L"\\mapi.txt";
    SetEnvironmentVariableW(L"LADEWERK_EMAIL", L"mapi");
    SetEnvironmentVariableW(L"LADEWERK_MAPI_PROTOKOLL", protokoll.c_str());
    const std::wstring a = ordner.Datei(L"a.dat", "aaaa");
    const struct {
        const wchar_t* antwort;
        std::wstring fehler;  // text of the error box; empty when none
    } fälle[] = {
        {L"0", L""},
        {L"1", L""},  // cancelled in the mail program
        {L"2", L"Ein Fehler ist beim Erstellen der EMail aufgetreten.\nDas EMail-Programm hat die Nachricht nicht "
               L"angenommen (Fehler 32002)."},
    };
    for (const auto& [antwort, fehler] : fälle) {
        SetEnvironmentVariableW(L"LADEWERK_MAPI_ANTWORT", antwort);
        DeleteFileW(protokoll.c_str());
        const size_t vorher = person.Fragen().size();
        dialog.DateienInListeEinfügen({a});
        const std::wstring paket = ordner.Pfad() + L"\\Post " + antwort + L".lwx";
        person.WähleDatei(paket);
        person.Antworte(IDOK);
        if (!fehler.empty()) person.Antworte(IDOK);
        dialog.mnu_Speichern_EMail_Click();

        EXPECT_EQ(Inhalt(protokoll),
                  "Downloads\nEine Ladewerk-Datei wurde dieser EMail angeh\xc3\xa4ngt. Bitte \xc3\xb6" "ffnen Sie diese mit "
                  "Ladewerk (https://ladewerk.example/), um die Downloads auf Ihrem Computer einzurichten.\nAnhang " +
                      std::string(paket.begin(), paket.end()) + " | Post " + std::string(1, static_cast<char>(*antwort)) +
                      ".lwx\nAn Geben Sie hier einen Empf\xc3\xa4nger an\nDialog\n")
            << antwort;
        ASSERT_EQ(person.Fragen().size(), vorher + (fehler.empty() ? 2 : 3)) << antwort;
        if (!fehler.empty()) {
            EXPECT_TRUE(person.Fragen().back().meldung.text.starts_with(fehler)) << person.Fragen().back().meldung.text;
            EXPECT_EQ(person.Fragen().back().meldung.stil, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        }
    }
    for (const wchar_t* name : {L"LADEWERK_EMAIL", L"LADEWERK_MAPI_PROTOKOLL", L"LADEWERK_MAPI_ANTWORT"})
        SetEnvironmentVariableW(name, nullptr);
}
