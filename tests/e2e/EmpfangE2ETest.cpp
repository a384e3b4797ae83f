// The receiving side of the real ladewerk.exe: packages made by the peers, opened from the
// command line and from the main window, distributed into client folders of the test prefix.

#include "Empfang.h"
#include "Dateien.h"
#include "TempOrdner.h"
#include "Treiber.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace Empfang;

namespace {

constexpr DWORD kWarten = 30000;
const std::wstring kFortschritt = L"Ladewerk - Fortschritt";
constexpr int kSchließen = 1101, kProtokoll = 1102;

std::vector<std::wstring> Zeilen(const std::wstring& text) {
    std::vector<std::wstring> zeilen;
    size_t anfang = 0;
    for (size_t ende; (ende = text.find(L"\r\n", anfang)) != std::wstring::npos; anfang = ende + 2)
        zeilen.push_back(text.substr(anfang, ende - anfang));
    zeilen.push_back(text.substr(anfang));
    return zeilen;
}

// True when soll appears in ist in this order, other lines allowed between.
bool InDieserFolge(const std::vector<std::wstring>& ist, const std::vector<std::wstring>& soll) {
    auto weiter = ist.begin();
    for (const std::wstring& zeile : soll) {
        weiter = std::find(weiter, ist.end(), zeile);
        if (weiter == ist.end()) return false;
        ++weiter;
    }
    return true;
}

class Empfangslauf : public ::testing::Test {
protected:
    Treiber::Prozess Starten(const std::wstring& argumente = L"") {
        const char* exe = std::getenv("LADEWERK_EXE");
        auto prozess = Treiber::Prozess::Starten(Treiber::UnixPfadNachWindows(exe ? exe : ""), argumente);
        if (!prozess) ADD_FAILURE() << "ladewerk.exe startet nicht";
        return std::move(*prozess);
    }

    // Answers the message box of the program that shows text, with the button knopf.
    void Antworten(const Treiber::Prozess& prozess, const std::wstring& text, const std::wstring& knopf) {
        HWND box = Treiber::FensterWarten(L"Ladewerk", kWarten, prozess.Id());
        ASSERT_TRUE(box) << "keine Meldung: " << text;
        const auto texte = Treiber::AlleTexte(box);
        EXPECT_NE(std::find(texte.begin(), texte.end(), text), texte.end()) << ::testing::PrintToString(texte);
        ASSERT_TRUE(Treiber::KnopfKlicken(box, knopf));
        EXPECT_TRUE(Treiber::FensterVerschwindenWarten(box, kWarten));
    }

    // The log once the opening has finished (its close button comes alive).
    std::vector<std::wstring> Protokoll(HWND fortschritt) {
        HWND knopf = GetDlgItem(fortschritt, kSchließen);
        for (int i = 0; i < 600 && !IsWindowEnabled(knopf); ++i) Sleep(50);
        EXPECT_TRUE(IsWindowEnabled(knopf)) << "Öffnen nicht beendet";
        return Zeilen(Treiber::SteuerelementText(fortschritt, kProtokoll).value_or(L""));
    }

    static void Schließen(HWND fortschritt) {
        ASSERT_TRUE(PostMessageW(GetDlgItem(fortschritt, kSchließen), BM_CLICK, 0, 0));
    }

    TempOrdner wurzel;
    Clientordner clients = ClientsEinrichten(wurzel);
};

}  // namespace

TEST_F(Empfangslauf, CommandLineYesDistributesAndClosingEndsTheProgram) {
    const std::wstring paket = ZipPaket(wurzel, L"Montag.lwx", {{L"Lied.dat", "kazaa"}, {L"Film.met", "emule"}});
    const std::string bytes = Inhalt(paket);
    Treiber::Prozess prozess = Starten(L"\"" + paket + L"\"");
    Antworten(prozess, L"Soll die Datei 'Montag.lwx' jetzt verarbeitet werden?", L"Ja");
    HWND fortschritt = Treiber::FensterWarten(kFortschritt, kWarten, prozess.Id());
    ASSERT_TRUE(fortschritt);
    const auto zeilen = Protokoll(fortschritt);

    EXPECT_EQ(zeilen.front(), L"Lösche Ordner...");
    // The two moves come in the order the folder lists the unpacked files.
    for (const std::wstring& verschieben : {L"Verschiebe Datei 'Lied.dat' nach '" + clients.kazaaDownloads + L"'",
                                            L"Verschiebe Datei 'Film.met' nach '" + clients.emuleTemp + L"'"})
        EXPECT_TRUE(InDieserFolge(zeilen, {L"Lösche Ordner...", L"Starte Dekompression...", L"Suche Dateien...",
                                           L"Verarbeite Dateien...", verschieben,
                                           L"Lösche temporäre Ordner und Dateien...",
                                           L"Dekompression und Verarbeitung beendet"}))
            << ::testing::PrintToString(zeilen);
    EXPECT_NE(std::find(zeilen.begin(), zeilen.end(), L"Anzahl an dekomprimierten Dateien:  3"), zeilen.end());
    EXPECT_EQ(zeilen.back(), L"Dekompression und Verarbeitung beendet");
    EXPECT_EQ(Inhalt(clients.kazaaDownloads + L"\\Lied.dat"), "kazaa");
    EXPECT_EQ(Inhalt(clients.emuleTemp + L"\\Film.met"), "emule");
    EXPECT_FALSE(Existiert(paket));
    EXPECT_EQ(Inhalt(Papierkorb(L"Montag.lwx")), bytes);
    EXPECT_FALSE(Arbeitsordnerreste(wurzel.Pfad() + L"\\Pakete"));

    Schließen(fortschritt);
    EXPECT_TRUE(prozess.EndeWarten(kWarten));
}

TEST_F(Empfangslauf, CommandLineNoTouchesNothing) {
    const std::wstring paket = ZipPaket(wurzel, L"Nein.lwx", {{L"Nein.dat", "n"}});
    const auto vorher = Baum(wurzel.Pfad());
    Treiber::Prozess prozess = Starten(paket);
    Antworten(prozess, L"Soll die Datei 'Nein.lwx' jetzt verarbeitet werden?", L"Nein");
    EXPECT_TRUE(prozess.EndeWarten(kWarten));
    EXPECT_EQ(Baum(wurzel.Pfad()), vorher);
}

TEST_F(Empfangslauf, NewerPackageAsksAndOnlyYesSendsThePackageToTheTrash) {
    for (const bool fortsetzen : {false, true}) {
        const std::wstring name = fortsetzen ? L"NeuJa" : L"NeuNein";
        const std::wstring paket =
            PythonPaket(wurzel, name + L".lwx",
                        "    z.writestr('" + std::string(name.begin(), name.end()) + ".dat', 'j')\n"
                        "    z.writestr('OPTIONEN.OPT', 'Version=2.00\\r\\n')");
        Treiber::Prozess prozess = Starten(paket);
        Antworten(prozess, L"Soll die Datei '" + name + L".lwx' jetzt verarbeitet werden?", L"Ja");
        Antworten(prozess,
                  L"Achtung: Die zu verarbeitende Datei wurde mit der neueren Version 2.00 dieser Software erstellt. "
                  L"Eine Kompatiblität kann nicht garantiert werden.\n\nBitte brechen Sie den Lesevorgang jetzt ab und "
                  L"laden Sie eine Aktualisierung dieser Software von der Internetseite des Autors herunter (siehe "
                  L"Dialog 'Info'). Wenn Sie den Lesevorgang fortsetzen, könnten Dateien fehlerhaft oder nicht "
                  L"importiert werden.\n\nMöchten Sie den Lesevorgang fortsetzen?",
                  fortsetzen ? L"Ja" : L"Nein");
        HWND fortschritt = Treiber::FensterWarten(kFortschritt, kWarten, prozess.Id());
        ASSERT_TRUE(fortschritt);
        const auto zeilen = Protokoll(fortschritt);
        const std::wstring antwortzeile =
            fortsetzen ? L"Verarbeite Dateien..." : L"Achtung - Die Verarbeitung wurde abgebrochen";
        EXPECT_TRUE(InDieserFolge(zeilen, {L"Achtung - Inkorrekte Version gefunden", antwortzeile,
                                           L"Lösche temporäre Ordner und Dateien...",
                                           L"Dekompression und Verarbeitung beendet"}))
            << ::testing::PrintToString(zeilen);
        EXPECT_EQ(Existiert(clients.kazaaDownloads + L"\\" + name + L".dat"), fortsetzen);
        EXPECT_EQ(Existiert(Papierkorb(name + L".lwx")), fortsetzen);
        EXPECT_EQ(Existiert(paket), !fortsetzen);
        EXPECT_FALSE(Arbeitsordnerreste(wurzel.Pfad() + L"\\Pakete"));
        Schließen(fortschritt);
        EXPECT_TRUE(prozess.EndeWarten(kWarten));
    }
}

TEST_F(Empfangslauf, OpenedFromTheMainWindowTheLogStartsWithThePreparationAndTheWindowStays) {
    const std::wstring paket = ZipPaket(wurzel, L"Fenster.lwx", {{L"Fenster.part", "teil"}});
    Treiber::Prozess prozess = Starten();
    HWND haupt = Treiber::FensterWarten(L"Ladewerk 1.10 - Willkommen", kWarten, prozess.Id());
    ASSERT_TRUE(haupt);
    ASSERT_TRUE(Treiber::KnopfKlicken(haupt, L"Datei öffnen..."));
    HWND dialog = Treiber::FensterWarten(L"Datei öffnen", kWarten, prozess.Id());
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(Treiber::DateinameBestätigen(dialog, paket));

    HWND fortschritt = Treiber::FensterWarten(kFortschritt, kWarten, prozess.Id());
    ASSERT_TRUE(fortschritt);
    const auto zeilen = Protokoll(fortschritt);
    EXPECT_EQ(zeilen.front(), L"Bereite DeKompression vor...");
    EXPECT_EQ(zeilen.back(), L"Dekompression und Verarbeitung beendet");
    EXPECT_EQ(Inhalt(clients.emuleTemp + L"\\Fenster.part"), "teil");
    EXPECT_TRUE(Existiert(Papierkorb(L"Fenster.lwx")));
    EXPECT_TRUE(IsWindowEnabled(haupt));

    Schließen(fortschritt);
    EXPECT_TRUE(Treiber::FensterVerschwindenWarten(fortschritt, kWarten));
    EXPECT_FALSE(prozess.EndeWarten(0));
}
