// A package made on one computer and opened on another: every job file lands with its client,
// byte for byte. The two computers are two folder trees sharing the test prefix's registry.

#include "Empfang.h"
#include "Dateien.h"
#include "Programm.h"
#include "ProgrammEinstellungen.h"
#include "Protokoll.h"
#include "SkriptBenutzer.h"
#include "TempOrdner.h"
#include "modKompression.h"
#include "modKompressionErstellen.h"

#include <gtest/gtest.h>

#include <iterator>
#include <utility>

using namespace Empfang;

TEST(Rundlauf, EveryJobFileReachesItsClientAndTheSourcesGoToTheTrashOnlyWhenAsked) {
    // As the program sets them at its start; the sending side replaces them in the package.
    const auto vorher = std::exchange(Programm::UngültigeZeichen, {L"]", L"["});
    std::string binär;
    for (int i = 0; i < 600; ++i) binär += static_cast<char>((i * 7919) % 256);
    for (const int löschen : {0, 1}) {
        SCOPED_TRACE(löschen);
        const std::wstring vorsilbe = L"L" + std::to_wstring(löschen);
        SkriptBenutzer person;
        Protokoll log;

        TempOrdner sender;
        const Clientordner quelle = ClientsEinrichten(sender);
        ASSERT_TRUE(modProgrammEinstellungen::ProgrammEinstellungenLesen());
        ASSERT_EQ(modProgrammEinstellungen::KazaaDownloadOrdner, quelle.kazaaDownloads);
        ASSERT_EQ(modProgrammEinstellungen::EMuleTempOrdner, quelle.emuleTemp);
        // Both families and a bracket name, which travels with "_" in its place.
        const struct {
            std::wstring ordner, name, ankunft;
            std::string inhalt;
        } aufträge[] = {
            {quelle.kazaaDownloads, vorsilbe + L"[Lied].dat", vorsilbe + L"_Lied_.dat", binär},
            {quelle.emuleTemp, vorsilbe + L"Film.part", vorsilbe + L"Film.part", std::string("teil\0\r\n", 7)},
            {quelle.emuleTemp, vorsilbe + L"Film.part.met", vorsilbe + L"Film.part.met", std::string(1, '\0')},
        };
        std::vector<std::wstring> dateien;
        for (const auto& auftrag : aufträge) {
            dateien.push_back(sender.Datei(auftrag.ordner.substr(sender.Pfad().size() + 1) + L"\\" + auftrag.name,
                                           auftrag.inhalt));
        }
        CreateDirectoryW((sender.Pfad() + L"\\lauf").c_str(), nullptr);
        dateien.push_back(sender.Pfad() + L"\\lauf\\optionen.opt");
        const std::wstring paketname = vorsilbe + L"Rundlauf.lwx";
        const std::wstring gesendet = sender.Pfad() + L"\\" + paketname;
        modKompression::DateienKomprimieren(dateien, gesendet, löschen, 0);
        ASSERT_TRUE(Existiert(gesendet)) << ::testing::PrintToString(log.Zeilen());

        modProgrammEinstellungen::OrdnerZurücksetzen();
        TempOrdner empfänger;
        const Clientordner ziel = ClientsEinrichten(empfänger);
        const std::wstring paket = empfänger.Pfad() + L"\\Pakete\\" + paketname;
        ASSERT_TRUE(CopyFileW(gesendet.c_str(), paket.c_str(), TRUE));
        modKompression::DateienDekomprimieren(paket);

        ASSERT_FALSE(log.Zeilen().empty());
        EXPECT_EQ(log.Zeilen().back(), L"Dekompression und Verarbeitung beendet")
            << ::testing::PrintToString(log.Zeilen());
        EXPECT_TRUE(person.Fragen().empty());
        EXPECT_EQ(modKompression::Paketversion, L"1.10");
        const std::wstring zielordner[] = {ziel.kazaaDownloads, ziel.emuleTemp, ziel.emuleTemp};
        for (size_t i = 0; i < std::size(aufträge); ++i) {
            EXPECT_EQ(Inhalt(zielordner[i] + L"\\" + aufträge[i].ankunft), aufträge[i].inhalt) << aufträge[i].ankunft;
            EXPECT_EQ(Existiert(dateien[i]), löschen == 0) << dateien[i];
            EXPECT_EQ(Inhalt(Papierkorb(aufträge[i].name)), löschen == 1 ? aufträge[i].inhalt : std::string("<fehlt>"))
                << aufträge[i].name;
        }
        EXPECT_FALSE(Existiert(ziel.kazaaDownloads + L"\\optionen.opt"));
        EXPECT_FALSE(Existiert(paket));
        modProgrammEinstellungen::OrdnerZurücksetzen();
    }
    Programm::UngültigeZeichen = vorher;
}
