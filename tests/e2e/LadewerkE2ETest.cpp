// The real ladewerk.exe, started and driven from outside as a person would.

#include "TempOrdner.h"
#include "Dateien.h"
#include "Treiber.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

using Treiber::Prozess;

constexpr DWORD kWarten = 20000;
const std::wstring kWillkommen = L"Ladewerk 1.10 - Willkommen";
const std::wstring kFortschritt = L"Ladewerk - Fortschritt";
constexpr int kSchließenKnopf = 1101;
constexpr int kProtokoll = 1102;

std::wstring Programm() {
    const char* pfad = std::getenv("LADEWERK_EXE");
    return pfad ? Treiber::UnixPfadNachWindows(pfad) : L"";
}

Prozess Starten(const std::wstring& argumente = L"", const std::wstring& ordner = L"") {
    auto prozess = Prozess::Starten(Programm(), argumente, ordner);
    if (!prozess) ADD_FAILURE() << "ladewerk.exe startet nicht";
    return std::move(*prozess);
}

std::vector<std::wstring> SichtbareTitel(DWORD prozessId) {
    std::vector<std::wstring> titel;
    for (const auto& f : Treiber::FensterAuflisten(prozessId))
        if (f.sichtbar) titel.push_back(f.text);
    return titel;
}

// Checks that the start question names only the file and returns it for an answer.
HWND Frage(Prozess& prozess, const std::wstring& dateiname) {
    HWND frage = Treiber::FensterWarten(L"Ladewerk", kWarten, prozess.Id());
    const auto texte = Treiber::AlleTexte(frage);
    EXPECT_TRUE(Enthält(texte, L"Soll die Datei '" + dateiname + L"' jetzt verarbeitet werden?"))
        << ::testing::PrintToString(texte);
    EXPECT_EQ(SichtbareTitel(prozess.Id()), std::vector<std::wstring>{L"Ladewerk"});
    return frage;
}

// The progress window once its operation has finished, that is once its button takes clicks.
HWND FertigerFortschritt(Prozess& prozess) {
    HWND fortschritt = Treiber::FensterWarten(kFortschritt, kWarten, prozess.Id());
    HWND knopf = GetDlgItem(fortschritt, kSchließenKnopf);
    for (int i = 0; i < 200 && !IsWindowEnabled(knopf); ++i) Sleep(50);
    return IsWindowEnabled(knopf) ? fortschritt : nullptr;
}

}  // namespace

TEST(Start, WithoutAnExistingFileShowsOnlyTheWelcomeWindowAndEndsWithIt) {
    ASSERT_FALSE(Programm().empty()) << "LADEWERK_EXE fehlt";
    TempOrdner ordner;
    Prozess prozess = Starten(L"\"" + ordner.Pfad() + L"\\gibt es nicht.lwx\"");
    HWND haupt = Treiber::FensterWarten(kWillkommen, kWarten, prozess.Id());
    ASSERT_TRUE(haupt);
    EXPECT_EQ(SichtbareTitel(prozess.Id()), std::vector<std::wstring>{kWillkommen});
    const auto texte = Treiber::AlleTexte(haupt);
    for (const wchar_t* text :
         {L"Ladewerk - Willkommen", L"Bitte wählen Sie die gewünschte Funktion aus:", L"Datei öffnen...",
          L"Datei erstellen...", L"Info...", L"Beenden",
          L"Öffnen Sie eine mit diesem Programm erstellte Datei. Dabei werden die enthaltenen Dateien in die passenden "
          L"Ordner entpackt und FileSharing- Programme neu gestartet.",
          L"Erstellen Sie eine Datei, in der Ihre Downloads zusammengefasst werden und portieren Sie diese zum "
          L"Download auf einen anderen Computer."})
        EXPECT_TRUE(Enthält(texte, text)) << text << " in " << ::testing::PrintToString(texte);

    ASSERT_TRUE(Treiber::KnopfKlicken(haupt, L"Beenden"));
    DWORD code = 1;
    EXPECT_TRUE(prozess.EndeWarten(kWarten, &code));
    EXPECT_EQ(code, 0u);
}

// A second start never runs beside the first: it hands its package over, or brings the running
// window back, and ends.
TEST(Start, SecondStartHandsItsPackageToTheRunningInstance) {
    TempOrdner ordner;
    const std::wstring paket = ordner.Datei(L"Paket.lwx", "PK"), anderes = ordner.Datei(L"Anderes.lwx", "PK");
    auto zweiteStarten = [&](const std::wstring& argumente) {
        Prozess zweite = Starten(argumente);
        DWORD code = 1;
        EXPECT_TRUE(zweite.EndeWarten(kWarten, &code)) << argumente;
        EXPECT_EQ(code, 0u) << argumente;
    };

    // Idle: the usual question, answered no, and nothing else changes.
    Prozess erste = Starten();
    HWND haupt = Treiber::FensterWarten(kWillkommen, kWarten, erste.Id());
    ASSERT_TRUE(haupt);
    zweiteStarten(L"\"" + paket + L"\"");
    HWND frage = Treiber::FensterWarten(L"Ladewerk", kWarten, erste.Id());
    ASSERT_TRUE(frage);
    EXPECT_TRUE(Enthält(Treiber::AlleTexte(frage), L"Soll die Datei 'Paket.lwx' jetzt verarbeitet werden?"));
    ASSERT_TRUE(Treiber::KnopfKlicken(frage, L"Nein"));
    ASSERT_TRUE(Treiber::FensterVerschwindenWarten(frage, kWarten));

    // Without a package: the minimised window comes back.
    ShowWindow(haupt, SW_MINIMIZE);
    zweiteStarten(L"");
    for (int i = 0; i < 100 && IsIconic(haupt); ++i) Sleep(50);
    EXPECT_FALSE(IsIconic(haupt));
    EXPECT_FALSE(erste.EndeWarten(0));
    PostMessageW(haupt, WM_CLOSE, 0, 0);
    EXPECT_TRUE(erste.EndeWarten(kWarten));

    // Busy (here with its own package's question): a message names the file, which stays as it was.
    Prozess dritte = Starten(paket);
    HWND eigeneFrage = Frage(dritte, L"Paket.lwx");
    zweiteStarten(anderes);
    std::wstring meldung;
    for (int i = 0; i < 200 && meldung.empty(); ++i, Sleep(50))
        for (const auto& f : Treiber::FensterAuflisten(dritte.Id()))
            for (const auto& text : f.sichtbar ? Treiber::AlleTexte(f.hwnd) : std::vector<std::wstring>{})
                if (text.find(anderes) != std::wstring::npos) meldung = text;
    EXPECT_NE(meldung.find(L"Die Datei '" + anderes + L"' wurde nicht geöffnet"), std::wstring::npos) << meldung;
    EXPECT_TRUE(IsWindowVisible(eigeneFrage));
    EXPECT_NE(GetFileAttributesW(anderes.c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(Treiber::KnopfKlicken(eigeneFrage, L"Nein"));
    EXPECT_TRUE(dritte.EndeWarten(kWarten));
}

// Started in the package's folder with its bare name, as a file manager may start it. The
// package vanishes before the answer, so the log names the path that was handed on. Then what
// only the real program can show: the timer ticks every half second, and the window it counts
// down in ends the program by itself. The arithmetic is the unit tests' business.
TEST(Countdown, RelativePathIsHandedOnInFullAndTheWindowEndsTheProgramByItself) {
    TempOrdner ordner;
    const std::wstring paket = ordner.Datei(L"Paket.lwx", "PK");
    Prozess prozess = Starten(L"Paket.lwx", ordner.Pfad());
    HWND frage = Frage(prozess, L"Paket.lwx");
    ASSERT_TRUE(DeleteFileW(paket.c_str()));
    ASSERT_TRUE(Treiber::KnopfKlicken(frage, L"Ja"));

    HWND fortschritt = FertigerFortschritt(prozess);
    ASSERT_TRUE(fortschritt);
    EXPECT_EQ(SichtbareTitel(prozess.Id()), std::vector<std::wstring>{kFortschritt});
    EXPECT_TRUE(Enthält(Treiber::AlleTexte(fortschritt), L"Folgende Vorgänge werden ausgeführt, bitte warten:"));
    const std::wstring log = Treiber::SteuerelementText(fortschritt, kProtokoll).value_or(L"");
    EXPECT_NE(log.find(L"Fehler - Datei '" + paket + L"' existiert nicht"), std::wstring::npos) << log;

    std::wstring knopf;
    for (int i = 0; i < 150 && !knopf.starts_with(L"Schließen ["); ++i, Sleep(100))
        knopf = Treiber::SteuerelementText(fortschritt, kSchließenKnopf).value_or(L"");
    EXPECT_TRUE(knopf.starts_with(L"Schließen [")) << knopf;
    EXPECT_TRUE(prozess.EndeWarten(90000));
}

TEST(Oeffnen, ChosenPackageOpensAndClosingTheMainWindowThenEndsTheProgram) {
    TempOrdner ordner;
    // An archive without entries: opened for real, it ends without anything to distribute.
    const std::wstring paket =
        ordner.Datei(L"Paket vom Montag.lwx", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    Prozess prozess = Starten();
    HWND haupt = Treiber::FensterWarten(kWillkommen, kWarten, prozess.Id());
    ASSERT_TRUE(haupt);
    ASSERT_TRUE(Treiber::KnopfKlicken(haupt, L"Datei öffnen..."));
    HWND dialog = Treiber::FensterWarten(L"Datei öffnen", kWarten, prozess.Id());
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(IsWindowEnabled(haupt));
    ASSERT_TRUE(Treiber::DateinameBestätigen(dialog, paket));

    HWND fortschritt = FertigerFortschritt(prozess);
    ASSERT_TRUE(fortschritt);
    const std::wstring log = Treiber::SteuerelementText(fortschritt, kProtokoll).value_or(L"");
    EXPECT_NE(log.find(L"Fehler - Nach dem Entpacken keine Dateien gefunden (2)"), std::wstring::npos) << log;
    EXPECT_TRUE(IsWindowEnabled(haupt));
    PostMessageW(haupt, WM_CLOSE, 0, 0);
    EXPECT_TRUE(prozess.EndeWarten(kWarten));
}
