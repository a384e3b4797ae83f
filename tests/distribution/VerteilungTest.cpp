#include "DateiVerschieben.h"
#include "DateienVerarbeiten.h"

#include "Dateien.h"
#include "Empfang.h"
#include "Handles.h"
#include "Laufwerk.h"
#include "Protokoll.h"
#include "SkriptBenutzer.h"
#include "TempOrdner.h"
#include "Treiber.h"
#include "UnixProgramm.h"
#include "frmVerschiebenDateiExistiert.h"
#include "modFunktionen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using F = frmVerschiebenDateiExistiert;
using modFunktionen::TextErsetzen;

namespace {

// The log's warnings begin with soll, one by one ("%T%" stands for T): a reason from the system ends some.
testing::AssertionResult Warnungen(const Protokoll& log, const std::vector<std::wstring>& soll, const std::wstring& T) {
    std::vector<std::wstring> ist;
    for (const std::wstring& zeile : log.Zeilen())
        if (zeile.starts_with(L"Achtung: ")) ist.push_back(zeile.substr(9));
    const auto beginnt = [&](const auto& z, const auto& s) { return z.starts_with(TextErsetzen(s, L"%T%", T)); };
    if (std::ranges::equal(ist, soll, beginnt)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(ist);
}

// The starts the client stand-ins recorded below ordner ("program|arguments"), sorted, once there are n.
std::vector<std::wstring> Starts(const std::wstring& ordner, size_t n) {
    std::vector<std::wstring> starts;
    for (int versuch = 0; versuch < 500 && starts.size() < n; ++versuch, Sleep(20)) {
        starts.clear();
        for (const std::wstring& datei : Empfang::Baum(ordner)) {
            const std::string satz = datei.ends_with(L".txt") ? Inhalt(datei) : "";
            if (!satz.empty()) starts.emplace_back(reinterpret_cast<const wchar_t*>(satz.data()), satz.size() / 2);
        }
    }
    std::ranges::sort(starts);
    return starts;
}

// True when the stand-in's window answers a message posted now: nothing told it to quit before.
bool Lebt(HWND fenster) {
    const std::wstring titel = Treiber::FensterText(fenster);
    PostMessageW(fenster, WM_APP, 0, 0);
    for (int i = 0; i < 500 && IsWindow(fenster); ++i, Sleep(10))
        if (Treiber::FensterText(fenster) == titel + L" (lebt)") return true;
    return false;
}

// A client that appends to its file once the copy to another drive has read it to its end.
struct Nachzügler final : modFortschritt::Anzeige {
    std::wstring unixPfad;
    void ZeileAnhängen(const std::wstring&) override {}
    bool IstSichtbar() override { return true; }
    void Öffnen(const std::wstring&, const std::wstring&) override {}
    void Abschließen() override {}
    void FehlerAbschließen() override {}
    // The bar empties after the last piece.
    void BytesZeigen(uint64_t, uint64_t gesamt) override {
        if (gesamt > 0 || unixPfad.empty()) return;
        UnixProgramm::Ausführen({L"sh", L"-c", L"printf mehr >> \"$0\"", unixPfad}, 30000);
    }
};

}  // namespace

// Two distributions, the first of Kazaa, WinMX and GetRight files, the second of eMule files: every file
// arrives, only the clients of the files get WM_QUIT, and the clients start again.
TEST(Verteilung, EveryJobFileReachesItsClientWhichQuitsAndStartsAgain) {
    TempOrdner t;
    const std::wstring T = t.Pfad(), winmx = T + L"\\WinMX dl", getright = BenutzerTemp() + L"Ladewerk-GetRight";
    const auto [kazaa, emule] = Empfang::ClientsEinrichten(t);
    // Kazaa's download folder is gone: asked for, then made by the move.
    RemoveDirectoryW(kazaa.c_str());
    // As some installations write them: Kazaa's folder itself with doubled separators, WinMX's uninstaller.
    RegistryTextSetzen(HKEY_LOCAL_MACHINE, L"SOFTWARE\\KaZaA\\Cloudload", L"ExeDir",
                       TextErsetzen(T + L"\\Kazaa", L"\\", L"\\\\"));
    RegistryTextSetzen(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\WinMX",
                       L"UninstallString", T + L"\\WinMX\\uninst.exe");
    t.Datei(L"eMule\\preferences.ini", "Nick=x\r\ntempdir=" + std::string(emule.begin(), emule.end()) + "\r\n");
    RegistryTextSetzen(HKEY_CURRENT_USER, L"Software\\Headlight\\GetRight\\Config", L"InstallDir", T + L"\\Get Right");
    for (const std::wstring& ordner : {T + L"\\Temp", T + L"\\Get Right", T + L"\\WinMX", winmx, getright})
        CreateDirectoryW(ordner.c_str(), nullptr);
    for (const wchar_t* programm : {L"\\Kazaa\\kpp.exe", L"\\Kazaa\\Kazaa.exe", L"\\eMule\\emule.exe",
                                    L"\\eMule\\gdonkey.exe", L"\\Get Right\\Getright.exe", L"\\WinMX\\Winmx.exe"})
        CopyFileW(HelferProgramm().c_str(), (T + programm).c_str(), FALSE);
    // An earlier list of that name may still be GetRight's; eMule has an unfinished download of that name.
    Schreiben(getright + L"\\h.grx", "alt");
    Schreiben(emule + L"\\c.part.met", "alt");

    struct Client {
        const wchar_t* programm;
        std::vector<std::wstring> titel;
        int beendetVon;  // the distribution after which it has ended; 0: none
    };
    const Client kClients[] = {
        {L"Kazaa.exe", {L"KaZaA - [Suche]"}, 1},
        {L"Morpheus.exe", {L"Morpheus - [Suche]", L"MORPHEUS - [Suche 2]"}, 1},
        {L"WinMX.exe", {L"WinMX v3.54"}, 1},
        {L"emule.exe", {L"(U:1.2 D:3.4) eMule v0.50a"}, 2},
        {L"eDonkey2000.exe", {L"eDonkey2000 - Verbunden"}, 2},
        // A client's name in the title of a program that is none, or of a client of another family.
        {L"notepad.exe", {L"EDonkey2000 Anleitung.txt - Editor"}, 0},
    };
    std::vector<Treiber::Prozess> prozesse;
    std::vector<HWND> fenster;
    for (const Client& c : kClients) {
        CopyFileW(HelferProgramm().c_str(), (T + L"\\" + c.programm).c_str(), TRUE);
        std::wstring argumente;
        for (const std::wstring& titel : c.titel) argumente += L" \"" + titel + L"\"";
        prozesse.push_back(std::move(Treiber::Prozess::Starten(T + L"\\" + c.programm, argumente).value()));
        for (const std::wstring& titel : c.titel)
            ASSERT_TRUE(Treiber::FensterWarten(titel, 10000, prozesse.back().Id())) << titel;
        fenster.push_back(Treiber::FensterWarten(c.titel[0], 0, prozesse.back().Id()));
    }
    // From here on the stand-in records how it was started, as the clients the distribution starts.
    SetEnvironmentVariableW(L"LW_AUFRUFE", T.c_str());

    const auto in = [](const std::wstring& ordner, const wchar_t* n) { return std::pair{n, ordner + L"\\" + n}; };
    // The first eight come in the first distribution.
    const std::pair<const wchar_t*, std::wstring> kDateien[] = {
        in(kazaa, L"a.dat"),     in(kazaa, L"Grüße \u2013 5\u20AC.dat"),
        in(winmx, L"Lied.DAT"),  in(winmx, L"e.Part"),
        in(winmx, L"ohne"),      in(getright, L"f.lst"),
        in(getright, L"g.urls"), {L"h.grx", getright + L"\\h-0.grx"},
        in(emule, L"b.part"),    {L"c.part.met", emule + L"\\c-0.part.met"},
        in(emule, L"d.met"),
    };
    std::vector<std::wstring> dateien[2] = {{T + L"\\Temp\\weg.dat"}, {}};
    for (size_t i = 0; i < std::size(kDateien); ++i)
        dateien[i / 8].push_back(t.Datei(L"Temp\\" + std::wstring(kDateien[i].first), std::to_string(i)));

    SkriptBenutzer person;
    person.WähleOrdner(std::nullopt);  // Kazaa's download folder stays as its settings name it
    person.WähleOrdner(winmx);         // WinMX's is never known
    person.Antworte(F::Umbenennen);
    Protokoll protokoll;
    for (int lauf = 1; lauf <= 2; ++lauf) {
        EXPECT_EQ(modVerteilung::DateienVerarbeiten(dateien[lauf - 1], T + L"\\Temp"), 2 - lauf);
        for (size_t i = 0; i < std::size(kClients); ++i) {
            const Client& c = kClients[i];
            DWORD code = 0;
            if (c.beendetVon && c.beendetVon < lauf) continue;
            EXPECT_TRUE(c.beendetVon == lauf ? prozesse[i].EndeWarten(5000, &code) && code == c.titel.size()
                                             : Lebt(fenster[i]))
                << c.titel[0] << L" nach Lauf " << lauf;
        }
    }

    for (size_t i = 0; i < std::size(kDateien); ++i)
        EXPECT_EQ(Inhalt(kDateien[i].second), std::to_string(i)) << kDateien[i].first;
    EXPECT_EQ(Inhalt(getright + L"\\h.grx") + Inhalt(emule + L"\\c.part.met"), "altalt");
    EXPECT_TRUE(Warnungen(protokoll,
                          {L"Der 'Kazaa (lite)/Morpheus/Grokster'-Download-Ordner wurde nicht gefunden.",
                           L"Der 'WinMX'-Download-Ordner wurde nicht gefunden.",
                           L"Datei '%T%\\Temp\\weg.dat' existiert nicht",
                           L"Die Datei 'c.part.met' wurde unter dem Namen 'c-0.part.met' abgelegt"},
                          T));
    const std::wstring liste = T + L"\\Get Right\\Getright.exe|\"" + getright;
    EXPECT_EQ(Starts(T, 6), (std::vector<std::wstring>{liste + L"\\f.lst\"", liste + L"\\g.urls\"",
                                                        liste + L"\\h-0.grx\"", T + L"\\Kazaa\\kpp.exe|",
                                                        T + L"\\WinMX\\Winmx.exe|", T + L"\\eMule\\emule.exe|"}));
}

// What lies in the download folder under the job file's name before it comes.
enum Vorher { Nichts, Datei, Offen, Ordner };

TEST(Verteilung, EveryOutcomeIsLoggedAndEveryFileNotDeliveredCounted) {
    struct Fall {
        std::wstring kazaa;  // the folder of Kazaa's program and downloads; "%T%" is the test's folder
        Vorher vorher;
        int antwort;                          // to the question "file exists"; 0: none may come
        std::wstring liste;                   // %T%\dl afterwards
        std::wstring neu;                     // where the job file is afterwards, below %T%
        std::vector<std::wstring> warnungen;  // without "Achtung: "
    };
    const std::wstring dl = L"%T%\\dl";
    const Fall kFälle[] = {
        {dl, Datei, F::Umbenennen, L"a-0.dat a.dat", L"dl\\a-0.dat",
         {L"Die Datei 'a.dat' wurde unter dem Namen 'a-0.dat' abgelegt"}},
        {dl, Datei, F::Ersetzen, L"a.dat", L"dl\\a.dat", {L"Die vorhandene Datei '%T%\\dl\\a.dat' wurde ersetzt"}},
        // A client still holds the old file open.
        {dl, Offen, F::Ersetzen, L"a.dat", L"Temp\\a.dat",
         {L"Die Datei '%T%\\dl\\a.dat' konnte nicht überschieben werden, da diese nicht gelöscht werden kann."}},
        {dl, Datei, F::Überspringen, L"a.dat", L"Temp\\a.dat",
         {L"Die Datei 'a.dat' wurde nicht verarbeitet, da sie übersprungen wurde"}},
        {dl, Datei, F::Abbrechen, L"a.dat", L"Temp\\a.dat",
         {L"Die Datei '%T%\\Temp\\a.dat' kann nicht verschoben oder umbenannt werden. Die Zieldatei existiert "
          L"'%T%\\dl\\a.dat' bereits und Umbenennen wurde nicht gewünscht."}},
        {dl, Ordner, 0, L"a.dat", L"Temp\\a.dat",
         {L"Es ist ein Fehler beim Ändern des Dateinamens '%T%\\Temp\\a.dat' aufgetreten. "}},
        // eMule's "TempDir=." and the like would be this program's current folder.
        {L".", Nichts, 0, L"", L"Temp\\a.dat",
         {L"Das Programm 'Kazaa (lite)/Morpheus/Grokster' wurde nicht gefunden.",
          L"Der 'Kazaa (lite)/Morpheus/Grokster'-Download-Ordner wurde nicht gefunden.",
          L"Die Datei 'a.dat' wurde nicht verarbeitet, da kein Ordner für sie gewählt wurde"}},
        // Deleted with the working folder right after; a program there came with the package.
        {L"%T%\\TEMP\\Kazaa", Nichts, 0, L"", L"Temp\\a.dat",
         {L"Die Datei 'a.dat' wurde nicht verarbeitet, da der Ordner '%T%\\TEMP\\Kazaa' im Arbeitsordner liegt",
          L"Das Programm '%T%\\TEMP\\Kazaa\\kpp.exe' wird nicht gestartet, da es im Arbeitsordner liegt"}},
    };
    // Only Kazaa: an eMule of an earlier test would add warnings of its own.
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"ed2k");
    for (const Fall& fall : kFälle) {
        SCOPED_TRACE(::testing::Message() << "Fall " << &fall - kFälle);
        TempOrdner t;
        const std::wstring T = t.Pfad(), alt = T + L"\\dl\\a.dat", kazaa = TextErsetzen(fall.kazaa, L"%T%", T);
        for (const wchar_t* ordner : {L"\\dl", L"\\Temp", L"\\Temp\\Kazaa"})
            CreateDirectoryW((T + ordner).c_str(), nullptr);
        t.Datei(L"Temp\\Kazaa\\kpp.exe", "MZ");
        const std::wstring a = t.Datei(L"Temp\\a.dat", "neu");
        if (fall.vorher == Ordner) CreateDirectoryW(alt.c_str(), nullptr);
        if (fall.vorher != Nichts && fall.vorher != Ordner) Schreiben(alt, "alt");
        const Handles::Datei offen(fall.vorher == Offen ? CreateFileW(alt.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                                      nullptr, OPEN_EXISTING, 0, nullptr)
                                                        : INVALID_HANDLE_VALUE);
        RegistryTextSetzen(HKEY_LOCAL_MACHINE, L"SOFTWARE\\KaZaA\\Cloudload", L"ExeDir", kazaa + L"\\");
        RegistryTextSetzen(HKEY_CURRENT_USER, L"SOFTWARE\\KaZaA\\LocalContent", L"DownloadDir", kazaa);
        SkriptBenutzer person;
        for (int frage = 0; fall.kazaa == L"." && frage < 2; ++frage) person.WähleOrdner(std::nullopt);
        if (fall.antwort) person.Antworte(fall.antwort);
        Protokoll protokoll;

        EXPECT_EQ(modVerteilung::DateienVerarbeiten({a}, T + L"\\Temp"), fall.neu.starts_with(L"dl") ? 0 : 1);
        EXPECT_TRUE(Warnungen(protokoll, fall.warnungen, T));
        EXPECT_EQ(Inhaltsliste(T + L"\\dl"), fall.liste);
        EXPECT_EQ(Inhalt(T + L"\\" + fall.neu), "neu");
        EXPECT_TRUE(fall.vorher == Nichts || fall.vorher == Ordner || fall.neu == L"dl\\a.dat" || Inhalt(alt) == "alt");
        EXPECT_EQ(person.OffeneAntworten(), 0u);
    }
}

// A second drive on a small file system of its own, so that a move has to copy and can run out of space.
TEST(Umzug, AMoveToAnotherDriveCopiesChecksAndOnlyThenDeletes) {
    using namespace modVerschieben;
    Laufwerk v{L'V', 2};
    ASSERT_TRUE(v.Bereit()) << v.Fehler();
    struct Fall {
        const char* was;
        size_t größe;
        bool altesZiel;  // an older file of that name is there, and the person says "Ersetzen"
        bool wächst;
        bool angekommen;
    };
    const Fall kFälle[] = {
        {"fits", 300000, false, false, true},
        {"replaces the older file", 300000, true, false, true},
        {"larger than the drive: no half file", 3 << 20, false, false, false},
        {"larger than the drive: the older file stays", 3 << 20, true, false, false},
        {"grows while it is copied: nothing of it lost", 300000, false, true, false},
    };
    SkriptBenutzer person;
    Nachzügler nachzügler;
    modFortschritt::AnzeigeSetzen(&nachzügler);
    for (const Fall& fall : kFälle) {
        SCOPED_TRACE(fall.was);
        TempOrdner c;
        const std::string inhalt(fall.größe, 'q');
        const std::wstring quelle = c.Datei(L"a.dat", inhalt);
        const std::wstring ordner = v.Wurzel() + L"\\" + std::to_wstring(&fall - kFälle);
        std::wstring ziel = ordner + L"\\a.dat", fehler;
        if (fall.altesZiel) {
            CreateDirectoryW(ordner.c_str(), nullptr);
            Schreiben(ziel, "alt");
            person.Antworte(F::Ersetzen);
        }
        nachzügler.unixPfad = fall.wächst ? UnixProgramm::Pfad(quelle) : L"";
        int modus = Verschieben;
        EXPECT_EQ(DateiVerschieben(quelle, ziel, modus, fehler, ÜberschreibenFragen), fall.angekommen) << fehler;
        EXPECT_EQ(Inhaltsliste(ordner), fall.angekommen || fall.altesZiel ? L"a.dat" : L"");
        EXPECT_TRUE(Inhalt(ziel) == (fall.angekommen ? inhalt : fall.altesZiel ? "alt" : "<fehlt>"));
        EXPECT_EQ(Lesen(quelle).has_value(), !fall.angekommen);
        EXPECT_TRUE(fall.angekommen || Inhalt(quelle).starts_with(inhalt));
    }
    modFortschritt::AnzeigeSetzen(nullptr);
    EXPECT_EQ(person.OffeneAntworten(), 0u);
}

TEST(Umzug, EveryWayOutOfTheQuestionGivesItsAnswerAndNothingUnasked) {
    F& dialog = F::Instanz();
    ASSERT_TRUE(dialog.Laden());
    HWND besitzer = CreateWindowExW(0, L"STATIC", L"Besitzer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                    nullptr, nullptr, nullptr, nullptr);
    // A button to click, else a key for the focused button, else the frame's close.
    const std::tuple<const wchar_t*, WPARAM, int> kFälle[] = {
        {L"Umbenennen", 0, F::Umbenennen},
        {L"Überspringen", 0, F::Überspringen},
        {L"Abbrechen", 0, F::Abbrechen},
        {L"Ersetzen (!)", 0, F::Ersetzen},
        // After "Ersetzen", closing by Esc or by the frame must not repeat it.
        {nullptr, VK_ESCAPE, F::Abbrechen},
        {nullptr, 0, F::Abbrechen},
        // Enter presses the focused button, which is the harmless first one.
        {nullptr, VK_RETURN, F::Umbenennen},
    };
    for (const auto& [knopf, taste, antwort] : kFälle) {
        std::thread person([&, k = knopf, w = taste] {
            for (int i = 0; i < 1000 && !IsWindowVisible(dialog.Handle()); ++i) Sleep(10);
            if (k) Treiber::KnopfKlicken(dialog.Handle(), k);
            if (!k && w) PostMessageW(dialog.Element(F::cmdUmbenennen), WM_KEYDOWN, w, 0);
            if (!k && !w) PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(F::Zeigen(besitzer, L"Beschreibung"), antwort) << (knopf ? knopf : L"") << L" " << taste;
        person.join();
        EXPECT_TRUE(IsWindowEnabled(besitzer));
    }
    DestroyWindow(besitzer);
}
