#include "Fenster.h"
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

TEST_F(Fortschritt, OpeningEmptiesTheLogAndLinesAreJoinedWithExactlyOneCrLf) {
    fenster.cmdBeenden_Click();
    fenster.ZeileAnhängen(L"im Verborgenen");
    fenster.Öffnen(L"Ladewerk - Fortschritt", L"1");
    EXPECT_FALSE(KnopfAktiv());
    EXPECT_EQ(GetWindow(fenster.Handle(), GW_OWNER), frmMain::Instanz().Handle());
    fenster.ZeileAnhängen(L"");
    EXPECT_EQ(fenster.Protokoll(), L"");
    fenster.ZeileAnhängen(L"Erste");
    fenster.ZeileAnhängen(L"Ergebnis:\r\nZeile A");
    fenster.ZeileAnhängen(L"");
    EXPECT_EQ(fenster.Protokoll(), L"Erste\r\nErgebnis:\r\nZeile A\r\n");
}

// A long operation logs line by line: each line must show the end of the log, even after the
// person scrolled back, and let waiting window events through.
TEST_F(Fortschritt, EachLineShowsTheEndOfTheLogAndLetsEventsRun) {
    HWND text = fenster.Element(frmFortschritt::txtFortschritt);
    const std::wstring zeile(1000, L'x');  // 40 of them outgrow the edit control's default limit
    for (int i = 0; i < 40; ++i) fenster.ZeileAnhängen(zeile);
    SendMessageW(text, EM_SETSEL, 0, 0);
    SendMessageW(text, EM_SCROLLCARET, 0, 0);
    PostMessageW(fenster.Handle(), WM_APP, 0, 0);
    fenster.ZeileAnhängen(L"Ende");

    const DWORD länge = 40 * 1002 + 4;
    ASSERT_EQ(fenster.Protokoll().size(), länge);
    DWORD anfang = 0, ende = 0;
    SendMessageW(text, EM_GETSEL, reinterpret_cast<WPARAM>(&anfang), reinterpret_cast<LPARAM>(&ende));
    EXPECT_EQ(anfang, länge);
    EXPECT_EQ(ende, länge);
    RECT sichtbar;
    GetClientRect(text, &sichtbar);
    const auto y = static_cast<short>(HIWORD(SendMessageW(text, EM_POSFROMCHAR, länge - 1, 0)));
    EXPECT_TRUE(y >= 0 && y < sichtbar.bottom) << y;
    MSG wartend;
    EXPECT_FALSE(PeekMessageW(&wartend, fenster.Handle(), WM_APP, WM_APP, PM_REMOVE));
}

TEST_F(Fortschritt, CountdownClosesAfterSixtySeconds) {
    fenster.Abschließen();
    EXPECT_TRUE(KnopfAktiv());
    EXPECT_TRUE(fenster.TimerAktiv());

    fenster.tmrSchließen_Timer();  // only records the start
    EXPECT_EQ(Knopf(), L"&Schließen");
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
}

TEST_F(Fortschritt, ClosingOrANewOperationStopsTheCountdownAndTheNextStartsAfresh) {
    for (const bool schließen : {true, false}) {
        fenster.Abschließen();
        fenster.tmrSchließen_Timer();
        Vergehen(50);
        fenster.tmrSchließen_Timer();
        if (schließen) fenster.cmdBeenden_Click();
        fenster.Öffnen(L"Ladewerk - Fortschritt", L"1");
        EXPECT_FALSE(fenster.TimerAktiv()) << schließen;
        EXPECT_EQ(Knopf(), L"&Schließen") << schließen;
        fenster.Abschließen();
        fenster.tmrSchließen_Timer();
        fenster.tmrSchließen_Timer();
        EXPECT_EQ(Knopf(), L"Schließen [60]") << schließen;
    }
}

TEST_F(Fortschritt, EnterAndEscCloseOnlyWhenTheButtonIsEnabled) {
    auto taste = [&](WPARAM t) {
        MSG nachricht{fenster.Element(frmFortschritt::txtFortschritt), WM_KEYDOWN, t, 0, 0, {}};
        IsDialogMessageW(fenster.Handle(), &nachricht);
        nachricht.message = WM_CHAR;
        IsDialogMessageW(fenster.Handle(), &nachricht);
        Fenster::NachrichtenVerarbeiten();  // the log box posts what it does with the key
    };
    SendMessageW(fenster.Handle(), WM_CLOSE, 0, 0);
    for (WPARAM t : {WPARAM(VK_RETURN), WPARAM(VK_ESCAPE)}) {
        taste(t);
        EXPECT_TRUE(fenster.IstSichtbar()) << t;
        fenster.FehlerAbschließen();
        taste(t);
        EXPECT_FALSE(fenster.IstSichtbar()) << t;
        fenster.Öffnen(L"Ladewerk - Fortschritt", L"1");
    }
}

TEST_F(Fortschritt, OnlyModeTwoEndsTheProgram) {
    ErwartetesProgrammende ende;
    for (const wchar_t* modus : {L"0", L"1", L"2"}) {
        fenster.Öffnen(L"Ladewerk - Fortschritt", modus);
        fenster.Abschließen();
        fenster.cmdBeenden_Click();
        EXPECT_EQ(ende.Anzahl(), modus == std::wstring(L"2") ? 1 : 0) << modus;
    }
}

// The bar and its text in the bottom row; both in the unit of the total, never ahead of the work.
TEST_F(Fortschritt, BytesShowInTheUnitOfTheTotalAndNoBarWithoutAStep) {
    constexpr uint64_t kGiB = uint64_t{1} << 30;
    struct Fall {
        uint64_t erledigt, gesamt;
        const wchar_t* text;  // nullptr: bar and text hidden
    } const fälle[] = {
        {0, 0, nullptr},
        {512, 1000, L"512 von 1000 Bytes"},
        {2047, 2048, L"1,9 von 2,0 KB"},
        {kGiB * 6 / 5 + 1, 5 * kGiB, L"1,2 von 5,0 GB"},
        {kGiB - 1, kGiB, L"0,9 von 1,0 GB"},
        {5 * kGiB, 5 * kGiB, L"5,0 von 5,0 GB"},
        {0, 3 * (uint64_t{1} << 20), L"0,0 von 3,0 MB"},
    };
    HWND balken = fenster.Element(frmFortschritt::prgBytes);
    for (const auto& [erledigt, gesamt, text] : fälle) {
        fenster.BytesZeigen(erledigt, gesamt);
        EXPECT_EQ(IsWindowVisible(balken) != FALSE, text != nullptr) << gesamt;
        EXPECT_EQ(IsWindowVisible(fenster.Element(frmFortschritt::lblBytes)) != FALSE, text != nullptr) << gesamt;
        if (text) {
            EXPECT_EQ(fenster.ElementText(frmFortschritt::lblBytes), text);
        }
    }
    // A new operation starts without the bar of the last one.
    fenster.Öffnen(L"Ladewerk - Fortschritt", L"1");
    EXPECT_FALSE(IsWindowVisible(balken));
}
