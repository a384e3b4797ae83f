#include "Fortschritt.h"
#include "Main.h"
#include "Peer.h"
#include "Programm.h"
#include "Programmende.h"
#include "SkriptBenutzer.h"
#include "TempOrdner.h"
#include "frmFortschritt.h"
#include "frmInfos.h"
#include "frmMain.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

TEST(Befehlszeile, WholeArgumentTextWithoutQuotesIsOnePath) {
    struct Fall {
        const wchar_t* befehlszeile;
        const wchar_t* pfad;
    } const fälle[] = {
        {L"\"C:\\Programme\\Ladewerk\\ladewerk.exe\" \"C:\\Eigene Dateien\\Downloads 1.lwx\"",
         L"C:\\Eigene Dateien\\Downloads 1.lwx"},
        {L"\"C:\\Programme\\Ladewerk\\ladewerk.exe\" C:\\Eigene Dateien\\Downloads 1.lwx",
         L"C:\\Eigene Dateien\\Downloads 1.lwx"},
        {L"ladewerk.exe C:\\a\"b\".lwx", L"C:\\ab.lwx"},
        {L"ladewerk.exe   Paket.lwx  ", L"Paket.lwx"},
        {L"ladewerk.exe \"\"", L""},
    };
    for (const auto& [befehlszeile, pfad] : fälle) EXPECT_EQ(modMain::BefehlszeilenPfad(befehlszeile), pfad) << befehlszeile;
}

TEST(Befehlszeile, QuestionNamesOnlyTheFileAndDefaultsToYes) {
    SkriptBenutzer person;
    person.Antworte(IDNO);
    EXPECT_FALSE(modMain::VerarbeitenFragen(L"C:\\Eigene Dateien\\Downloads 1.lwx"));
    ASSERT_EQ(person.Fragen().size(), 1u);
    const auto& meldung = person.Fragen()[0].meldung;
    EXPECT_EQ(meldung.text, L"Soll die Datei 'Downloads 1.lwx' jetzt verarbeitet werden?");
    EXPECT_EQ(meldung.stil, UINT(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1));
}

// WM_COPYDATA may come from any program: only a whole handover of a path is taken.
TEST(Befehlszeile, AHandoverIsReadBackAndAnythingElseRefused) {
    const std::wstring pfad = L"C:\\Eigene Dateien\\Downloads 1.lwx";
    const std::wstring mitNull(L"C:\\a.lwx\0C:\\b.lwx", 17);
    struct Fall {
        const wchar_t* name;
        std::function<void(COPYDATASTRUCT&)> ändern;
        std::optional<std::wstring> ergebnis;
    } const fälle[] = {
        {L"unverändert", [](COPYDATASTRUCT&) {}, pfad},
        {L"leer (nur nach vorn)", [](COPYDATASTRUCT& d) { d.cbData = 0; }, L""},
        {L"andere Kennung", [](COPYDATASTRUCT& d) { ++d.dwData; }, std::nullopt},
        {L"halbes Zeichen", [](COPYDATASTRUCT& d) { --d.cbData; }, std::nullopt},
        {L"ohne Daten", [](COPYDATASTRUCT& d) { d.lpData = nullptr; }, std::nullopt},
        {L"Null im Pfad", [&](COPYDATASTRUCT& d) { d = modMain::ÜbergabeVerpacken(mitNull); }, std::nullopt},
        {L"länger als jeder Pfad", [](COPYDATASTRUCT& d) { d.cbData = 70000; }, std::nullopt},
    };
    for (const auto& [name, ändern, ergebnis] : fälle) {
        COPYDATASTRUCT daten = modMain::ÜbergabeVerpacken(pfad);
        ändern(daten);
        EXPECT_EQ(modMain::ÜbergabeLesen(daten), ergebnis) << name;
    }
}

TEST(Fenster, FontsAsDescribed) {
    frmMain& haupt = frmMain::Instanz();
    frmFortschritt& fortschritt = frmFortschritt::Instanz();
    ASSERT_TRUE(haupt.Laden() && fortschritt.Laden());
    const auto schrift = [](HWND element) {
        LOGFONTW lf{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(element, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        return lf;
    };
    for (int id : {frmMain::lblÖffnen, frmMain::lblErstellen, frmMain::lblBeschreibung, frmMain::lblTitel})
        EXPECT_STREQ(schrift(haupt.Element(id)).lfFaceName, L"Tahoma") << id;
    const LOGFONTW titel = schrift(fortschritt.Element(frmFortschritt::lblTitel1));
    const LOGFONTW log = schrift(fortschritt.Element(frmFortschritt::txtFortschritt));
    const HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    EXPECT_STREQ(titel.lfFaceName, L"Tahoma");
    EXPECT_EQ(titel.lfHeight, -MulDiv(975, dpi, 7200));
    EXPECT_EQ(titel.lfWeight, FW_BOLD);
    EXPECT_STREQ(log.lfFaceName, L"Tahoma");
    EXPECT_EQ(log.lfHeight, -MulDiv(825, dpi, 7200));
}

TEST(Hauptfenster, EnterPressesTheFocusedButton) {
    SkriptBenutzer person;
    frmMain& fenster = frmMain::Instanz();
    ASSERT_TRUE(fenster.Laden());
    ShowWindow(fenster.Handle(), SW_SHOW);
    SetFocus(fenster.Element(frmMain::cmdÖffnen));
    person.WähleDatei(std::nullopt);
    MSG enter{fenster.Element(frmMain::cmdÖffnen), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    IsDialogMessageW(fenster.Handle(), &enter);
    EXPECT_EQ(person.Fragen().size(), 1u);
    ShowWindow(fenster.Handle(), SW_HIDE);
}

// Every way of closing the main window ends the program, also while the progress window of an
// earlier opening is still up, and unloads every window on the way.
TEST(Hauptfenster, EveryCloseUnloadsAllWindowsAndEndsTheProgram) {
    frmMain& haupt = frmMain::Instanz();
    const std::function<void()> schließen[] = {
        [&] { haupt.cmdEnde_Click(); },
        [&] { SendMessageW(haupt.Handle(), WM_CLOSE, 0, 0); },
        [&] { SendMessageW(haupt.Handle(), WM_ENDSESSION, TRUE, 0); },
    };
    for (size_t i = 0; i < std::size(schließen); ++i) {
        ASSERT_TRUE(haupt.Laden());
        frmFortschritt::Instanz().Öffnen(L"Ladewerk - Fortschritt", L"1");
        ErwartetesProgrammende ende;
        schließen[i]();
        EXPECT_EQ(ende.Anzahl(), 1) << i;
        EXPECT_TRUE(Fenster::GeladeneFenster().empty()) << i;
    }
}

namespace {

// The real progress window, noting for every logged line whether the main window takes input.
class Sperrprüfung final : public modFortschritt::Anzeige {
public:
    void ZeileAnhängen(const std::wstring& zeile) override {
        entsperrt.push_back(IsWindowEnabled(frmMain::Instanz().Handle()) != FALSE);
        echt.ZeileAnhängen(zeile);
    }
    bool IstSichtbar() override { return echt.IstSichtbar(); }
    void Öffnen(const std::wstring& titel, const std::wstring& modus) override { echt.Öffnen(titel, modus); }
    void Abschließen() override { echt.Abschließen(); }
    void FehlerAbschließen() override { echt.FehlerAbschließen(); }
    bool Arbeitet() override { return echt.Arbeitet(); }
    void BytesZeigen(uint64_t erledigt, uint64_t gesamt) override { echt.BytesZeigen(erledigt, gesamt); }

    frmFortschritt& echt = frmFortschritt::Instanz();
    std::vector<bool> entsperrt;
};

// Opening from the main window, with the person at the seam scripted.
class Oeffnen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(haupt.Laden());
        modFortschritt::AnzeigeSetzen(&sperre);
    }
    void TearDown() override {
        fortschritt.cmdBeenden_Click();
        modFortschritt::AnzeigeSetzen(nullptr);
    }

    SkriptBenutzer person;
    TempOrdner ordner;
    Sperrprüfung sperre;
    frmMain& haupt = frmMain::Instanz();
    frmFortschritt& fortschritt = frmFortschritt::Instanz();
};

}  // namespace

TEST_F(Oeffnen, CancelledDialogChangesNothing) {
    person.WähleDatei(std::nullopt);
    haupt.cmdÖffnen_Click();

    ASSERT_EQ(person.Fragen().size(), 1u);
    const auto& anfrage = person.Fragen()[0].datei;
    EXPECT_EQ(anfrage.filter, L"Ladewerk-Dateien (*.lwx)|*.lwx");
    EXPECT_EQ(anfrage.flags, 0x81004u);
    EXPECT_EQ(person.Fragen()[0].besitzer, haupt.Handle());
    EXPECT_TRUE(IsWindowEnabled(haupt.Handle()));
    EXPECT_FALSE(fortschritt.IstSichtbar());
}

TEST_F(Oeffnen, MainWindowIsLockedWhileTheChosenPackageIsOpened) {
    // An archive without entries: opened for real, it ends without anything to distribute.
    person.WähleDatei(ordner.Datei(L"Downloads 1.lwx", std::string("PK\x05\x06", 4) + std::string(18, '\0')));
    haupt.cmdÖffnen_Click();

    ASSERT_FALSE(sperre.entsperrt.empty());
    EXPECT_EQ(std::count(sperre.entsperrt.begin(), sperre.entsperrt.end(), true), 0);
    EXPECT_TRUE(IsWindowEnabled(haupt.Handle()));
    EXPECT_TRUE(fortschritt.IstSichtbar());
    EXPECT_EQ(fortschritt.Tag, L"1");
    EXPECT_TRUE(fortschritt.TimerAktiv());
    EXPECT_NE(fortschritt.Protokoll().find(L"Fehler - Nach dem Entpacken keine Dateien gefunden (2)"), std::wstring::npos)
        << fortschritt.Protokoll();
}

namespace {

// What another thread sees of the progress window while a long unpack runs, and the clicks it
// sends meanwhile, each as the WM_COMMAND a click produces.
struct Beobachter {
    Beobachter(HWND f, HWND h) : fortschritt(f), haupt(h) {}
    HWND fortschritt, haupt;
    std::atomic<bool> balkenGesehen{false}, antwortete{true};
    std::vector<int> stände;
    std::wstring text;
    std::thread faden;

    void Starten() {
        faden = std::thread([this] {
            HWND balken = GetDlgItem(fortschritt, frmFortschritt::prgBytes);
            for (int i = 0; i < 20000 && !IsWindowVisible(balken); ++i) Sleep(1);
            balkenGesehen = IsWindowVisible(balken) != FALSE;
            for (int i = 0; i < 40 && IsWindowVisible(balken); ++i) {
                DWORD_PTR r = 0;
                if (!SendMessageTimeoutW(fortschritt, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &r)) antwortete = false;
                stände.push_back(static_cast<int>(SendMessageW(balken, PBM_GETPOS, 0, 0)));
                if (i == 0) {
                    // A buffer of its own: the text may grow between asking its length and reading it.
                    wchar_t puffer[64] = {};
                    GetWindowTextW(GetDlgItem(fortschritt, frmFortschritt::lblBytes), puffer, 64);
                    text = puffer;
                }
                if (i == 1) {
                    for (const auto& [fenster, knopf] : {std::pair{haupt, int(frmMain::cmdÖffnen)},
                                                         {haupt, int(frmMain::cmdEnde)},
                                                         {fortschritt, int(frmFortschritt::cmdBeenden)}})
                        PostMessageW(fenster, WM_COMMAND, MAKEWPARAM(knopf, BN_CLICKED),
                                     reinterpret_cast<LPARAM>(GetDlgItem(fenster, knopf)));
                }
                Sleep(20);
            }
        });
    }
};

}  // namespace

// A package with one large member: the window answers throughout, the bar grows, and the clicks
// that arrive meanwhile neither start other work, nor end the program, nor close the log.
TEST_F(Oeffnen, DuringALongUnpackTheWindowAnswersShowsBytesAndIgnoresClicks) {
    ASSERT_TRUE(Peer::Python(ordner.Pfad(), "import zipfile\n"
                                            "with zipfile.ZipFile('gross.lwx', 'w', zipfile.ZIP_DEFLATED, compresslevel=1) as z:\n"
                                            "    z.writestr('gross.dat', bytes(range(256)) * (4096 * 192))\n"));
    // The distribution asks where files of an unknown kind go; no answer keeps them.
    person.WähleOrdner(std::nullopt);
    person.WähleOrdner(std::nullopt);
    ShowWindow(haupt.Handle(), SW_SHOW);
    ASSERT_TRUE(fortschritt.Laden());
    Beobachter beobachter{fortschritt.Handle(), haupt.Handle()};
    beobachter.Starten();
    haupt.PaketÖffnen(ordner.Pfad() + L"\\gross.lwx", L"1");
    beobachter.faden.join();

    EXPECT_TRUE(beobachter.balkenGesehen);
    EXPECT_TRUE(beobachter.antwortete);
    ASSERT_GE(beobachter.stände.size(), 2u);
    EXPECT_LT(beobachter.stände.front(), beobachter.stände.back());
    EXPECT_TRUE(std::is_sorted(beobachter.stände.begin(), beobachter.stände.end()));
    EXPECT_NE(beobachter.text.find(L" von 192,0 MB"), std::wstring::npos) << beobachter.text;
    for (const auto& frage : person.Fragen()) EXPECT_EQ(frage.art, L"Ordner") << frage.meldung.text;
    EXPECT_TRUE(fortschritt.IstSichtbar());
    EXPECT_FALSE(IsWindowVisible(fortschritt.Element(frmFortschritt::prgBytes)));
    // The result and its countdown are in front once the main window takes input again.
    EXPECT_TRUE(IsWindowEnabled(haupt.Handle()));
    EXPECT_EQ(GetForegroundWindow(), fortschritt.Handle());
    ShowWindow(haupt.Handle(), SW_HIDE);
}

// Packing runs in the create dialog, shown modally over the main window: when it closes, the
// progress window that the packing left open must not end up behind the main window.
TEST_F(Oeffnen, TheResultStaysInFrontWhenTheDialogOfTheWorkCloses) {
    ShowWindow(haupt.Handle(), SW_SHOW);
    fortschritt.Öffnen(L"Ladewerk - Fortschritt", L"0");
    fortschritt.Abschließen();
    frmInfos& dialog = frmInfos::Instanz();
    ASSERT_TRUE(dialog.Laden(haupt.Handle()));
    PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
    dialog.ModalZeigen(haupt.Handle());
    // The window in front, not merely above in the list: without a window manager the screen
    // shows the active window on top whatever the list says.
    EXPECT_EQ(GetForegroundWindow(), fortschritt.Handle());
    ShowWindow(haupt.Handle(), SW_HIDE);
}

// Logoff: refused while an operation runs, with what is half done removed should Windows end
// the program anyway; allowed when idle.
TEST_F(Oeffnen, LogoffWaitsForTheWorkAndAForcedEndLeavesNothingBehind) {
    fortschritt.Öffnen(L"Ladewerk - Fortschritt", L"1");
    EXPECT_EQ(SendMessageW(haupt.Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_EQ(SendMessageW(fortschritt.Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);

    const std::wstring teil = ordner.Datei(L"film.avi.0.lwteil", "halb");
    const std::wstring arbeit = ordner.Pfad() + L"\\Ladewerk-0000ABCD";
    CreateDirectoryW(arbeit.c_str(), nullptr);
    const std::wstring offen = arbeit + L"\\~lw1-0-0.tmp";
    // Still open for writing, as the file being unpacked is; closed by the end.
    HANDLE datei = CreateFileW(offen.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(datei, INVALID_HANDLE_VALUE);
    {
        const Programm::Überbleibsel ordnerRest(arbeit), teilRest(teil);
        Programm::Überbleibsel offenRest(offen);
        offenRest.OffenIn(datei);
        ErwartetesProgrammende ende;
        SendMessageW(haupt.Handle(), WM_ENDSESSION, TRUE, 0);
        EXPECT_EQ(ende.Anzahl(), 1);
    }
    EXPECT_EQ(GetFileAttributesW(teil.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(arbeit.c_str()), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(haupt.Laden());
    fortschritt.Öffnen(L"Ladewerk - Fortschritt", L"1");
    fortschritt.Abschließen();
    EXPECT_EQ(SendMessageW(haupt.Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
}
