#include "Empfang.h"

#include "Dateien.h"
#include "Handles.h"
#include "Peer.h"
#include "Treiber.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace Empfang {
namespace {

std::string Ascii(const std::wstring& text) { return std::string(text.begin(), text.end()); }

}  // namespace

Clientordner ClientsEinrichten(const TempOrdner& wurzel) {
    auto ordner = [&](const wchar_t* name) {
        const std::wstring pfad = wurzel.Pfad() + L"\\" + name;
        CreateDirectoryW(pfad.c_str(), nullptr);
        return pfad;
    };
    ordner(L"Pakete");
    const Clientordner clients{ordner(L"KazaaDownloads"), ordner(L"eMuleTemp")};
    RegistryTextSetzen(HKEY_LOCAL_MACHINE, L"SOFTWARE\\KaZaA\\Cloudload", L"ExeDir", ordner(L"Kazaa") + L"\\kazaa.exe");
    RegistryTextSetzen(HKEY_CURRENT_USER, L"SOFTWARE\\KaZaA\\LocalContent", L"DownloadDir", clients.kazaaDownloads);
    const std::wstring emule = ordner(L"eMule");
    RegistryTextSetzen(HKEY_CLASSES_ROOT, L"ed2k\\shell\\open\\command", nullptr, L"\"" + emule + L"\\emule.exe\" \"%1\"");
    wurzel.Datei(L"eMule\\preferences.ini", "[eMule]\r\nTempDir=" + Ascii(clients.emuleTemp) + "\r\n");
    return clients;
}

std::wstring ZipPaket(const TempOrdner& wurzel, const std::wstring& name, const Dateien& dateien,
                      const std::optional<std::string>& optionen) {
    const std::wstring quelle = L"Quelle-" + name;
    CreateDirectoryW((wurzel.Pfad() + L"\\" + quelle).c_str(), nullptr);
    std::vector<std::wstring> namen;
    for (const auto& [datei, inhalt] : dateien) {
        wurzel.Datei(quelle + L"\\" + datei, inhalt);
        namen.push_back(datei);
    }
    if (optionen) {
        wurzel.Datei(quelle + L"\\optionen.opt", *optionen);
        namen.push_back(L"optionen.opt");
    }
    const std::wstring paket = wurzel.Pfad() + L"\\Pakete\\" + name;
    EXPECT_TRUE(Peer::Zip(wurzel.Pfad() + L"\\" + quelle, paket, namen)) << name;
    return paket;
}

std::wstring PythonPaket(const TempOrdner& wurzel, const std::wstring& name, const std::string& körper) {
    const std::string skript =
        "import zipfile\nwith zipfile.ZipFile('" + Ascii(name) + "', 'w', zipfile.ZIP_DEFLATED) as z:\n" + körper + "\n";
    EXPECT_TRUE(Peer::Python(wurzel.Pfad() + L"\\Pakete", skript)) << name;
    return wurzel.Pfad() + L"\\Pakete\\" + name;
}

std::set<std::wstring> Baum(const std::wstring& ordner) {
    std::set<std::wstring> inhalt;
    WIN32_FIND_DATAW eintrag;
    const Handles::Suche suche(FindFirstFileW((ordner + L"\\*").c_str(), &eintrag));
    if (!suche) return inhalt;
    do {
        const std::wstring name = eintrag.cFileName;
        if (name == L"." || name == L"..") continue;
        inhalt.insert(ordner + L"\\" + name);
        if (eintrag.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) inhalt.merge(Baum(ordner + L"\\" + name));
    } while (FindNextFileW(suche.Get(), &eintrag));
    return inhalt;
}

bool Arbeitsordnerreste(const std::wstring& ordner) {
    WIN32_FIND_DATAW eintrag;
    return Handles::Suche(FindFirstFileW((ordner + L"\\Ladewerk-*").c_str(), &eintrag)).Gültig();
}

std::wstring Papierkorb(const std::wstring& name) {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    return Treiber::UnixPfadNachWindows(xdg ? xdg : "") + L"\\Trash\\files\\" + name;
}

}  // namespace Empfang
