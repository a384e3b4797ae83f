// The real ladewerk.exe, started and driven from outside as a person would.

#include "TempOrdner.h"
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

std::wstring Programm() {
    const char* pfad = std::getenv("LADEWERK_EXE");
    return pfad ? Treiber::UnixPfadNachWindows(pfad) : L"";
}

Prozess Starten(const std::wstring& argumente = L"") {
    auto prozess = Prozess::Starten(Programm(), argumente);
    if (!prozess) ADD_FAILURE() << "ladewerk.exe startet nicht";
    return std::move(*prozess);
}

bool Enthält(const std::vector<std::wstring>& texte, const std::wstring& text) {
    return std::find(texte.begin(), texte.end(), text) != texte.end();
}

std::vector<std::wstring> SichtbareTitel(DWORD prozessId) {
    std::vector<std::wstring> titel;
    for (const auto& f : Treiber::FensterAuflisten(prozessId))
        if (f.sichtbar) titel.push_back(f.text);
    return titel;
}

// Answers the start question and checks that it names only the file.
void FrageBeantworten(Prozess& prozess, const std::wstring& dateiname, const std::wstring& knopf) {
    HWND frage = Treiber::FensterWarten(L"Ladewerk", kWarten, prozess.Id());
    ASSERT_TRUE(frage);
    const auto texte = Treiber::AlleTexte(frage);
    EXPECT_TRUE(Enthält(texte, L"Soll die Datei '" + dateiname + L"' jetzt verarbeitet werden?"))
        << ::testing::PrintToString(texte);
    EXPECT_EQ(SichtbareTitel(prozess.Id()), std::vector<std::wstring>{L"Ladewerk"});
    ASSERT_TRUE(Treiber::KnopfKlicken(frage, knopf));
}

bool SchließenKlicken(HWND fortschritt) {
    HWND knopf = GetDlgItem(fortschritt, kSchließenKnopf);
    for (int i = 0; i < 200 && !IsWindowEnabled(knopf); ++i) Sleep(50);
    return IsWindowEnabled(knopf) && PostMessageW(knopf, BM_CLICK, 0, 0);
}

}  // namespace

TEST(Start, WithoutArgumentsShowsTheWelcomeWindowAndEndsWithIt) {
    ASSERT_FALSE(Programm().empty()) << "LADEWERK_EXE fehlt";
    Prozess prozess = Starten();
    HWND haupt = Treiber::FensterWarten(kWillkommen, kWarten, prozess.Id());
    ASSERT_TRUE(haupt);
    const auto texte = Treiber::AlleTexte(haupt);
    for (const wchar_t* text : {L"Ladewerk - Willkommen", L"Bitte wählen Sie die gewünschte Funktion aus:",
                                L"Datei öffnen...", L"Datei erstellen...", L"Info...", L"Beenden"})
        EXPECT_TRUE(Enthält(texte, text)) << text << " in " << ::testing::PrintToString(texte);

    ASSERT_TRUE(Treiber::KnopfKlicken(haupt, L"Beenden"));
    DWORD code = 1;
    EXPECT_TRUE(prozess.EndeWarten(kWarten, &code));
    EXPECT_EQ(code, 0u);
}

TEST(Start, VersionResourceNamesProductAndVersion) {
    const std::wstring exe = Programm();
    std::vector<BYTE> daten(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
    ASSERT_FALSE(daten.empty());
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(daten.size()), daten.data()));
    VS_FIXEDFILEINFO* fest = nullptr;
    UINT länge = 0;
    ASSERT_TRUE(VerQueryValueW(daten.data(), L"\\", reinterpret_cast<void**>(&fest), &länge));
    EXPECT_EQ(fest->dwFileVersionMS, MAKELONG(10, 1));
    EXPECT_EQ(fest->dwFileVersionLS, MAKELONG(50, 0));
    auto wert = [&](const wchar_t* name) {
        wchar_t* text = nullptr;
        const std::wstring schlüssel = std::wstring(L"\\StringFileInfo\\040704B0\\") + name;
        return VerQueryValueW(daten.data(), schlüssel.c_str(), reinterpret_cast<void**>(&text), &länge) && text
                   ? std::wstring(text)
                   : std::wstring();
    };
    EXPECT_EQ(wert(L"ProductName"), L"Ladewerk");
    EXPECT_EQ(wert(L"FileVersion"), L"1.10.0.50");
    EXPECT_NE(wert(L"LegalCopyright").find(L"©"), std::wstring::npos) << wert(L"LegalCopyright");
}

TEST(Start, ClosingTheMainWindowEndsTheProcess) {
    Prozess prozess = Starten();
    HWND haupt = Treiber::FensterWarten(kWillkommen, kWarten, prozess.Id());
    ASSERT_TRUE(haupt);
    PostMessageW(haupt, WM_CLOSE, 0, 0);
    EXPECT_TRUE(prozess.EndeWarten(kWarten));
}

TEST(Start, MissingFileShowsTheMainWindowWithoutAMessage) {
    TempOrdner ordner;
    Prozess prozess = Starten(L"\"" + ordner.Pfad() + L"\\gibt es nicht.lwx\"");
    ASSERT_TRUE(Treiber::FensterWarten(kWillkommen, kWarten, prozess.Id()));
    EXPECT_EQ(SichtbareTitel(prozess.Id()), std::vector<std::wstring>{kWillkommen});
}

TEST(Start, SecondInstanceEndsAtOnceAndSilently) {
    TempOrdner ordner;
    const std::wstring paket = ordner.Datei(L"Paket.lwx", "PK");
    Prozess erste = Starten();
    ASSERT_TRUE(Treiber::FensterWarten(kWillkommen, kWarten, erste.Id()));

    Prozess zweite = Starten(paket);
    DWORD code = 1;
    EXPECT_TRUE(zweite.EndeWarten(kWarten, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(SichtbareTitel(erste.Id()), std::vector<std::wstring>{kWillkommen});
    EXPECT_FALSE(erste.EndeWarten(0));
}

TEST(Befehlszeile, QuotedAndBarePathsAskForTheFileAndNoEndsWithoutWindow) {
    TempOrdner ordner;
    const std::wstring paket = ordner.Datei(L"Downloads vom Montag.lwx", "PK");
    for (const std::wstring& argumente : {L"\"" + paket + L"\"", paket}) {
        Prozess prozess = Starten(argumente);
        FrageBeantworten(prozess, L"Downloads vom Montag.lwx", L"Nein");
        DWORD code = 1;
        EXPECT_TRUE(prozess.EndeWarten(kWarten, &code)) << argumente;
        EXPECT_EQ(code, 0u);
    }
    EXPECT_NE(GetFileAttributesW(paket.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Befehlszeile, YesShowsOnlyTheProgressWindowAndClosingItEndsTheProgram) {
    TempOrdner ordner;
    const std::wstring paket = ordner.Datei(L"Paket.lwx", "PK");
    Prozess prozess = Starten(paket);
    FrageBeantworten(prozess, L"Paket.lwx", L"Ja");
    HWND fortschritt = Treiber::FensterWarten(kFortschritt, kWarten, prozess.Id());
    ASSERT_TRUE(fortschritt);
    EXPECT_EQ(SichtbareTitel(prozess.Id()), std::vector<std::wstring>{kFortschritt});
    EXPECT_TRUE(Enthält(Treiber::AlleTexte(fortschritt), L"Folgende Vorgänge werden ausgeführt, bitte warten:"));

    ASSERT_TRUE(SchließenKlicken(fortschritt));
    EXPECT_TRUE(prozess.EndeWarten(kWarten));
    EXPECT_NE(GetFileAttributesW(paket.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Countdown, CommandLineRunEndsByItselfAfterAMinute) {
    TempOrdner ordner;
    Prozess prozess = Starten(ordner.Datei(L"Paket.lwx", "PK"));
    FrageBeantworten(prozess, L"Paket.lwx", L"Ja");
    HWND fortschritt = Treiber::FensterWarten(kFortschritt, kWarten, prozess.Id());
    ASSERT_TRUE(fortschritt);
    EXPECT_FALSE(prozess.EndeWarten(55000));
    const std::wstring knopf = Treiber::SteuerelementText(fortschritt, kSchließenKnopf).value_or(L"");
    EXPECT_TRUE(knopf.starts_with(L"Schließen [")) << knopf;
    EXPECT_TRUE(prozess.EndeWarten(30000));
}

TEST(Oeffnen, CancelledFileDialogLeavesEverythingAsItWas) {
    Prozess prozess = Starten();
    HWND haupt = Treiber::FensterWarten(kWillkommen, kWarten, prozess.Id());
    ASSERT_TRUE(haupt);
    ASSERT_TRUE(Treiber::KnopfKlicken(haupt, L"Datei öffnen..."));
    HWND dialog = Treiber::FensterWarten(L"Datei öffnen", kWarten, prozess.Id());
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(IsWindowEnabled(haupt));
    ASSERT_TRUE(Treiber::KnopfKlicken(dialog, L"Abbrechen"));
    EXPECT_TRUE(Treiber::FensterVerschwindenWarten(dialog, kWarten));
    EXPECT_TRUE(IsWindowEnabled(haupt));
    EXPECT_EQ(SichtbareTitel(prozess.Id()), std::vector<std::wstring>{kWillkommen});
    EXPECT_FALSE(prozess.EndeWarten(0));
}
