// The sending side of the real ladewerk.exe, driven from outside through its own windows and
// the real file dialogs: collect files, save a package, and save and mail one.

#include "PaketTestHilfen.h"
#include "Dateien.h"
#include "TempOrdner.h"
#include "Treiber.h"
#include "UnixProgramm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

using Treiber::Prozess;
using Liste = std::vector<std::wstring>;

constexpr DWORD kWarten = 20000;
const std::wstring kWillkommen = L"Ladewerk 1.10 - Willkommen";
const std::wstring kErstellen = L"Ladewerk 1.10 - Datei erstellen";
const std::wstring kFortschritt = L"Ladewerk 1.10 - Fortschritt";
constexpr int kSchließen = 1101, kProtokoll = 1102;
constexpr WPARAM kSelbstSuchen = 1304, kSpeichern = 1311, kMailen = 1312;

// The first visible window of the process, other than `außer`, that offers this button.
HWND FensterMitKnopf(DWORD prozess, const std::wstring& knopf, HWND außer = nullptr) {
    for (int versuch = 0; versuch < 200; ++versuch) {
        for (const auto& f : Treiber::FensterAuflisten(prozess)) {
            if (!f.sichtbar || f.hwnd == außer) continue;
            for (const auto& kind : Treiber::KinderAuflisten(f.hwnd)) {
                std::wstring text = kind.text;
                std::erase(text, L'&');
                if (kind.sichtbar && kind.klasse == L"Button" && text == knopf) return f.hwnd;
            }
        }
        Sleep(100);
    }
    return nullptr;
}

// Types a path into the file dialog's name field and confirms it.
bool DateinameEingeben(HWND dialog, const std::wstring& pfad, const std::wstring& knopf) {
    for (const auto& kind : Treiber::KinderAuflisten(dialog))
        if (kind.sichtbar && kind.klasse == L"Edit") {
            SendMessageW(kind.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pfad.c_str()));
            return Treiber::KnopfKlicken(dialog, knopf);
        }
    return false;
}

class Senden : public ::testing::Test {
protected:
    void SetUp() override {
        const char* exe = std::getenv("LADEWERK_EXE");
        ASSERT_TRUE(exe) << "LADEWERK_EXE fehlt";
        auto gestartet = Prozess::Starten(Treiber::UnixPfadNachWindows(exe), L"");
        ASSERT_TRUE(gestartet);
        prozess.emplace(std::move(*gestartet));
        haupt = Treiber::FensterWarten(kWillkommen, kWarten, prozess->Id());
        ASSERT_TRUE(haupt);
        ASSERT_TRUE(Treiber::KnopfKlicken(haupt, L"Datei erstellen..."));
        dialog = Treiber::FensterWarten(kErstellen, kWarten, prozess->Id());
        ASSERT_TRUE(dialog);
    }

    void DateiHinzufügen(const std::wstring& pfad) {
        PostMessageW(dialog, WM_COMMAND, kSelbstSuchen, 0);
        HWND öffnen = Treiber::FensterWarten(L"Datei öffnen", kWarten, prozess->Id());
        ASSERT_TRUE(öffnen);
        ASSERT_TRUE(DateinameEingeben(öffnen, pfad, L"Öffnen"));
        ASSERT_TRUE(Treiber::FensterVerschwindenWarten(öffnen, kWarten));
    }

    // Saves under pfad through the real save dialog (Wine's asks nothing before it creates a file).
    void Speichern(WPARAM befehl, const std::wstring& pfad) {
        PostMessageW(dialog, WM_COMMAND, befehl, 0);
        HWND speichern = Treiber::FensterWarten(L"Datei speichern", kWarten, prozess->Id());
        ASSERT_TRUE(speichern);
        ASSERT_TRUE(DateinameEingeben(speichern, pfad, L"Speichern"));
    }

    // The finished log, once the close button is enabled again.
    Liste Protokoll() {
        HWND fortschritt = Treiber::FensterWarten(kFortschritt, kWarten, prozess->Id());
        if (!fortschritt) return {};
        HWND knopf = GetDlgItem(fortschritt, kSchließen);
        for (int i = 0; i < 600 && !IsWindowEnabled(knopf); ++i) Sleep(100);
        std::wistringstream text(Treiber::SteuerelementText(fortschritt, kProtokoll).value_or(L""));
        Liste zeilen;
        for (std::wstring zeile; std::getline(text, zeile);) {
            if (!zeile.empty() && zeile.back() == L'\r') zeile.pop_back();
            zeilen.push_back(zeile);
        }
        return zeilen;
    }

    std::optional<Prozess> prozess;
    HWND haupt = nullptr;
    HWND dialog = nullptr;
    TempOrdner ordner;
};

}  // namespace

TEST_F(Senden, CollectedFilesBecomeAPackageAndGoToTheTrash) {
    const auto texte = Treiber::AlleTexte(dialog);
    for (const wchar_t* text :
         {L"Erstellen Sie eine Ladewerk-Datei.", L"&Datei(en) hinzufügen...", L"D&atei(en) entfernen", L"0 Datei(en)",
          L"Dateien nach Abschluss der Aktion löschen (Windows-Papierkorb)",
          L"FileSharing-Programme vor Beginn der Aktion beenden", L"&Erstellen...", L"&Abbrechen"})
        EXPECT_TRUE(Enthält(texte, text)) << text;
    EXPECT_FALSE(IsWindowEnabled(haupt));

    const std::wstring a = ordner.Datei(L"[1] Film.dat", std::string(5000, 'f'));
    const std::wstring b = ordner.Datei(L"Lied.part", "Lied");
    DateiHinzufügen(a);
    DateiHinzufügen(b);
    EXPECT_EQ(Treiber::SteuerelementText(dialog, 1209).value_or(L""), L"2 Datei(en)");

    Speichern(kSpeichern, ordner.Pfad() + L"\\Paket");
    const Liste zeilen = Protokoll();
    EXPECT_EQ(zeilen, (Liste{L"Schließe Anwendungen...", L"Bereite Kompression vor...",
                             L"Starte Kompression, Größe der Dateien ist vorher 5004 Bytes", L"Speichere Optionen",
                             zeilen.size() > 4 ? zeilen[4] : L"", L"Quelldateien löschen...",
                             L"Kompression und Verarbeitung beendet"}));
    EXPECT_TRUE(zeilen.size() > 4 && zeilen[4].starts_with(L"Kompression beendet, Größe der Datei ist "));

    const auto prüfung = PaketPrüfen(ordner.Pfad() + L"\\Paket.lwx");
    ASSERT_TRUE(prüfung);
    EXPECT_EQ(prüfung->unzipCode, 0);
    EXPECT_EQ(prüfung->namen, (Liste{L"_1_ Film.dat", L"Lied.part", L"optionen.opt"}));
    EXPECT_FALSE(Existiert(a));
    EXPECT_FALSE(Existiert(b));
    auto papierkorb = ImPapierkorb();
    std::sort(papierkorb.begin(), papierkorb.end());
    EXPECT_EQ(papierkorb, (Liste{L"Lied.part", L"[1] Film.dat"}));
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_TRUE(IsWindowEnabled(haupt));
}

TEST_F(Senden, MailCommandHandsTheSavedPackageToTheComposer) {
    const std::wstring a = ordner.Datei(L"Liste.grx", "GetRight");
    DateiHinzufügen(a);
    Speichern(kMailen, ordner.Pfad() + L"\\Post.lwx");
    HWND hinweis = FensterMitKnopf(prozess->Id(), L"OK", dialog);
    ASSERT_TRUE(hinweis);
    EXPECT_TRUE(Enthält(Treiber::AlleTexte(hinweis),
                        L"Eine EMail wird nun in Ihrem Standard-EMail-Programm erstellt.\nBitte fügen Sie den Brieftext "
                        L"über die Zwischenablage in Ihres Programmes ein, falls dies nicht automatisch geschieht."));
    ASSERT_TRUE(Treiber::KnopfKlicken(hinweis, L"OK"));
    EXPECT_EQ(Protokoll().back(), L"Kompression und Verarbeitung beendet");

    const std::string aufruf = Inhalt(UnixOrdner(L"XDG_DATA_HOME") + L"\\xdg-email.txt");
    std::string anhang(UnixProgramm::Pfad(ordner.Pfad() + L"\\Post.lwx").size() * 3, '\0');
    const std::wstring unix = UnixProgramm::Pfad(ordner.Pfad() + L"\\Post.lwx");
    anhang.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, unix.c_str(), static_cast<int>(unix.size()),
                                                          anhang.data(), static_cast<int>(anhang.size()), nullptr,
                                                          nullptr)));
    EXPECT_NE(aufruf.find("--subject\nDownloads\n--body\nEine Ladewerk-Datei wurde dieser EMail angeh"),
              std::string::npos)
        << aufruf;
    EXPECT_NE(aufruf.find("--attach\n" + anhang + "\nGeben Sie hier einen Empf"), std::string::npos) << aufruf;
    EXPECT_NE(aufruf.find("ANHANG-VORHANDEN"), std::string::npos) << aufruf;
}
