#include "Dateien.h"
#include "Main.h"
#include "Peer.h"
#include "Programm.h"
#include "Programmende.h"
#include "SkriptBenutzer.h"
#include "TempOrdner.h"
#include "Zeit.h"
#include "frmFortschritt.h"
#include "frmMain.h"
#include "modKompressionErstellen.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

// The command line is one path, quotes or not. WM_COPYDATA may come from any program: only a
// whole handover of a path is taken.
TEST(Start, CommandLineHandoverAndTheCharactersNoPackageName) {
    const std::pair<const wchar_t*, const wchar_t*> kBefehlszeilen[] = {
        {L"\"C:\\Pro gramme\\lw.exe\" \"C:\\Eigene Dateien\\D 1.lwx\"", L"C:\\Eigene Dateien\\D 1.lwx"},
        {L"C:\\lw.exe   C:\\Eigene Dateien\\D 1.lwx  ", L"C:\\Eigene Dateien\\D 1.lwx"},
        {L"lw.exe C:\\a\"b\".lwx", L"C:\\ab.lwx"}, {L"lw.exe \"\"", L""},
    };
    for (const auto& [befehlszeile, pfad] : kBefehlszeilen) EXPECT_EQ(modMain::BefehlszeilenPfad(befehlszeile), pfad);
    const std::wstring pfad = L"C:\\Eigene Dateien\\Downloads 1.lwx", mitNull(L"C:\\a.lwx\0C:\\b.lwx", 17);
    using D = COPYDATASTRUCT&;
    const std::pair<std::function<void(D)>, std::optional<std::wstring>> kÜbergaben[] = {
        {[](D) {}, pfad}, {[](D d) { d.cbData = 0; }, L""}, {[](D d) { ++d.dwData; }, std::nullopt},
        {[](D d) { --d.cbData; }, std::nullopt}, {[](D d) { d.lpData = nullptr; }, std::nullopt},
        {[&](D d) { d = modMain::ÜbergabeVerpacken(mitNull); }, std::nullopt},
        {[](D d) { d.cbData = 70000; }, std::nullopt},
    };
    for (size_t i = 0; i < std::size(kÜbergaben); ++i) {
        COPYDATASTRUCT daten = modMain::ÜbergabeVerpacken(pfad);
        kÜbergaben[i].first(daten);
        EXPECT_EQ(modMain::ÜbergabeLesen(daten), kÜbergaben[i].second) << i;
    }
    modMain::ZeichenInitialisieren();
    EXPECT_EQ(modKompression::DateinamenPrüfen(L"C:\\a[1]\\b].mp3"), L"C:\\a_1_\\b_.mp3");
}

namespace {

// The main window and the progress window, under a clock that the test moves by hand.
class Fortschritt : public ::testing::Test {
protected:
    void SetUp() override {
        modZeit::UhrSetzen([this] { return jetzt; });
        modFortschritt::AnzeigeSetzen(&fenster);
        fenster.Öffnen(L"Ladewerk - Fortschritt", L"1");
    }
    void TearDown() override {
        if (fenster.IstSichtbar()) fenster.cmdBeenden_Click();
        modFortschritt::AnzeigeSetzen(nullptr);
        modZeit::UhrSetzen(nullptr);
    }
    void Vergehen(int sekunden) {
        ULARGE_INTEGER zeit;
        SystemTimeToFileTime(&jetzt, reinterpret_cast<FILETIME*>(&zeit));
        zeit.QuadPart += sekunden * 10'000'000ULL;
        FileTimeToSystemTime(reinterpret_cast<FILETIME*>(&zeit), &jetzt);
    }

    frmMain& haupt = frmMain::Instanz();
    frmFortschritt& fenster = frmFortschritt::Instanz();
    SYSTEMTIME jetzt{2026, 12, 0, 6, 23, 59, 0, 0};
};

}  // namespace

// Every way of closing the main window ends the program, also while the progress window is up,
// unloads every window and removes what an interrupted operation left half done, closing first
// the file it still writes. Logoff waits while an operation runs.
TEST_F(Fortschritt, EveryCloseEndsTheProgramAndLeavesNothingHalfDone) {
    const std::function<void()> kSchließen[] = {
        [&] { haupt.cmdEnde_Click(); }, [&] { SendMessageW(haupt.Handle(), WM_CLOSE, 0, 0); },
        [&] { SendMessageW(haupt.Handle(), WM_ENDSESSION, TRUE, 0); },
    };
    TempOrdner ordner;
    const std::wstring arbeit = ordner.Pfad() + L"\\Ladewerk-0000ABCD", offen = arbeit + L"\\~lw1-0-0.tmp";
    for (size_t i = 0; i < std::size(kSchließen); ++i) {
        fenster.Öffnen(L"Ladewerk - Fortschritt", L"1");
        EXPECT_FALSE(SendMessageW(haupt.Handle(), WM_QUERYENDSESSION, 0, 0) ||
                     SendMessageW(fenster.Handle(), WM_QUERYENDSESSION, 0, 0));
        const std::wstring teil = ordner.Datei(L"film.avi.0.lwteil", "halb");
        CreateDirectoryW(arbeit.c_str(), nullptr);
        const Programm::Überbleibsel ordnerRest(arbeit), teilRest(teil);
        Programm::Überbleibsel offenRest(offen);
        offenRest.OffenIn(CreateFileW(offen.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ErwartetesProgrammende ende;
        kSchließen[i]();
        EXPECT_EQ(ende.Anzahl(), 1) << i;
        EXPECT_TRUE(Oberfläche::GeladeneFenster().empty()) << i;
        EXPECT_FALSE(Existiert(teil) || Existiert(arbeit)) << i;
    }
    fenster.Öffnen(L"Ladewerk - Fortschritt", L"1");
    fenster.Abschließen();
    EXPECT_TRUE(SendMessageW(haupt.Handle(), WM_QUERYENDSESSION, 0, 0));
}

// A package with one large member, seen from another thread: the main window is locked, the
// progress window answers, and clicks that arrive meanwhile neither start other work, nor end
// the program, nor close the log. The result is in front once the main window is free again.
TEST_F(Fortschritt, DuringAnOpeningTheMainWindowIsLockedAndTheProgressAnswers) {
    SkriptBenutzer person;
    TempOrdner ordner;
    const char* const kGross = "import zipfile\n"
                               "with zipfile.ZipFile('gross.lwx', 'w', zipfile.ZIP_DEFLATED, True, 1) as z:\n"
                               "    z.writestr('gross.dat', bytes(range(256)) * (4096 * 96))\n";
    ASSERT_TRUE(Peer::Python(ordner.Pfad(), kGross));
    person.WähleOrdner(std::nullopt);  // where files of an unknown kind go: no answer keeps them
    person.WähleOrdner(std::nullopt);
    ShowWindow(haupt.Handle(), SW_SHOW);
    std::atomic<int> gesehen{0}, gesperrt{0}, antwortete{0};
    std::thread beobachter([&, f = fenster.Handle(), h = haupt.Handle()] {
        const HWND balken = GetDlgItem(f, frmFortschritt::prgBytes);
        for (int i = 0; i < 20000 && !IsWindowVisible(balken); ++i) Sleep(1);
        for (; gesehen < 40 && IsWindowVisible(balken); ++gesehen, Sleep(20)) {
            DWORD_PTR r = 0;
            antwortete += SendMessageTimeoutW(f, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &r) != 0;
            gesperrt += !IsWindowEnabled(h);
            if (gesehen != 1) continue;
            for (const auto& [ziel, knopf] : {std::pair{h, int(frmMain::cmdÖffnen)}, {h, int(frmMain::cmdEnde)},
                                              {f, int(frmFortschritt::cmdBeenden)}})
                PostMessageW(ziel, WM_COMMAND, MAKEWPARAM(knopf, BN_CLICKED), LPARAM(GetDlgItem(ziel, knopf)));
        }
    });
    haupt.PaketÖffnen(ordner.Pfad() + L"\\gross.lwx", L"1");
    beobachter.join();
    EXPECT_GE(gesehen, 2);
    EXPECT_EQ(gesperrt, gesehen);
    EXPECT_EQ(antwortete, gesehen);
    for (const auto& frage : person.Fragen()) EXPECT_EQ(frage.art, L"Ordner") << frage.meldung.text;
    EXPECT_TRUE(IsWindowEnabled(haupt.Handle()));
    EXPECT_EQ(GetForegroundWindow(), fenster.Handle());
    ShowWindow(haupt.Handle(), SW_HIDE);
}

// The countdown counts the whole minute, across midnight too; closing the window or a new
// operation stops it.
TEST_F(Fortschritt, CountdownClosesAMinuteAfterTheEndUnlessSomethingNewBegins) {
    fenster.Abschließen();
    const std::tuple<int, const wchar_t*, bool> kSchritte[] = {  // seconds on, button, still open
        {0, L"&Schließen", true}, {18, L"Schließen [42]", true}, {41, L"Schließen [1]", true},
        {1, L"&Schließen", false}};
    for (const auto& [sekunden, knopf, offen] : kSchritte) {
        Vergehen(sekunden);
        fenster.tmrSchließen_Timer();
        EXPECT_EQ(fenster.ElementText(frmFortschritt::cmdBeenden), knopf) << sekunden;
        EXPECT_EQ(fenster.IstSichtbar(), offen) << sekunden;
    }
    for (const bool schließen : {true, false}) {
        fenster.Abschließen();
        fenster.tmrSchließen_Timer();
        Vergehen(50);
        fenster.tmrSchließen_Timer();
        if (schließen) fenster.cmdBeenden_Click();
        fenster.Öffnen(L"Ladewerk - Fortschritt", L"1");
        EXPECT_FALSE(fenster.TimerAktiv()) << schließen;
        EXPECT_EQ(fenster.ElementText(frmFortschritt::cmdBeenden), L"&Schließen") << schließen;
    }
}

// Enter, Esc, the close box and the button close the log, but never while the work still writes
// to it; only closing the window of a command-line run ends the program.
TEST_F(Fortschritt, ClosingOnlyOnceTheWorkIsDoneAndOnlyModeTwoEndsTheProgram) {
    const auto taste = [&](WPARAM t) {
        MSG nachricht{fenster.Element(frmFortschritt::txtFortschritt), WM_KEYDOWN, t, 0, 0, {}};
        IsDialogMessageW(fenster.Handle(), &nachricht);
        nachricht.message = WM_CHAR;
        IsDialogMessageW(fenster.Handle(), &nachricht);
        Oberfläche::NachrichtenVerarbeiten();  // the log box posts what it does with the key
    };
    const std::function<void()> kWege[] = {
        [&] { taste(VK_RETURN); }, [&] { taste(VK_ESCAPE); }, [&] { SendMessageW(fenster.Handle(), WM_CLOSE, 0, 0); },
        [&] { SendMessageW(fenster.Element(frmFortschritt::cmdBeenden), BM_CLICK, 0, 0); },
    };
    ErwartetesProgrammende ende;
    for (const wchar_t* modus : {L"0", L"1", L"2"}) {
        for (size_t i = 0; i < std::size(kWege); ++i) {
            fenster.Öffnen(L"Ladewerk - Fortschritt", modus);
            kWege[i]();
            EXPECT_TRUE(fenster.IstSichtbar()) << modus << i;
            fenster.FehlerAbschließen();
            kWege[i]();
            EXPECT_FALSE(fenster.IstSichtbar()) << modus << i;
        }
    }
    EXPECT_EQ(ende.Anzahl(), int(std::size(kWege)));
}

// Lines are joined by exactly one line break, beyond the edit control's default limit. The bar
// and its text count in the unit of the total, never ahead of the work; there is no bar without
// a total, nor in the next operation, which also starts with an empty log.
TEST_F(Fortschritt, TheLogAndTheBarShowWhatIsDone) {
    fenster.ZeileAnhängen(L"");
    fenster.ZeileAnhängen(L"Ergebnis:\r\nZeile A");
    for (int i = 0; i < 40; ++i) fenster.ZeileAnhängen(std::wstring(1000, L'x'));
    EXPECT_EQ(fenster.Protokoll().size(), 18 + 40 * 1002u);
    const HWND balken = fenster.Element(frmFortschritt::prgBytes);
    const std::tuple<uint64_t, uint64_t, const wchar_t*> kBytes[] = {
        {0, 0, nullptr}, {2047, 2048, L"1,9 von 2,0 KB"}, {uint64_t{1} << 30, uint64_t{5} << 30, L"1,0 von 5,0 GB"}};
    for (const auto& [erledigt, gesamt, soll] : kBytes) {
        fenster.BytesZeigen(erledigt, gesamt);
        EXPECT_EQ(IsWindowVisible(balken) ? fenster.ElementText(frmFortschritt::lblBytes) : L"-", soll ? soll : L"-");
    }
    fenster.Öffnen(L"Ladewerk - Fortschritt", L"1");
    EXPECT_FALSE(IsWindowVisible(balken));
    EXPECT_EQ(fenster.Protokoll(), L"");
}
