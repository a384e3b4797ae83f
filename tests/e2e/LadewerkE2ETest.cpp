// The real ladewerk.exe, started and driven from outside as a person would, for what only the
// real program shows: its command line, the single instance, the countdown that ends it, and one
// opening and one creation through its real windows and the real file dialogs.

#include "Dateien.h"
#include "Empfang.h"
#include "PaketTestHilfen.h"
#include "TempOrdner.h"
#include "Treiber.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

using Treiber::Prozess;
using Liste = std::vector<std::wstring>;

constexpr DWORD kWarten = 30000;
const std::wstring kWillkommen = L"Ladewerk 1.10 - Willkommen";
constexpr int kSchließen = 1101, kProtokoll = 1102;
// Commands of the create dialog's button menus, which are posted: a popup menu cannot be driven
// from outside.
constexpr WPARAM kSelbstSuchen = 1304, kSpeichern = 1311;

Prozess Starten(const std::wstring& argumente, const std::wstring& ordner = L"") {
    const char* exe = std::getenv("LADEWERK_EXE");
    auto prozess = Prozess::Starten(Treiber::UnixPfadNachWindows(exe ? exe : ""), argumente, ordner);
    if (!prozess) ADD_FAILURE() << "ladewerk.exe startet nicht";
    return std::move(*prozess);
}

// A second start never runs beside the first: it hands over and ends at once.
void ZweiterStart(const std::wstring& argumente, const std::wstring& ordner = L"") {
    Prozess zweiter = Starten(argumente, ordner);
    DWORD code = 1;
    EXPECT_TRUE(zweiter.EndeWarten(kWarten, &code)) << argumente;
    EXPECT_EQ(code, 0u) << argumente;
}

bool Warten(const std::function<bool()>& bedingung, int zehntel = 300) {
    for (int i = 0; i < zehntel && !bedingung(); ++i) Sleep(100);
    return bedingung();
}

Liste SichtbareTitel(DWORD prozessId) {
    Liste titel;
    for (const auto& f : Treiber::FensterAuflisten(prozessId))
        if (f.sichtbar) titel.push_back(f.text);
    return titel;
}

// The visible window of the process with a text that holds this one, for an answer.
HWND FensterMitText(DWORD prozessId, const std::wstring& teil) {
    HWND gefunden = nullptr;
    Warten([&] {
        for (const auto& f : Treiber::FensterAuflisten(prozessId))
            for (const auto& text : f.sichtbar ? Treiber::AlleTexte(f.hwnd) : Liste{})
                if (text.find(teil) != std::wstring::npos) gefunden = f.hwnd;
        return gefunden != nullptr;
    });
    return gefunden;
}

HWND Frage(DWORD prozessId, const std::wstring& dateiname) {
    HWND frage = FensterMitText(prozessId, L"Soll die Datei '" + dateiname + L"' jetzt verarbeitet werden?");
    EXPECT_TRUE(frage) << dateiname;
    return frage;
}

// The log once the run has ended, that is once the close button takes clicks again.
std::wstring FertigesProtokoll(HWND fortschritt, const std::wstring& schluss) {
    std::wstring log;
    Warten([&] {
        log = Treiber::SteuerelementText(fortschritt, kProtokoll).value_or(L"");
        return IsWindowEnabled(GetDlgItem(fortschritt, kSchließen)) && log.ends_with(schluss);
    }, 600);
    return log;
}

bool CountdownLäuft(HWND fortschritt) {
    return Warten([&] {
        return Treiber::SteuerelementText(fortschritt, kSchließen).value_or(L"").starts_with(L"Schließen [");
    });
}

}  // namespace

// One program start from the command line, to its end by the countdown. While it counts down, a
// second start brings its window back, one with a package named relative to the folder it is
// started in hands that package over in full, and one while the question is open is told no.
TEST(Countdown, CommandLineOpeningsAndSecondStartsUntilTheCountdownEndsTheProgram) {
    TempOrdner wurzel;
    const Empfang::Clientordner clients = Empfang::ClientsEinrichten(wurzel);
    const std::wstring montag = Empfang::ZipPaket(wurzel, L"Montag.lwx", {{L"Lied.dat", "kazaa"}});
    Empfang::ZipPaket(wurzel, L"Dienstag.lwx", {{L"Film.met", "emule"}});
    const std::wstring anderes = wurzel.Datei(L"Anderes.lwx", "PK");

    Prozess prozess = Starten(L"\"" + montag + L"\"");
    HWND frage = Frage(prozess.Id(), L"Montag.lwx");
    ASSERT_TRUE(frage);
    EXPECT_EQ(SichtbareTitel(prozess.Id()), Liste{L"Ladewerk"});
    ASSERT_TRUE(Treiber::KnopfKlicken(frage, L"Ja"));
    HWND fortschritt = Treiber::FensterWarten(L"Ladewerk - Fortschritt", kWarten, prozess.Id());
    ASSERT_TRUE(fortschritt);
    const std::wstring log = FertigesProtokoll(fortschritt, L"Dekompression und Verarbeitung beendet");
    EXPECT_TRUE(log.ends_with(L"Dekompression und Verarbeitung beendet")) << log;
    EXPECT_EQ(Inhalt(clients.kazaaDownloads + L"\\Lied.dat"), "kazaa");
    EXPECT_EQ(SichtbareTitel(prozess.Id()), Liste{L"Ladewerk - Fortschritt"});
    ASSERT_TRUE(CountdownLäuft(fortschritt));

    ShowWindow(fortschritt, SW_MINIMIZE);
    ZweiterStart(L"");
    EXPECT_TRUE(Warten([&] { return !IsIconic(fortschritt); }));

    ZweiterStart(L"Dienstag.lwx", wurzel.Pfad() + L"\\Pakete");
    frage = Frage(prozess.Id(), L"Dienstag.lwx");
    ASSERT_TRUE(frage);
    ZweiterStart(L"\"" + anderes + L"\"");
    HWND meldung = FensterMitText(prozess.Id(), L"Die Datei '" + anderes + L"' wurde nicht geöffnet");
    ASSERT_TRUE(meldung);
    EXPECT_EQ(Inhalt(anderes), "PK");
    ASSERT_TRUE(Treiber::KnopfKlicken(meldung, L"OK"));
    ASSERT_TRUE(Treiber::KnopfKlicken(frage, L"Ja"));
    EXPECT_TRUE(Warten([&] { return Inhalt(clients.emuleTemp + L"\\Film.met") == "emule"; }));

    EXPECT_TRUE(CountdownLäuft(fortschritt));
    EXPECT_TRUE(prozess.EndeWarten(90000));
}

// Started with a package that is not there, the program shows its welcome window; from there,
// files collected through the real open dialog become a package through the real save dialog.
TEST(Erstellen, CollectedFilesBecomeAPackageThroughTheRealDialogs) {
    TempOrdner ordner;
    Prozess prozess = Starten(L"\"" + ordner.Pfad() + L"\\gibt es nicht.lwx\"");
    HWND haupt = Treiber::FensterWarten(kWillkommen, kWarten, prozess.Id());
    ASSERT_TRUE(haupt);
    EXPECT_EQ(SichtbareTitel(prozess.Id()), Liste{kWillkommen});
    ASSERT_TRUE(Treiber::KnopfKlicken(haupt, L"Datei erstellen..."));
    HWND dialog = Treiber::FensterWarten(L"Ladewerk 1.10 - Datei erstellen", kWarten, prozess.Id());
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(IsWindowEnabled(haupt));

    for (const std::wstring& datei : {ordner.Datei(L"Film.dat", std::string(5000, 'f')), ordner.Datei(L"Lied.part")}) {
        PostMessageW(dialog, WM_COMMAND, kSelbstSuchen, 0);
        HWND öffnen = Treiber::FensterWarten(L"Datei öffnen", kWarten, prozess.Id());
        ASSERT_TRUE(öffnen && Treiber::DateinameBestätigen(öffnen, datei)) << datei;
        ASSERT_TRUE(Treiber::FensterVerschwindenWarten(öffnen, kWarten));
    }
    PostMessageW(dialog, WM_COMMAND, kSpeichern, 0);
    HWND speichern = Treiber::FensterWarten(L"Datei speichern", kWarten, prozess.Id());
    ASSERT_TRUE(speichern && Treiber::DateinameBestätigen(speichern, ordner.Pfad() + L"\\Paket"));
    HWND fortschritt = Treiber::FensterWarten(L"Ladewerk 1.10 - Fortschritt", kWarten, prozess.Id());
    ASSERT_TRUE(fortschritt);
    const std::wstring log = FertigesProtokoll(fortschritt, L"Kompression und Verarbeitung beendet");
    EXPECT_TRUE(log.ends_with(L"Kompression und Verarbeitung beendet")) << log;

    const auto prüfung = PaketPrüfen(ordner.Pfad() + L"\\Paket.lwx");
    ASSERT_TRUE(prüfung);
    EXPECT_EQ(prüfung->unzipCode, 0);
    EXPECT_EQ(prüfung->namen, (Liste{L"Film.dat", L"Lied.part", L"optionen.opt"}));
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_TRUE(IsWindowEnabled(haupt));
    ASSERT_TRUE(Treiber::KnopfKlicken(haupt, L"Beenden"));
    DWORD code = 1;
    EXPECT_TRUE(prozess.EndeWarten(kWarten, &code));
    EXPECT_EQ(code, 0u);
}
