#include "SkriptBenutzer.h"
#include "Dateien.h"
#include "TempOrdner.h"
#include "ZipTestHilfen.h"
#include "modUnzip.h"

#include <windows.h>
#include <zip.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// What 300 n of a stored name leave once the name is cut to 255 characters with ".part.met".
const std::wstring kLang(246, L'n');

using Dateien = std::map<std::wstring, std::string>;
using Umbenennungen = std::vector<std::pair<std::wstring, std::wstring>>;  // stored name, landed name

struct Fall {
    const wchar_t* archiv;
    int32_t ergebnis;
    Dateien vorher;  // files in the target folder before
    Dateien nachher;
    std::optional<Umbenennungen> umbenannt = std::nullopt;  // every member that did not land as stored
};

size_t Vorkommen(const std::wstring& text, const std::wstring& teil) {
    size_t anzahl = 0;
    for (size_t i = text.find(teil); i != std::wstring::npos; i = text.find(teil, i + 1)) ++anzahl;
    return anzahl;
}

// Each renamed member has its line naming the old and the new name, and no other member has one.
void UmbenennungenPrüfen(const Umbenennungen& umbenannt) {
    const std::wstring& ausgabe = modUnzip::zustand.uZipAusgabe;
    EXPECT_EQ(Vorkommen(ausgabe, L"' entpackt ("), umbenannt.size()) << ausgabe;
    for (const auto& [alt, neu] : umbenannt)
        EXPECT_EQ(Vorkommen(ausgabe, L"Achtung - '" + alt + L"' wurde als '" + neu + L"' entpackt ("), 1u) << alt;
}

// Runs one case in a fresh folder and checks what the target folder holds afterwards, that
// nothing appeared beside it, and the bare-number message on a failure.
void Prüfen(const Fall& fall) {
    SCOPED_TRACE(fall.archiv);
    SkriptBenutzer person;
    if (fall.ergebnis != 0) person.Antworte(IDOK);
    modUnzip::Zurücksetzen();
    const TempOrdner temp;
    const std::wstring ziel = temp.Pfad() + L"\\Temp";
    if (!fall.vorher.empty()) CreateDirectoryW(ziel.c_str(), nullptr);
    for (const auto& [name, inhalt] : fall.vorher) Schreiben(ziel + L"\\" + name, inhalt);

    const std::wstring archiv = fall.archiv[0] ? PeerDatei(fall.archiv) : temp.Pfad() + L"\\fehlt.zip";
    EXPECT_EQ(Entpacken(archiv, ziel), fall.ergebnis) << modUnzip::zustand.uZipAusgabe;
    EXPECT_EQ(Ordnerinhalt(ziel), fall.nachher) << modUnzip::zustand.uZipAusgabe;
    const auto neben = Ordnerinhalt(temp.Pfad());
    EXPECT_TRUE(neben.empty() || (neben.size() == 1 && neben.begin()->first == L"Temp"));
    if (fall.ergebnis != 0) {
        ASSERT_EQ(person.Fragen().size(), 1u);
        EXPECT_EQ(person.Fragen()[0].meldung.text, std::to_wstring(fall.ergebnis));
        EXPECT_EQ(person.Fragen()[0].meldung.titel, L"Ladewerk");
        EXPECT_EQ(person.Fragen()[0].meldung.stil, UINT(MB_OK));
        EXPECT_FALSE(modUnzip::zustand.uZipAusgabe.empty());
    }
    if (fall.umbenannt) UmbenennungenPrüfen(*fall.umbenannt);
    const auto geschrieben = static_cast<int32_t>(fall.nachher.size() - fall.vorher.size());
    if (fall.vorher.empty()) {
        EXPECT_EQ(modUnzip::zustand.uZipAnzahl, geschrieben);
    }
    if (modUnzip::zustand.uZipAnzahl > 0) {
        EXPECT_EQ(modUnzip::zustand.uZipListe.rfind(modUnzip::ListenKopf() + L"\r\n", 0), 0u);
        EXPECT_EQ(Vorkommen(modUnzip::zustand.uZipListe, L"\r\n"), size_t(modUnzip::zustand.uZipAnzahl) + 1);
    }
}

std::string Utf8(const wchar_t* text) {
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.pop_back();
    return bytes;
}

}  // namespace

TEST(modUnzipPeers, MembersLandFlatUnderTheirDecodedNames) {
    const std::string zufall = Inhalt(PeerDatei(L"zufall.bin"));
    ASSERT_EQ(zufall.size(), 70000u);
    const Fall fälle[] = {
        {L"python-utf8.zip", 0, {},
         {{L"Größe Übung.dat", "Inhalt von " + Utf8(L"Größe Übung.dat")},
          {L"日本語.met", "Inhalt von " + Utf8(L"日本語.met")},
          {L"Ελληνικά.txt", "Inhalt von " + Utf8(L"Ελληνικά.txt")},
          {L"plain.txt", "Inhalt von plain.txt"}}},
        {L"oem-cp850.zip", 0, {}, {{L"Grüße Ærø.dat", "OEM"}}},
        {L"oem-cp437.zip", 0, {}, {{L"Prüfung ÄÖÜ äöü ß.dat", "OEM"}}},
        {L"infozip.zip", 0, {}, {{L"Bär.dat", std::string(5000, 'B')}, {L"leer.txt", ""}, {L"zufall.bin", zufall}}},
        // Folders are dropped, a later member of the same name gets the next free name, files that
        // were there before are replaced.
        {L"ordner.zip", 0, {{L"y.txt", "alt"}}, {{L"x.txt", "erstes"}, {L"x-0.txt", "zweites"}, {L"y.txt", "y"}},
         Umbenennungen{{L"a/x.txt", L"x.txt"}, {L"b/c/x.txt", L"x-0.txt"}, {L"b/y.txt", L"y.txt"}}},
        // A name that needed no change keeps it; the others count on past every name taken.
        {L"gleichnamig.zip", 0, {},
         {{L"A.dat", "g0"}, {L"a-0.dat", "g1"}, {L"X.part.met", "g2"}, {L"x-0.PART.met", "g3"},
          {kLang + L".part.met", "g4"}, {kLang.substr(2) + L"-0.part.met", "g5"}, {L"x-0.dat", "g6"},
          {L"_COM1-0.dat", "g7"}, {L"_COM1.dat", "g8"}, {L"x-0.dat_evil", "g9"}, {L"x.dat_evil", "g10"},
          {L"x-1.dat", "g11"}, {L"x-2.dat", "g12"}, {L"x-3.dat", "g13"}, {L"x-4.dat", "g14"}, {L"x.dat", "g15"}},
         Umbenennungen{{L"a.dat", L"a-0.dat"}, {L"x.PART.met", L"x-0.PART.met"},
                       {std::wstring(300, L'n') + L"1.part.met", kLang + L".part.met"},
                       {std::wstring(300, L'n') + L"2.part.met", kLang.substr(2) + L"-0.part.met"},
                       {L"x.dat. . .", L"x-0.dat"}, {L"COM1.dat", L"_COM1-0.dat"}, {L"x.dat:evil", L"x-0.dat_evil"},
                       {L"C:\\x.dat", L"x-1.dat"}, {L"/x.dat", L"x-2.dat"}, {L"../x.dat", L"x-3.dat"},
                       {L"d/x.dat", L"x-4.dat"}}},
    };
    for (const auto& fall : fälle) Prüfen(fall);
}

TEST(modUnzipFeindlich, NothingLandsOutsideAndNothingHalfWritten) {
    const Fall fälle[] = {
        {L"namen.zip", modUnzip::PK_WARN, {},
         {{L"boese1.txt", "n0"}, {L"boese2.txt", "n1"}, {L"boese3.txt", "n2"}, {L"boese4.txt", "n3"},
          {L"boese5.txt", "n4"}, {L"_CON", "n5"}, {L"_aux.txt", "n6"}, {L"_Com1.dat", "n7"}, {L"_lpt9", "n8"},
          {L"punkt", "n9"}, {L"leer", "n10"}, {L"datei.txt_strom", "n11"}, {L"z_e_i_c_h_en_.txt", "n12"},
          {L"_steuer.txt", "n16"}, {L"_nul .txt", "n17"}, {L"_CONOUT$.txt", "n18"}}},
        {L"verweis.zip", modUnzip::PK_WARN, {}, {{L"echt.txt", "echt"}}},
        // The damaged members are not written, and the user's file of that name stays as it was.
        {L"crc.zip", modUnzip::PK_ERR, {{L"kaputt.txt", "meins"}}, {{L"kaputt.txt", "meins"}, {L"gut.txt", "gut"}}},
        {L"ueberlappt.zip", modUnzip::PK_BADERR, {}, {}},
        {L"viele.zip", modUnzip::PK_BADERR, {}, {}},
        {L"riesig.zip", modUnzip::PK_DISK, {}, {}},
        {L"luege.zip", modUnzip::PK_BADERR, {}, {}},
        {L"abgeschnitten.zip", modUnzip::PK_NOZIP, {}, {}},
        {L"keinzip.zip", modUnzip::PK_NOZIP, {}, {}},
        {L"", modUnzip::PK_NOZIP, {}, {}},
    };
    for (const auto& fall : fälle) Prüfen(fall);
}

TEST(modUnzipPasswort, RightPasswordIsAskedOnceAndDecliningEndsAllQuestions) {
    modUnzip::Zurücksetzen();
    {
        SkriptBenutzer person;
        person.Tippe(L"geheim");
        const TempOrdner temp;
        EXPECT_EQ(Entpacken(PeerDatei(L"infozip-passwort.zip"), temp.Pfad()), 0) << modUnzip::zustand.uZipAusgabe;
        EXPECT_EQ(Inhalt(temp.Pfad() + L"\\Bär.dat"), std::string(5000, 'B'));
        EXPECT_EQ(Inhalt(temp.Pfad() + L"\\zufall.bin"), Inhalt(PeerDatei(L"zufall.bin")));
        ASSERT_EQ(person.Fragen().size(), 1u);
        EXPECT_EQ(person.Fragen()[0].art, L"Eingabe");
        EXPECT_EQ(person.Fragen()[0].eingabe.aufforderung, L"Please Enter The Password!");
        EXPECT_EQ(person.Fragen()[0].eingabe.titel, L"Ladewerk");
        EXPECT_EQ(person.Fragen()[0].eingabe.vorgabe, L"");
    }
    {
        SkriptBenutzer person;
        person.Tippe(L"falsch");
        person.Tippe(std::nullopt);
        person.Antworte(IDOK);
        person.Antworte(IDOK);
        const TempOrdner temp;
        EXPECT_EQ(Entpacken(PeerDatei(L"infozip-passwort.zip"), temp.Pfad()), modUnzip::IZ_BADPWD);
        EXPECT_TRUE(modUnzip::zustand.uPasswortAbbruch);
        EXPECT_FALSE(Ordnerinhalt(temp.Pfad()).contains(L"Bär.dat"));
        // Later runs do not ask again.
        EXPECT_EQ(Entpacken(PeerDatei(L"infozip-passwort.zip"), temp.Pfad()), modUnzip::IZ_BADPWD);
        EXPECT_EQ(person.Fragen().size(), 4u);  // two inputs, two result messages
    }
}

TEST(modUnzipPasswort, AesMembersOpenWithTheRightPassword) {
    modUnzip::Zurücksetzen();
    const TempOrdner temp;
    const std::wstring archiv = temp.Pfad() + L"\\aes.zip";
    {
        zip_t* z = zip_open_from_source(zip_source_win32w_create(archiv.c_str(), 0, -1, nullptr), ZIP_CREATE, nullptr);
        ASSERT_NE(z, nullptr);
        static const char kInhalt[] = "AES-geschützt";
        const zip_int64_t index = zip_file_add(z, "aes.txt", zip_source_buffer(z, kInhalt, sizeof kInhalt - 1, 0), 0);
        ASSERT_EQ(zip_file_set_encryption(z, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256, "Kennwort-ä"), 0);
        ASSERT_EQ(zip_close(z), 0);
    }
    SkriptBenutzer person;
    person.Tippe(L"Kennwort-ä");
    const std::wstring ziel = temp.Pfad() + L"\\Temp";
    EXPECT_EQ(Entpacken(archiv, ziel), 0) << modUnzip::zustand.uZipAusgabe;
    EXPECT_EQ(Inhalt(ziel + L"\\aes.txt"), "AES-geschützt");
}

TEST(modUnzipListe, SizesKeepEveryDigitAndWidenTheirColumn) {
    const std::wstring zeit = L"  03/07/26   9:05";
    const struct {
        const wchar_t* name;
        uint64_t größe;
        std::wstring zeile;
    } kFälle[] = {
        {L"Lied.dat", 5, L"Lied.dat" + std::wstring(48, L' ') + L"5" + zeit + std::wstring(6, L' ')},
        {L"Film.part", 209715200, L"Film.part" + std::wstring(41, L' ') + L"209715200" + zeit + std::wstring(6, L' ')},
    };
    for (const auto& fall : kFälle) EXPECT_EQ(modUnzip::Listenzeile(fall.name, fall.größe, 3, 7, 2026, 9, 5), fall.zeile);
}
