#include "ProgrammEinstellungen.h"

#include "Dateien.h"
#include "Protokoll.h"
#include "Shell.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using namespace std::string_literals;
namespace pe = modProgrammEinstellungen;

namespace {

struct Registerwert {
    HKEY wurzel;
    std::wstring schlüssel, name, wert;
};

// Registry rows, folders and files of one installation; all gone again at the end.
class Installation {
public:
    explicit Installation(const std::vector<Registerwert>& werte) {
        for (const auto& w : werte) {
            RegistryTextSetzen(w.wurzel, w.schlüssel, w.name.c_str(), w.wert);
            schlüssel_.emplace_back(w.wurzel, w.schlüssel);
        }
    }
    ~Installation() {
        for (auto it = dateien_.rbegin(); it != dateien_.rend(); ++it) DeleteFileW(it->c_str());
        for (auto it = ordner_.rbegin(); it != ordner_.rend(); ++it) RemoveDirectoryW(it->c_str());
        for (const auto& [wurzel, schlüssel] : schlüssel_) RegDeleteTreeW(wurzel, schlüssel.c_str());
    }
    void Ordner(const std::wstring& pfad) {
        CreateDirectoryW(pfad.c_str(), nullptr);
        ordner_.push_back(pfad);
    }
    void Datei(const std::wstring& pfad, const std::string& inhalt) {
        Schreiben(pfad, inhalt);
        dateien_.push_back(pfad);
    }

private:
    std::vector<std::pair<HKEY, std::wstring>> schlüssel_;
    std::vector<std::wstring> ordner_, dateien_;
};

const HKEY LM = HKEY_LOCAL_MACHINE, CU = HKEY_CURRENT_USER, CR = HKEY_CLASSES_ROOT;

struct Fall {
    const char* name;
    std::vector<Registerwert> register_;
    std::vector<std::wstring> programmOrdner;                    // below the programs folder
    std::vector<std::pair<std::wstring, std::string>> dateien;   // below the programs folder
    std::vector<std::wstring> soll;  // the seven values; "P\\" stands for the programs folder
    std::vector<std::wstring> protokoll;
};

}  // namespace

TEST(ProgrammEinstellungen, FoldersComeFromRegistryFallbacksAndSettingsFiles) {
    const std::wstring p = modFunktionen::SpeziellerOrdner(38);
    ASSERT_FALSE(p.empty());
    const auto P = [&](const std::wstring& rest) { return rest.rfind(L"P\\", 0) == 0 ? p + rest.substr(2) : rest; };
    const Fall kFälle[] = {
        {"Kazaa wins over Grokster; doubled separators and quoted commands are undone",
         {{LM, L"SOFTWARE\\KaZaA\\Cloudload", L"ExeDir", L"C:\\\\Programme\\\\Kazaa\\\\"},
          {CU, L"SOFTWARE\\KaZaA\\LocalContent", L"DownloadDir", L"D:\\\\Kazaa\\\\My Shared Folder"},
          {LM, L"SOFTWARE\\Grokster\\Cloudload", L"ExeDir", L"C:\\Grokster\\grokster.exe"},
          {CU, L"SOFTWARE\\Grokster\\LocalContent", L"DownloadDir", L"C:\\Grokster\\Downloads"},
          {LM, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\WinMX", L"UninstallString", L"C:\\Programme\\WinMX\\uninst.exe"},
          {CR, L"ed2k\\shell\\open\\command", L"", L" \"C:\\Programme\\eMule\\emule.exe\" \"%1\""},
          {CU, L"Software\\Headlight\\GetRight\\Config", L"InstallDir", L"C:\\GetRight"}},
         {}, {},
         {L"C:\\Programme\\Kazaa", L"D:\\Kazaa\\My Shared Folder", L"C:\\Programme\\WinMX", L"", L"C:\\GetRight",
          L"C:\\Programme\\eMule", L"vorher"},
         {L"Achtung: Die 'EMule/EDonkey'-Einstellungen konnten nicht gelesen werden"}},
        {"Without Kazaa's ExeDir the Grokster pair is read, even without a download folder",
         {{CU, L"SOFTWARE\\KaZaA\\LocalContent", L"DownloadDir", L"D:\\Kazaa"},
          {LM, L"SOFTWARE\\Grokster\\Cloudload", L"ExeDir", L"C:\\Grok\\grokster.exe"}},
         {}, {},
         {L"C:\\Grok", L"", L"", L"", L"", L"", L"vorher"},
         {}},
        {"An ExeDir that names the folder itself, without a trailing separator",
         {{LM, L"SOFTWARE\\KaZaA\\Cloudload", L"ExeDir", p + L"KaZaA Media Desktop"}},
         {L"KaZaA Media Desktop"}, {{L"KaZaA Media Desktop\\Kazaa.exe", "MZ"}},
         {L"P\\KaZaA Media Desktop", L"", L"", L"", L"", L"", L"vorher"},
         {}},
        {"Fallback folders below the programs folder; eDonkey's share.dat",
         {{CU, L"SOFTWARE\\Morpheus\\LocalContent", L"DownloadDir", L"E:\\Morpheus"}},
         {L"Kazaa Lite", L"Morpheus", L"eDonkey2000", L"GetRight"},
         {{L"eDonkey2000\\share.dat", "\x01\x02" "D:\\Unfertig\\x\0\x07rest"s}},
         {L"P\\\\Kazaa Lite", L"E:\\Morpheus", L"", L"", L"P\\\\GetRight", L"P\\\\eDonkey2000", L"D:\\Unfertig\\"},
         {}},
        {"preferences.ini wins over share.dat; the key in any case, the value untrimmed, a last line without break",
         {},
         {L"EMule"},
         {{L"EMule\\preferences.ini", "[eMule]\r\nNick=x\r\nTEMPDIR=D:\\Temp \r\nIncomingDir=D:\\In\r\n"},
          {L"EMule\\share.dat", "xxC:\\Falsch\\\0"s}},
         {L"", L"", L"", L"", L"", L"P\\\\EMule", L"D:\\Temp "},
         {}},
        {"A last line without line break still counts",
         {}, {L"EMule"}, {{L"EMule\\preferences.ini", "Nick=x\r\ntempdir=D:\\Letzte"}},
         {L"", L"", L"", L"", L"", L"P\\\\EMule", L"D:\\Letzte"}, {}},
        {"Unusable settings keep the earlier temp folder and say so",
         {}, {L"EMule"}, {{L"EMule\\preferences.ini", "Nick=x\r\n"}},
         {L"", L"", L"", L"", L"", L"P\\\\EMule", L"vorher"},
         {L"Achtung: Die 'EMule'-Einstellungen konnten nicht verarbeitet werden"}},
        {"A share.dat whose zero comes too early",
         {}, {L"eDonkey2000"}, {{L"eDonkey2000\\share.dat", "ab\0cdef"s}},
         {L"", L"", L"", L"", L"", L"P\\\\eDonkey2000", L"vorher"},
         {L"Achtung: Die 'EDonkey'-Einstellungen konnten nicht verarbeitet werden"}},
    };
    for (const auto& fall : kFälle) {
        Installation installation(fall.register_);
        for (const auto& ordner : fall.programmOrdner) installation.Ordner(p + ordner);
        for (const auto& [datei, inhalt] : fall.dateien) installation.Datei(p + datei, inhalt);
        Protokoll protokoll;
        pe::OrdnerZurücksetzen();
        pe::WinMXDownloadOrdner = L"vorher";
        pe::EMuleTempOrdner = L"vorher";

        EXPECT_TRUE(pe::ProgrammEinstellungenLesen()) << fall.name;
        const std::vector<std::wstring> ist = {pe::KazaaProgrammOrdner, pe::KazaaDownloadOrdner, pe::WinMXProgrammOrdner,
                                               pe::WinMXDownloadOrdner, pe::GetRightProgrammOrdner,
                                               pe::EMuleProgrammOrdner, pe::EMuleTempOrdner};
        for (size_t i = 0; i < ist.size(); ++i) EXPECT_EQ(ist[i], P(fall.soll[i])) << fall.name << ", Wert " << i;
        EXPECT_EQ(protokoll.Zeilen(), fall.protokoll) << fall.name;
    }
}
