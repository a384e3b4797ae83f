// The Windows installer, run silently in the test's throwaway prefix, and the program it installs,
// driven from outside as a user would: open a package by its file type, use the About box, uninstall.

#include "Dateien.h"
#include "TempOrdner.h"
#include "Treiber.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <sstream>
#include <vector>

namespace {

using Treiber::Prozess;

constexpr DWORD kWarten = 30000;
const std::wstring kWillkommen = L"Ladewerk 1.10 - Willkommen";

std::wstring SpeziellerOrdner(int csidl) {
    wchar_t pfad[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, pfad)) ? pfad : L"";
}

const std::wstring& Programmordner() {
    static const std::wstring ordner = SpeziellerOrdner(CSIDL_PROGRAM_FILES) + L"\\Ladewerk";
    return ordner;
}

std::wstring Startmenüordner() { return SpeziellerOrdner(CSIDL_COMMON_PROGRAMS) + L"\\Ladewerk"; }

// The colour pixels of the 32-pixel icon that an icon location ("file,index") names; empty when
// it names none.
std::vector<unsigned char> Symbolpixel(const std::wstring& ort) {
    const size_t komma = ort.rfind(L',');
    if (komma == std::wstring::npos) return {};
    HICON symbol = nullptr;
    if (ExtractIconExW(ort.substr(0, komma).c_str(), std::stoi(ort.substr(komma + 1)), &symbol, nullptr, 1) != 1 || !symbol)
        return {};
    ICONINFO info{};
    std::vector<unsigned char> pixel;
    if (GetIconInfo(symbol, &info)) {
        BITMAP bild{};
        GetObjectW(info.hbmColor, sizeof bild, &bild);
        pixel.resize(static_cast<size_t>(bild.bmWidthBytes) * static_cast<size_t>(bild.bmHeight));
        GetBitmapBits(info.hbmColor, static_cast<LONG>(pixel.size()), pixel.data());
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    DestroyIcon(symbol);
    return pixel;
}

std::optional<std::wstring> RegistryText(HKEY wurzel, const std::wstring& schlüssel, const wchar_t* name = nullptr) {
    DWORD größe = 0;
    if (RegGetValueW(wurzel, schlüssel.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr, &größe) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(größe / sizeof(wchar_t), L'\0');
    if (RegGetValueW(wurzel, schlüssel.c_str(), name, RRF_RT_REG_SZ, nullptr, text.data(), &größe) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(wcslen(text.c_str()));
    return text;
}

bool SchlüsselExistiert(HKEY wurzel, const std::wstring& schlüssel) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(wurzel, schlüssel.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

DWORD Ausführen(const std::wstring& exe, const std::wstring& argumente) {
    auto prozess = Prozess::Starten(exe, argumente);
    DWORD code = 1;
    if (!prozess || !prozess->EndeWarten(kWarten, &code)) return 1;
    return code;
}

bool Warten(const std::function<bool()>& bedingung) {
    for (int i = 0; i < 300; ++i) {
        if (bedingung()) return true;
        Sleep(100);
    }
    return bedingung();
}

class Installation : public ::testing::Test {
protected:
    void SetUp() override {
        const char* setup = std::getenv("LADEWERK_SETUP");
        ASSERT_TRUE(setup) << "LADEWERK_SETUP fehlt";
        // The start-menu links would otherwise make Wine write menu entries into the
        // developer's desktop settings, outside the throwaway prefix.
        RegistryTextSetzen(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", L"winemenubuilder.exe", L"");
        ASSERT_EQ(Ausführen(Treiber::UnixPfadNachWindows(setup), L"/S"), 0u);
    }

};

// Whatever the shell hands to the program registered for a type lands in one file, line by line.
class Aufzeichnung {
public:
    explicit Aufzeichnung(const TempOrdner& ordner) : protokoll_(ordner.Pfad() + L"\\aufrufe.txt") {
        const std::wstring befehl = L"\"" + NebenDemTest(L"lw_aufzeichner.exe") + L"\" \"" + protokoll_ + L"\" \"%1\"";
        RegistryTextSetzen(HKEY_CLASSES_ROOT, L"LadewerkTest.Aufzeichnung\\shell\\open\\command", nullptr, befehl);
        for (const wchar_t* endung : {L".htm", L".txt"})
            RegistryTextSetzen(HKEY_CLASSES_ROOT, endung, nullptr, L"LadewerkTest.Aufzeichnung");
        RegistryTextSetzen(HKEY_CLASSES_ROOT, L"https\\shell\\open\\command", nullptr, befehl);
    }

    std::vector<std::wstring> Zeilen() const {
        const std::string utf8 = Lesen(protokoll_).value_or("");
        std::wstring text(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                            static_cast<int>(text.size()));
        std::vector<std::wstring> zeilen;
        std::wstringstream strom(text);
        for (std::wstring zeile; std::getline(strom, zeile);) zeilen.push_back(zeile);
        return zeilen;
    }

private:
    std::wstring protokoll_;
};

// The About box has no caption; it is the program's visible window without one.
HWND InfosWarten(DWORD prozessId) {
    HWND gefunden = nullptr;
    Warten([&] {
        for (const auto& f : Treiber::FensterAuflisten(prozessId))
            if (f.sichtbar && f.text.empty() && f.klasse == L"LadewerkFenster") gefunden = f.hwnd;
        return gefunden != nullptr;
    });
    return gefunden;
}

void LinkKlicken(HWND fenster, int id) {
    HWND link = GetDlgItem(fenster, id);
    ASSERT_TRUE(link) << id;
    PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

constexpr int kOk = 1201, kInfodatei = 1202, kWebsite = 1203, kBedingungen = 1205;

}  // namespace

TEST_F(Installation, RegistersPackagesThatOpenByTypeAndUninstallsEverything) {
    const std::wstring exe = Programmordner() + L"\\ladewerk.exe";
    for (const std::wstring& datei : {exe, Programmordner() + L"\\nutzung.txt", Programmordner() + L"\\hilfe\\index.htm",
                                      Startmenüordner() + L"\\Ladewerk.lnk"})
        EXPECT_TRUE(Existiert(datei)) << datei;
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L".lwx"), L"Ladewerk.Paket");
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L"Ladewerk.Paket\\shell\\open\\command"), L"\"" + exe + L"\" \"%1\"");
    // Packages show an icon of their own, not the program's nor the system's.
    const auto paketSymbol = Symbolpixel(RegistryText(HKEY_CLASSES_ROOT, L"Ladewerk.Paket\\DefaultIcon").value_or(L""));
    EXPECT_FALSE(paketSymbol.empty());
    EXPECT_TRUE(paketSymbol != Symbolpixel(exe + L",0"));
    const std::wstring deinstallation = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ladewerk";
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, deinstallation, L"DisplayVersion"), L"1.10.50");

    TempOrdner ordner;
    const std::wstring paket = ordner.Datei(L"Downloads vom Montag.lwx", "PK");
    SHELLEXECUTEINFOW aufruf{};
    aufruf.cbSize = sizeof aufruf;
    aufruf.fMask = SEE_MASK_NOCLOSEPROCESS;
    aufruf.lpFile = paket.c_str();
    aufruf.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExW(&aufruf) && aufruf.hProcess);
    const DWORD prozessId = GetProcessId(aufruf.hProcess);
    HWND frage = Treiber::FensterWarten(L"Ladewerk", kWarten, prozessId);
    EXPECT_TRUE(frage);
    if (frage) {
        const auto texte = Treiber::AlleTexte(frage);
        EXPECT_TRUE(Enthält(texte, L"Soll die Datei 'Downloads vom Montag.lwx' jetzt verarbeitet werden?"))
            << ::testing::PrintToString(texte);
        EXPECT_TRUE(Treiber::KnopfKlicken(frage, L"Nein"));
    }
    DWORD code = 1;
    EXPECT_TRUE(Treiber::ProzessEndeWarten(aufruf.hProcess, kWarten, &code));
    EXPECT_EQ(code, 0u);
    if (WaitForSingleObject(aufruf.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(aufruf.hProcess, 1);
    CloseHandle(aufruf.hProcess);
    EXPECT_TRUE(Existiert(paket));

    // The uninstaller copies itself to the temp folder and returns at once; the copy does the work.
    ASSERT_EQ(Ausführen(Programmordner() + L"\\deinstallieren.exe", L"/S"), 0u);
    const std::pair<std::wstring, std::function<bool()>> reste[] = {
        {Programmordner(), [] { return Existiert(Programmordner()); }},
        {Startmenüordner(), [] { return Existiert(Startmenüordner()); }},
        {L"HKCR\\.lwx", [] { return SchlüsselExistiert(HKEY_CLASSES_ROOT, L".lwx"); }},
        {L"HKCR\\Ladewerk.Paket", [] { return SchlüsselExistiert(HKEY_CLASSES_ROOT, L"Ladewerk.Paket"); }},
        {deinstallation, [&] { return SchlüsselExistiert(HKEY_LOCAL_MACHINE, deinstallation); }},
    };
    Warten([&] { return std::none_of(std::begin(reste), std::end(reste), [](const auto& r) { return r.second(); }); });
    for (const auto& [name, bleibt] : reste) EXPECT_FALSE(bleibt()) << name;
}

TEST_F(Installation, AboutBoxOpensItsLinksAndNamesAMissingHelpFile) {
    TempOrdner ordner;
    const Aufzeichnung aufzeichnung(ordner);
    auto gestartet = Prozess::Starten(Programmordner() + L"\\ladewerk.exe", L"");
    ASSERT_TRUE(gestartet);
    Prozess& prozess = *gestartet;
    HWND haupt = Treiber::FensterWarten(kWillkommen, kWarten, prozess.Id());
    ASSERT_TRUE(haupt);
    ASSERT_TRUE(Treiber::KnopfKlicken(haupt, L"Info..."));
    HWND infos = InfosWarten(prozess.Id());
    ASSERT_TRUE(infos);
    const auto texte = Treiber::AlleTexte(infos);
    for (const wchar_t* text : {L"1.10.50", L"ladewerk.example", L"Infodatei ansehen", L"Ansehen (Text-Editor)"})
        EXPECT_TRUE(Enthält(texte, text)) << text << " in " << ::testing::PrintToString(texte);

    const std::pair<int, std::wstring> links[] = {
        {kInfodatei, Programmordner() + L"\\hilfe\\index.htm"},
        {kBedingungen, Programmordner() + L"\\nutzung.txt"},
        {kWebsite, L"https://ladewerk.example/"},
    };
    for (size_t i = 0; i < std::size(links); ++i) {
        LinkKlicken(infos, links[i].first);
        ASSERT_TRUE(Warten([&] { return aufzeichnung.Zeilen().size() > i; })) << links[i].second;
        EXPECT_EQ(aufzeichnung.Zeilen()[i], links[i].second);
    }

    ASSERT_TRUE(DeleteFileW((Programmordner() + L"\\hilfe\\index.htm").c_str()));
    LinkKlicken(infos, kInfodatei);
    HWND meldung = Treiber::FensterWarten(L"Ladewerk", kWarten, prozess.Id());
    ASSERT_TRUE(meldung);
    EXPECT_TRUE(Enthält(Treiber::AlleTexte(meldung),
                        L"Die Datei '" + Programmordner() +
                            L"\\hilfe\\index.htm' wurde nicht gefunden.\n\nBitte installieren Sie dieses Programm neu, "
                            L"um diese Datei wiederherzustellen und die gewünschten Informationen anzuzeigen."))
        << ::testing::PrintToString(Treiber::AlleTexte(meldung));
    ASSERT_TRUE(Treiber::KnopfKlicken(meldung, L"OK"));
    ASSERT_TRUE(Treiber::FensterVerschwindenWarten(meldung, kWarten));
    EXPECT_EQ(aufzeichnung.Zeilen().size(), std::size(links));

    ASSERT_TRUE(Treiber::KnopfKlicken(infos, L"Ok"));
    EXPECT_TRUE(Treiber::FensterVerschwindenWarten(infos, kWarten));
    ASSERT_TRUE(Treiber::KnopfKlicken(haupt, L"Beenden"));
    EXPECT_TRUE(prozess.EndeWarten(kWarten));
}
