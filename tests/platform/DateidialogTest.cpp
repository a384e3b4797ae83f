#include "Dateidialog.h"
#include "SkriptBenutzer.h"
#include "TempOrdner.h"
#include "Treiber.h"
#include "modFunktionen.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::string_literals;

TEST(Dateidialog, CancelKeepsTheLastChoice) {
    SkriptBenutzer person;
    person.WähleDatei(L"C:\\Pakete\\Downloads-01.lwx");
    person.WähleDatei(std::nullopt);
    Dateidialog dialog;
    ASSERT_TRUE(dialog.ShowOpen(nullptr));
    EXPECT_FALSE(dialog.ShowSave(nullptr));
    EXPECT_EQ(dialog.FileName, L"C:\\Pakete\\Downloads-01.lwx");
}

// The real dialog, answered from a second thread as a person would answer it. Both start in the
// folder of a start value longer than what is chosen, so nothing of it may stick to the result.
TEST(Dateidialog, RealOpenDialogGivesFullPathsAndLeavesTheCurrentFolderAlone) {
    TempOrdner ordner;
    ordner.Datei(L"a.dat");
    ordner.Datei(L"b c.dat");
    const std::wstring paket = ordner.Datei(L"p.lwx");
    struct Fall {
        DWORD flags;
        std::wstring eingabe, soll;
    } const fälle[] = {
        {0x81004, paket, paket},
        {0x81204, L"\"a.dat\" \"b c.dat\"", ordner.Pfad() + L"\0a.dat\0b c.dat"s},
    };
    const std::wstring vorher = modFunktionen::VollständigerPfad(L".");
    for (const auto& [flags, eingabe, soll] : fälle) {
        std::wstring startname;
        std::thread person([&, eingabe = eingabe] {
            HWND dialog = Treiber::FensterWarten(L"Datei öffnen", 20000, GetCurrentProcessId());
            startname = Treiber::Dateiname(dialog);
            Treiber::DateinameBestätigen(dialog, eingabe);
        });
        const auto gewählt = Dateidialog::Win32Zeigen(
            nullptr, {false, L"Datei öffnen", L"Alle Dateien (*.*)|*.*", ordner.Pfad() + L"\\Datei wählen", flags});
        person.join();
        EXPECT_EQ(startname, L"Datei wählen");
        EXPECT_EQ(gewählt, soll) << eingabe;
    }
    EXPECT_EQ(modFunktionen::VollständigerPfad(L"."), vorher);
}
