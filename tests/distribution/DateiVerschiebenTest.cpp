#include "DateiVerschieben.h"

#include "Dateien.h"
#include "Handles.h"
#include "Laufwerk.h"
#include "Protokoll.h"
#include "modFunktionen.h"
#include "SkriptBenutzer.h"
#include "TempOrdner.h"
#include "WinePfade.h"

#include <gtest/gtest.h>

#include <string>

using namespace modVerschieben;

TEST(VerschiebenText, NamesLoseOnlyWhatAFileNameCannotHold) {
    const std::pair<std::wstring, std::wstring> kFälle[] = {
        {L"a?b<c>.part", L"abc.part"},
        {L"x*|\"y:z/.dat", L"xyz.dat"},
        {L"Grüße aus Köln \u2013 Bürgerfest.dat", L"Grüße aus Köln \u2013 Bürgerfest.dat"},
        {L"Preis 5\u20AC \u201Egut\u201C \u2018so\u2019 \u00A0ß.dat", L"Preis 5\u20AC \u201Egut\u201C \u2018so\u2019 \u00A0ß.dat"},
        {L"tab\there\x01\x7F\x85.dat", L"tabhere.dat"},
        {L"Кино.avi", L"Кино.avi"},                                           // other scripts are file names too
        {L"a\\\\b", L""},
        {L"ordner\\", L""},
    };
    for (const auto& [name, soll] : kFälle) EXPECT_EQ(DateinamenBereinigen(name, false), soll) << name;
    EXPECT_EQ(DateinamenBereinigen(L"C:\\a?\\b.dat", true), L"C:\\a\\b.dat");
}

TEST(VerschiebenText, CountersCountWholeNumbersOnly) {
    const std::pair<std::wstring, std::wstring> kFälle[] = {
        {L"009", L"10"}, {L" 41 ", L"42"}, {L"-1", L"0"},          {L"", L""},
        {L"1x", L""},    {L"1.5", L""},    {L"99999999999999999999", L""},
    };
    for (const auto& [ein, soll] : kFälle) EXPECT_EQ(ZahlTextErhöhen(ein), soll) << ein;
}

TEST(VerschiebenText, SizesAndSequentialNamesLookAtTheDisk) {
    TempOrdner ordner;
    const std::wstring groß = ordner.Datei(L"groß.bin", std::string(1234567, 'x'));
    EXPECT_EQ(DateigrößeText(groß, true), L"1.234.567");
    EXPECT_EQ(DateigrößeText(groß, false), L"1234567");
    EXPECT_EQ(DateigrößeText(ordner.Pfad() + L"\\fehlt.bin", true), L"");

    const std::wstring lied = ordner.Datei(L"Lied.mp3");
    EXPECT_EQ(FortlaufendenDateinamen(lied, L"Lied-", L"0", L""), ordner.Pfad() + L"\\Lied-0.mp3");
    ordner.Datei(L"Lied-0.mp3");
    CreateDirectoryW((ordner.Pfad() + L"\\Lied-1.mp3").c_str(), nullptr);
    EXPECT_EQ(FortlaufendenDateinamen(lied, L"Lied-", L"0", L" (Kopie)"), ordner.Pfad() + L"\\Lied-0 (Kopie).mp3");
    EXPECT_EQ(FortlaufendenDateinamen(lied, L"Lied-", L"0", L""), ordner.Pfad() + L"\\Lied-2.mp3");
    ordner.Datei(L"Lied-null.mp3");
    EXPECT_EQ(FortlaufendenDateinamen(lied, L"Lied-", L"null", L""), L"");

    // eMule finds X.part's settings only as X.part.met: a renamed pair must stay a pair.
    const std::pair<std::wstring, std::wstring> kUmbenannt[] = {
        {L"001.part", L"001-0.part"},
        {L"001.part.met", L"001-0.part.met"},
        {L"001.PART.MET.BAK", L"001-0.PART.MET.BAK"},
        {L"x.dat.met", L"x.dat-0.met"},
    };
    for (const auto& [name, soll] : kUmbenannt) {
        EXPECT_EQ(FreierName(ordner.Pfad() + L"\\" + name), ordner.Pfad() + L"\\" + soll) << name;
    }
}

namespace {

class Umzug : public ::testing::Test {
protected:
    // Moves with policy 0; the person answers from the script.
    bool Bewegen(const std::wstring& quelle, std::wstring& ziel, int modus = modVerschieben::Verschieben,
                 int politik = ÜberschreibenFragen) {
        return DateiVerschieben(quelle, ziel, modus, fehler, politik);
    }

    SkriptBenutzer person;
    TempOrdner ordner;
    std::wstring fehler = L"alt";
};

}  // namespace

TEST_F(Umzug, WithoutConflictTheFileArrivesWhereAsked) {
    const std::wstring o = ordner.Pfad();
    struct Fall {
        std::wstring quelle, ziel, sollZiel;
        int modus;
        bool quelleBleibt;
    };
    const Fall kFälle[] = {
        {L"x.dat", L"x.dat", L"x.dat", Verschieben, false},                   // onto itself: nothing to do
        {L"lied.dat", L"Lied.dat", L"Lied.dat", Verschieben, false},          // only the letter case changes
        {L"c.dat", L"neu\\a\\b\\c.dat", L"neu\\a\\b\\c.dat", Verschieben, false},
        {L"d.part", L"a?b<c>.part", L"abc.part", Verschieben, false},
        {L"e.dat", L"kopie\\e.dat", L"kopie\\e.dat", Kopieren, true},
    };
    for (const auto& [quelle, ziel, sollZiel, modus, quelleBleibt] : kFälle) {
        const std::wstring q = ordner.Datei(quelle, "Inhalt " + std::to_string(modus));
        std::wstring z = o + L"\\" + ziel;
        EXPECT_TRUE(Bewegen(q, z, modus)) << ziel << L": " << fehler;
        EXPECT_EQ(z, o + L"\\" + sollZiel);
        EXPECT_EQ(GespeicherterName(z), modFunktionen::DateinameZurückgeben(z));
        EXPECT_EQ(Lesen(z), "Inhalt " + std::to_string(modus)) << ziel;
        if (quelleBleibt) {
            EXPECT_TRUE(Lesen(q)) << quelle;
        } else if (!modFunktionen::TexteGleich(q, z)) {
            EXPECT_FALSE(Lesen(q)) << quelle;
        }
        EXPECT_EQ(fehler, L"");
    }
    EXPECT_TRUE(person.Fragen().empty());
}

TEST_F(Umzug, EveryAnswerToAConflictKeepsBothFilesOrReplacesTheOne) {
    struct Fall {
        int antwort;  // 0: no question, policy 2
        bool ergebnis;
        std::wstring sollZiel;
        std::wstring fehlerEnde;
        std::wstring sollListe;
    };
    const Fall kFälle[] = {
        {1, true, L"Lied-1.mp3", L"", L"Lied-0.mp3 Lied-1.mp3 Lied.mp3"},
        {2, true, L"Lied.mp3", L"", L"Lied-0.mp3 Lied.mp3"},
        {0, true, L"Lied.mp3", L"", L"Lied-0.mp3 Lied.mp3"},
        {3, false, L"Lied.mp3", L"' bereits und Umbenennen wurde nicht gewünscht.", L"Lied-0.mp3 Lied.mp3 neu.mp3"},
        {4, false, L"Lied.mp3", L"", L"Lied-0.mp3 Lied.mp3 neu.mp3"},
    };
    for (const auto& [antwort, ergebnis, sollZiel, fehlerEnde, sollListe] : kFälle) {
        TempOrdner dl;
        const std::wstring alt = dl.Datei(L"Lied.mp3", "alter Inhalt");
        dl.Datei(L"Lied-0.mp3", "null");
        const std::wstring neu = dl.Datei(L"neu.mp3", std::string(2500, 'n'));
        std::wstring z = alt;
        if (antwort) person.Antworte(antwort);
        EXPECT_EQ(Bewegen(neu, z, modVerschieben::Verschieben, antwort ? ÜberschreibenFragen : ÜberschreibenErsetzen),
                  ergebnis) << antwort;
        EXPECT_EQ(z, dl.Pfad() + L"\\" + sollZiel) << antwort;
        EXPECT_TRUE(fehler.ends_with(fehlerEnde) && (fehler.empty() == fehlerEnde.empty())) << antwort << L": " << fehler;
        EXPECT_EQ(Inhaltsliste(dl.Pfad()), sollListe) << antwort;
        EXPECT_EQ(Lesen(z), ergebnis ? std::string(2500, 'n') : "alter Inhalt") << antwort;
    }
    EXPECT_EQ(person.OffeneAntworten(), 0u);
    ASSERT_EQ(person.Fragen().size(), 4u);
    EXPECT_EQ(person.Fragen()[0].art, L"DateiExistiert");
    const std::wstring& text = person.Fragen()[0].meldung.text;
    EXPECT_NE(text.find(L"(2.500 Bytes groß) kann nicht umbenannt werden.\nDie Zieldatei '"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"Lied.mp3' (12 Bytes groß) existiert bereits.\n\nBenennen Sie"), std::wstring::npos) << text;
}

TEST_F(Umzug, AReplacementThatCannotHappenLeavesTheOldTarget) {
    const std::wstring neu = ordner.Datei(L"neu.dat", "neu");
    const std::wstring gesperrt = ordner.Datei(L"gesperrt.dat", "alt");
    const std::wstring schreibgeschützt = ordner.Datei(L"schreibgeschützt.dat", "alt");
    SetFileAttributesW(schreibgeschützt.c_str(), FILE_ATTRIBUTE_READONLY);

    {
        // Another program holds the target open and does not share deleting.
        const Handles::Datei sperre(CreateFileW(gesperrt.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(sperre);
        std::wstring z = gesperrt;
        EXPECT_FALSE(Bewegen(neu, z, modVerschieben::Verschieben, ÜberschreibenErsetzen));
        EXPECT_EQ(fehler, L"Die Datei '" + gesperrt + L"' konnte nicht überschieben werden, da diese nicht gelöscht werden kann.");
    }
    EXPECT_EQ(Lesen(gesperrt), "alt");
    EXPECT_EQ(Lesen(neu), "neu");

    std::wstring z = schreibgeschützt;
    EXPECT_TRUE(Bewegen(neu, z, modVerschieben::Verschieben, ÜberschreibenErsetzen)) << fehler;
    EXPECT_EQ(Lesen(schreibgeschützt), "neu");
    EXPECT_EQ(Inhaltsliste(ordner.Pfad()), L"gesperrt.dat schreibgeschützt.dat");
}

namespace {

// A second drive on a small file system of its own, so that a move has to copy and can run out
// of space.
class AndereLaufwerke : public Umzug {
protected:
    void SetUp() override {
        if (!voll.Bereit()) GTEST_SKIP() << "Kein eigenes Dateisystem für Laufwerk V: – " << voll.Fehler();
    }
    Laufwerk voll{L'V', 2};
};

}  // namespace

TEST_F(AndereLaufwerke, AMoveCopiesChecksAndOnlyThenDeletes) {
    const std::wstring v = voll.Wurzel();
    std::wstring z = v + L"\\dl\\klein.dat";
    const std::wstring klein = ordner.Datei(L"klein.dat", std::string(300000, 'k'));
    // The copy shows its bytes and lets window events through while it runs.
    Protokoll anzeige;
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    ASSERT_TRUE(Bewegen(klein, z)) << fehler;
    MSG wartend;
    EXPECT_FALSE(PeekMessageW(&wartend, nullptr, WM_APP, WM_APP, PM_REMOVE));
    ASSERT_FALSE(anzeige.bytes.empty());
    EXPECT_EQ(anzeige.bytes.front(), std::pair(uint64_t{0}, uint64_t{300000}));
    EXPECT_EQ(anzeige.bytes.back(), std::pair(uint64_t{0}, uint64_t{0}));
    EXPECT_EQ(Lesen(z), std::string(300000, 'k'));
    EXPECT_FALSE(Lesen(klein));

    const std::wstring kopie = ordner.Datei(L"kopie.dat", "bleibt");
    z = v + L"\\dl\\kopie.dat";
    ASSERT_TRUE(Bewegen(kopie, z, Kopieren)) << fehler;
    EXPECT_EQ(Lesen(kopie), "bleibt");

    // Larger than the drive: neither a new target nor a half one, and the old target stays.
    const std::wstring groß = ordner.Datei(L"groß.dat", std::string(3 << 20, 'g'));
    for (const auto& [name, politik] : {std::pair{L"neu.dat", ÜberschreibenFragen}, {L"klein.dat", ÜberschreibenErsetzen}}) {
        z = v + L"\\dl\\" + name;
        EXPECT_FALSE(Bewegen(groß, z, modVerschieben::Verschieben, politik)) << name;
        EXPECT_NE(fehler.find(L"Es ist ein Fehler beim Ändern des Dateinamens '" + groß + L"' aufgetreten.\n"),
                  std::wstring::npos) << fehler;
        EXPECT_EQ(Lesen(groß)->size(), size_t{3 << 20});
    }
    EXPECT_EQ(Inhaltsliste(v + L"\\dl"), L"klein.dat kopie.dat");
    EXPECT_EQ(Lesen(v + L"\\dl\\klein.dat"), std::string(300000, 'k'));
    EXPECT_TRUE(person.Fragen().empty());
}

// Wine does not mark links to files, and deleting one deletes the file it leads to.
TEST_F(AndereLaufwerke, LinksNeverCostTheFilesTheyLeadTo) {
    TempOrdner fremd;
    const std::wstring ziel1 = fremd.Datei(L"ziel1.dat", "eins"), ziel2 = fremd.Datei(L"ziel2.dat", "zwei");
    const std::wstring linkQuelle = ordner.Pfad() + L"\\quelle.dat", linkZiel = ordner.Pfad() + L"\\alt.dat";
    ASSERT_TRUE(WinePfade::UnixLinkAnlegen(linkQuelle, ziel1));
    ASSERT_TRUE(WinePfade::UnixLinkAnlegen(linkZiel, ziel2));

    std::wstring z = voll.Wurzel() + L"\\quelle.dat";  // across drives: copied, then the source deleted
    Bewegen(linkQuelle, z);
    z = linkZiel;  // "Ersetzen" on a link
    EXPECT_TRUE(Bewegen(ordner.Datei(L"neu.dat", "neu"), z, Verschieben, ÜberschreibenErsetzen)) << fehler;
    z = voll.Wurzel() + L"\\alt.dat";
    ASSERT_TRUE(WinePfade::UnixLinkAnlegen(z, ziel2));
    EXPECT_TRUE(Bewegen(ordner.Datei(L"neu2.dat", "neu2"), z, Verschieben, ÜberschreibenErsetzen)) << fehler;

    EXPECT_EQ(Lesen(ziel1), "eins");
    EXPECT_EQ(Lesen(ziel2), "zwei");
}

TEST_F(Umzug, ASecondDriveLetterReachesTheSameFolder) {
    Laufwerk q{L'Q', 0, ordner.Pfad()};
    ASSERT_TRUE(q.Bereit()) << q.Fehler();
    TempOrdner anderer;
    const std::wstring b = anderer.Datei(L"b.dat", "b");
    std::wstring z = q.Wurzel() + L"\\b.dat";
    ASSERT_TRUE(Bewegen(b, z)) << fehler;
    EXPECT_EQ(Lesen(ordner.Pfad() + L"\\b.dat"), "b");
    EXPECT_FALSE(Lesen(b));

    // Q:\b.dat and the folder's own b.dat are one file: no question, and nothing deleted.
    z = ordner.Pfad() + L"\\b.dat";
    const std::wstring überQ = q.Wurzel() + L"\\b.dat";
    EXPECT_TRUE(Bewegen(überQ, z, modVerschieben::Verschieben, ÜberschreibenErsetzen)) << fehler;
    EXPECT_EQ(Lesen(z), "b");
    EXPECT_TRUE(person.Fragen().empty());
}
