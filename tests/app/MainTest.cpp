#include "Main.h"
#include "SkriptBenutzer.h"
#include "TempOrdner.h"
#include "frmFortschritt.h"
#include "frmMain.h"
#include "modKompression.h"

#include <gtest/gtest.h>

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
        {L"ladewerk.exe   C:\\a.lwx  ", L"C:\\a.lwx"},
        {L"\"C:\\Pro gramme\\ladewerk.exe\"", L""},
        {L"ladewerk.exe", L""},
        {L"ladewerk.exe \"\"", L""},
        {L"\"C:\\Pro gramme\\ladewerk.exe\"C:\\x.lwx", L"C:\\x.lwx"},
        {L"\"C:\\unbeendet", L""},
    };
    for (const auto& [befehlszeile, pfad] : fälle) EXPECT_EQ(modMain::BefehlszeilenPfad(befehlszeile), pfad) << befehlszeile;
}

TEST(Befehlszeile, QuestionNamesOnlyTheFileAndDefaultsToYes) {
    SkriptBenutzer person;
    person.Antworte(IDYES);
    person.Antworte(IDNO);
    EXPECT_TRUE(modMain::VerarbeitenFragen(L"C:\\Eigene Dateien\\Downloads 1.lwx"));
    EXPECT_FALSE(modMain::VerarbeitenFragen(L"paket.lwx"));
    ASSERT_EQ(person.Fragen().size(), 2u);
    const auto& meldung = person.Fragen()[0].meldung;
    EXPECT_EQ(meldung.text, L"Soll die Datei 'Downloads 1.lwx' jetzt verarbeitet werden?");
    EXPECT_EQ(meldung.titel, L"Ladewerk");
    EXPECT_EQ(meldung.stil, UINT(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1));
    EXPECT_EQ(person.Fragen()[1].meldung.text, L"Soll die Datei 'paket.lwx' jetzt verarbeitet werden?");
}

namespace {

std::wstring Schriftname(HWND element, LONG* höhe = nullptr, LONG* gewicht = nullptr) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(element, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    if (höhe) *höhe = lf.lfHeight;
    if (gewicht) *gewicht = lf.lfWeight;
    return lf.lfFaceName;
}

RECT ClientRechteck(HWND fenster, HWND element) {
    RECT r;
    GetWindowRect(element, &r);
    MapWindowPoints(nullptr, fenster, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int Dpi() {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi;
}

}  // namespace

TEST(Hauptfenster, ControlsAreInTahoma) {
    frmMain& fenster = frmMain::Instanz();
    ASSERT_TRUE(fenster.Laden());
    for (int id : {frmMain::cmdInfo, frmMain::cmdEnde, frmMain::cmdÖffnen, frmMain::cmdErstellen,
                   frmMain::lblBeschreibung, frmMain::lblÖffnen, frmMain::lblErstellen})
        EXPECT_EQ(Schriftname(fenster.Element(id)), L"Tahoma") << id;
    LONG höhe = 0, gewicht = 0;
    EXPECT_EQ(Schriftname(fenster.Element(frmMain::lblTitel), &höhe, &gewicht), L"Tahoma");
    EXPECT_EQ(gewicht, FW_BOLD);
    EXPECT_EQ(höhe, -MulDiv(12, Dpi(), 72));
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

TEST(Fortschrittsfenster, LayoutAndFontsFollowTheirTable) {
    frmFortschritt& fenster = frmFortschritt::Instanz();
    ASSERT_TRUE(fenster.Laden());
    RECT client;
    GetClientRect(fenster.Handle(), &client);
    EXPECT_EQ(client.right, MulDiv(8475, Dpi(), 1440));
    EXPECT_EQ(client.bottom, MulDiv(3120, Dpi(), 1440));
    const RECT knopf = ClientRechteck(fenster.Handle(), fenster.Element(frmFortschritt::cmdBeenden));
    EXPECT_EQ(knopf.left, MulDiv(6885, Dpi(), 1440));
    EXPECT_EQ(knopf.top, MulDiv(2745, Dpi(), 1440));
    LONG höhe = 0, gewicht = 0;
    EXPECT_EQ(Schriftname(fenster.Element(frmFortschritt::lblTitel1), &höhe, &gewicht), L"Tahoma");
    EXPECT_EQ(gewicht, FW_BOLD);
    EXPECT_EQ(höhe, -MulDiv(975, Dpi(), 7200));
    EXPECT_EQ(Schriftname(fenster.Element(frmFortschritt::txtFortschritt), &höhe), L"Tahoma");
    EXPECT_EQ(höhe, -MulDiv(825, Dpi(), 7200));
}

namespace {

// Opening from the main window, with the person at the seam scripted.
class Oeffnen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(haupt.Laden());
        modFortschritt::AnzeigeSetzen(&fortschritt);
    }
    void TearDown() override { fortschritt.cmdBeenden_Click(); }

    SkriptBenutzer person;
    TempOrdner ordner;
    frmMain& haupt = frmMain::Instanz();
    frmFortschritt& fortschritt = frmFortschritt::Instanz();
};

}  // namespace

TEST_F(Oeffnen, CancelledDialogChangesNothing) {
    fortschritt.cmdBeenden_Click();
    fortschritt.ZeileAnhängen(L"vom letzten Mal");
    person.WähleDatei(std::nullopt);
    haupt.cmdÖffnen_Click();

    ASSERT_EQ(person.Fragen().size(), 1u);
    const auto& anfrage = person.Fragen()[0].datei;
    EXPECT_EQ(anfrage.filter, L"Ladewerk-Dateien (*.lwx)|*.lwx");
    EXPECT_EQ(anfrage.flags, 0x81004u);
    EXPECT_EQ(person.Fragen()[0].besitzer, haupt.Handle());
    EXPECT_TRUE(IsWindowEnabled(haupt.Handle()));
    EXPECT_FALSE(fortschritt.IstSichtbar());
    EXPECT_EQ(fortschritt.Protokoll().substr(fortschritt.Protokoll().size() - 15), L"vom letzten Mal");
}

TEST_F(Oeffnen, ChosenPackageRunsInModeOneAndLeavesThePackageAlone) {
    const std::wstring paket = ordner.Datei(L"Downloads 1.lwx", "PK");
    person.WähleDatei(paket);
    haupt.cmdÖffnen_Click();

    EXPECT_TRUE(IsWindowEnabled(haupt.Handle()));
    EXPECT_TRUE(fortschritt.IstSichtbar());
    EXPECT_EQ(fortschritt.Tag, L"1");
    EXPECT_EQ(fortschritt.Text(), L"Ladewerk - Fortschritt");
    EXPECT_TRUE(IsWindowEnabled(fortschritt.Element(frmFortschritt::cmdBeenden)));
    EXPECT_TRUE(fortschritt.TimerAktiv());
    const std::wstring log = fortschritt.Protokoll();
    EXPECT_EQ(log.rfind(L"Bereite DeKompression vor...\r\n", 0), 0u) << log;
    EXPECT_NE(log.find(L"'Downloads 1.lwx'"), std::wstring::npos) << log;
    EXPECT_TRUE(log.ends_with(L"\r\nDekompression und Verarbeitung beendet")) << log;
    EXPECT_NE(GetFileAttributesW(paket.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Oeffnen, CommandLineRunOpensTheWindowInModeTwoEvenForAVanishedPackage) {
    fortschritt.cmdBeenden_Click();
    const std::wstring fehlt = ordner.Pfad() + L"\\weg.lwx";
    modKompression::DateienDekomprimieren(fehlt);

    EXPECT_TRUE(fortschritt.IstSichtbar());
    EXPECT_EQ(fortschritt.Tag, L"2");
    EXPECT_FALSE(haupt.IstSichtbar());
    EXPECT_EQ(fortschritt.Protokoll(),
              L"Fehler - Datei '" + fehlt + L"' existiert nicht\r\nDekompression und Verarbeitung beendet");
    fortschritt.Tag = L"0";  // closing in TearDown must not end the test program
}
