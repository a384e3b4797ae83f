#include "Fenster.h"
#include "Main.h"
#include "Programmende.h"
#include "Zeit.h"
#include "frmFortschritt.h"
#include "frmMain.h"

#include <gtest/gtest.h>

namespace {

// The progress window under a clock that the test moves by hand.
class Fortschritt : public ::testing::Test {
protected:
    void SetUp() override {
        modZeit::UhrSetzen([this] { return jetzt_; });
        jetzt_ = {};
        jetzt_.wYear = 2026, jetzt_.wMonth = 12, jetzt_.wDay = 6, jetzt_.wHour = 23, jetzt_.wMinute = 59;
        fenster.Öffnen(L"Ladewerk - Fortschritt", L"1");
    }
    void TearDown() override {
        if (fenster.IstSichtbar()) fenster.cmdBeenden_Click();
        modZeit::UhrSetzen(nullptr);
    }
    void Vergehen(int sekunden) {
        FILETIME ft;
        SystemTimeToFileTime(&jetzt_, &ft);
        ULARGE_INTEGER u{{ft.dwLowDateTime, ft.dwHighDateTime}};
        u.QuadPart += static_cast<ULONGLONG>(sekunden) * 10'000'000ULL;
        ft = {u.LowPart, u.HighPart};
        FileTimeToSystemTime(&ft, &jetzt_);
    }
    std::wstring Knopf() const { return fenster.ElementText(frmFortschritt::cmdBeenden); }
    bool KnopfAktiv() const { return IsWindowEnabled(fenster.Element(frmFortschritt::cmdBeenden)); }

    frmFortschritt& fenster = frmFortschritt::Instanz();
    SYSTEMTIME jetzt_{};
};

}  // namespace

TEST_F(Fortschritt, OpeningPreparesTheWindow) {
    EXPECT_TRUE(fenster.IstSichtbar());
    EXPECT_FALSE(KnopfAktiv());
    EXPECT_EQ(fenster.Text(), L"Ladewerk - Fortschritt");
    EXPECT_EQ(fenster.Tag, L"1");
    EXPECT_EQ(GetWindow(fenster.Handle(), GW_OWNER), frmMain::Instanz().Handle());
    EXPECT_FALSE(frmMain::Instanz().IstSichtbar());
}

TEST_F(Fortschritt, LinesAreJoinedWithExactlyOneCrLf) {
    fenster.ZeileAnhängen(L"");
    EXPECT_EQ(fenster.Protokoll(), L"");
    fenster.ZeileAnhängen(L"Erste");
    EXPECT_EQ(fenster.Protokoll(), L"Erste");
    fenster.ZeileAnhängen(L"Zweite");
    fenster.ZeileAnhängen(L"Ergebnis:\r\nZeile A\r\nZeile B");
    fenster.ZeileAnhängen(L"");
    EXPECT_EQ(fenster.Protokoll(), L"Erste\r\nZweite\r\nErgebnis:\r\nZeile A\r\nZeile B\r\n");
}

TEST_F(Fortschritt, LogOutgrowsTheEditControlDefaultLimit) {
    const std::wstring zeile(1000, L'x');
    for (int i = 0; i < 40; ++i) fenster.ZeileAnhängen(zeile);
    EXPECT_EQ(fenster.Protokoll().size(), 40u * 1000u + 39u * 2u);
}

TEST_F(Fortschritt, ReopeningEmptiesTheLogWrittenWhileHidden) {
    fenster.ZeileAnhängen(L"alt");
    fenster.cmdBeenden_Click();
    fenster.ZeileAnhängen(L"im Verborgenen");
    EXPECT_FALSE(fenster.IstSichtbar());
    EXPECT_EQ(fenster.Protokoll(), L"alt\r\nim Verborgenen");
    fenster.Öffnen(L"Ladewerk - Fortschritt", L"0");
    EXPECT_EQ(fenster.Protokoll(), L"");
}

TEST_F(Fortschritt, CountdownClosesAfterSixtySeconds) {
    fenster.Abschließen();
    EXPECT_TRUE(KnopfAktiv());
    EXPECT_TRUE(fenster.TimerAktiv());

    fenster.tmrSchließen_Timer();  // only records the start
    EXPECT_EQ(Knopf(), L"&Schließen");
    EXPECT_FALSE(fenster.Countdownstart.empty());

    fenster.tmrSchließen_Timer();
    EXPECT_EQ(Knopf(), L"Schließen [60]");
    Vergehen(18);
    fenster.tmrSchließen_Timer();
    EXPECT_EQ(Knopf(), L"Schließen [42]");
    Vergehen(41);
    fenster.tmrSchließen_Timer();
    EXPECT_EQ(Knopf(), L"Schließen [1]");
    EXPECT_TRUE(fenster.IstSichtbar());

    Vergehen(1);  // across midnight into the next day
    fenster.tmrSchließen_Timer();
    EXPECT_FALSE(fenster.IstSichtbar());
    EXPECT_FALSE(fenster.TimerAktiv());
    EXPECT_EQ(Knopf(), L"&Schließen");
    EXPECT_EQ(fenster.Countdownstart, L"");
}

TEST_F(Fortschritt, ClosingDuringCountdownStopsItAndTheNextFinishStartsAfresh) {
    fenster.Abschließen();
    fenster.tmrSchließen_Timer();
    Vergehen(50);
    fenster.tmrSchließen_Timer();
    EXPECT_EQ(Knopf(), L"Schließen [10]");
    fenster.cmdBeenden_Click();
    EXPECT_FALSE(fenster.TimerAktiv());

    fenster.Öffnen(L"Ladewerk - Fortschritt", L"1");
    fenster.Abschließen();
    fenster.tmrSchließen_Timer();
    fenster.tmrSchließen_Timer();
    EXPECT_EQ(Knopf(), L"Schließen [60]");
}

TEST_F(Fortschritt, ANewOperationStopsTheCountdownOfThePreviousOne) {
    fenster.Abschließen();
    fenster.tmrSchließen_Timer();
    Vergehen(30);
    fenster.tmrSchließen_Timer();
    fenster.Öffnen(L"Ladewerk - Fortschritt", L"1");
    EXPECT_FALSE(fenster.TimerAktiv());
    EXPECT_EQ(Knopf(), L"&Schließen");
    EXPECT_EQ(fenster.Countdownstart, L"");
}

TEST_F(Fortschritt, EnterAndEscCloseOnlyWhenTheButtonIsEnabled) {
    auto taste = [&](WPARAM t) {
        MSG nachricht{fenster.Element(frmFortschritt::txtFortschritt), WM_KEYDOWN, t, 0, 0, {}};
        IsDialogMessageW(fenster.Handle(), &nachricht);
        nachricht.message = WM_CHAR;
        IsDialogMessageW(fenster.Handle(), &nachricht);
        Fenster::NachrichtenVerarbeiten();  // the log box posts what it does with the key
    };
    for (WPARAM t : {WPARAM(VK_RETURN), WPARAM(VK_ESCAPE)}) {
        taste(t);
        EXPECT_TRUE(fenster.IstSichtbar()) << t;
    }
    SendMessageW(fenster.Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(fenster.IstSichtbar());

    fenster.FehlerAbschließen();
    EXPECT_FALSE(fenster.TimerAktiv());
    taste(VK_ESCAPE);
    EXPECT_FALSE(fenster.IstSichtbar());
    fenster.Öffnen(L"Ladewerk - Fortschritt", L"1");
    fenster.FehlerAbschließen();
    taste(VK_RETURN);
    EXPECT_FALSE(fenster.IstSichtbar());
}

TEST_F(Fortschritt, OnlyModeTwoEndsTheProgram) {
    ErwartetesProgrammende ende;
    for (const wchar_t* modus : {L"0", L"1"}) {
        fenster.Öffnen(L"Ladewerk - Fortschritt", modus);
        fenster.Abschließen();
        fenster.cmdBeenden_Click();
    }
    EXPECT_EQ(ende.Anzahl(), 0);
    fenster.Öffnen(L"Ladewerk - Fortschritt", L"2");
    fenster.Abschließen();
    fenster.cmdBeenden_Click();
    EXPECT_EQ(ende.Anzahl(), 1);
}
