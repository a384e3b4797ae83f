#include "Dateidialog.h"
#include "SkriptBenutzer.h"

#include <gtest/gtest.h>

#include <commdlg.h>

using namespace std::string_literals;

TEST(Dateidialog, FilterBecomesZeroSeparatedPairs) {
    EXPECT_EQ(FilterUmwandeln(L"Ladewerk-Dateien (*.lwx)|*.lwx"), L"Ladewerk-Dateien (*.lwx)\0*.lwx\0\0"s);
    EXPECT_EQ(FilterUmwandeln(L"A|*.a|B|*.b"), L"A\0*.a\0B\0*.b\0\0"s);
    EXPECT_EQ(FilterUmwandeln(L""), L"");
}

TEST(Dateidialog, SelectionIsReadUpToTheDoubleZero) {
    struct Fall {
        std::wstring puffer;
        bool mehrere;
        std::wstring soll;
    } const fälle[] = {
        {L"C:\\Downloads\\Lied.dat\0\0Rest"s, false, L"C:\\Downloads\\Lied.dat"},
        // a chosen name shorter than the start value leaves the rest of it behind one zero
        {L"Z:\\a.lwx\0-06.12.2026\0\0"s, false, L"Z:\\a.lwx"},
        {L"C:\\Downloads\0a.dat\0b c.dat\0\0"s, true, L"C:\\Downloads\0a.dat\0b c.dat"s},
        {L"\0\0"s, true, L""},
        {L"C:\\ohne\\Ende"s, false, L"C:\\ohne\\Ende"},  // a full buffer without terminator
    };
    for (const auto& [puffer, mehrere, soll] : fälle)
        EXPECT_EQ(AuswahlLesen(std::vector<wchar_t>(puffer.begin(), puffer.end()), mehrere), soll) << puffer;
}

TEST(Dateidialog, ChoiceLandsInFileNameAndCancelLeavesItAlone) {
    SkriptBenutzer person;
    Dateidialog dialog;
    dialog.Filter = L"Ladewerk-Dateien (*.lwx)|*.lwx";
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    dialog.FileName = L"";

    person.WähleDatei(L"C:\\Pakete\\Downloads-01.lwx");
    ASSERT_TRUE(dialog.ShowOpen(nullptr));
    EXPECT_EQ(dialog.FileName, L"C:\\Pakete\\Downloads-01.lwx");

    person.WähleDatei(std::nullopt);
    EXPECT_FALSE(dialog.ShowSave(nullptr));
    EXPECT_EQ(dialog.FileName, L"C:\\Pakete\\Downloads-01.lwx");

    ASSERT_EQ(person.Fragen().size(), 2u);
    const auto& öffnen = person.Fragen()[0].datei;
    EXPECT_FALSE(öffnen.speichern);
    EXPECT_EQ(öffnen.titel, L"Datei öffnen");
    EXPECT_EQ(öffnen.filter, L"Ladewerk-Dateien (*.lwx)|*.lwx");
    EXPECT_EQ(öffnen.flags, 0x81004u);
    EXPECT_EQ(öffnen.dateiname, L"");
    const auto& speichern = person.Fragen()[1].datei;
    EXPECT_TRUE(speichern.speichern);
    EXPECT_EQ(speichern.titel, L"Datei speichern");
    EXPECT_EQ(speichern.dateiname, L"C:\\Pakete\\Downloads-01.lwx");
}
