#include "Fortschritt.h"
#include "Main.h"
#include "Programmende.h"
#include "SkriptBenutzer.h"
#include "TempOrdner.h"
#include "frmFortschritt.h"
#include "frmMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

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

TEST(Fenster, FontsAndProgressLayoutAsDescribed) {
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
    RECT client;
    GetClientRect(fortschritt.Handle(), &client);
    EXPECT_EQ(client.right, MulDiv(8475, dpi, 1440));
    EXPECT_EQ(client.bottom, MulDiv(3120, dpi, 1440));
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
    person.WähleDatei(ordner.Datei(L"Downloads 1.lwx", "PK"));
    haupt.cmdÖffnen_Click();

    ASSERT_FALSE(sperre.entsperrt.empty());
    EXPECT_EQ(std::count(sperre.entsperrt.begin(), sperre.entsperrt.end(), true), 0);
    EXPECT_TRUE(IsWindowEnabled(haupt.Handle()));
    EXPECT_TRUE(fortschritt.IstSichtbar());
    EXPECT_EQ(fortschritt.Tag, L"1");
    EXPECT_TRUE(fortschritt.TimerAktiv());
    EXPECT_NE(fortschritt.Protokoll().find(L"'Downloads 1.lwx'"), std::wstring::npos) << fortschritt.Protokoll();
}
