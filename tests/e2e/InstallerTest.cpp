// The Windows installer, run silently in the test's throwaway prefix: the program it installs
// opens packages by their file type, and the uninstaller leaves nothing behind.

#include "Dateien.h"
#include "TempOrdner.h"
#include "Treiber.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>

namespace {

using Liste = std::vector<std::wstring>;

constexpr DWORD kWarten = 30000;

std::wstring SpeziellerOrdner(int csidl) {
    wchar_t pfad[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, pfad)) ? pfad : L"";
}

bool SchlüsselExistiert(HKEY wurzel, const std::wstring& schlüssel) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(wurzel, schlüssel.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

DWORD Ausführen(const std::wstring& exe, const std::wstring& argumente) {
    auto prozess = Treiber::Prozess::Starten(exe, argumente);
    DWORD code = 1;
    if (!prozess || !prozess->EndeWarten(kWarten, &code)) return 1;
    return code;
}

}  // namespace

TEST(Installation, PackagesOpenByTheirTypeAndUninstallingLeavesNothing) {
    const char* setup = std::getenv("LADEWERK_SETUP");
    ASSERT_TRUE(setup) << "LADEWERK_SETUP fehlt";
    // The start-menu links would otherwise make Wine write menu entries into the developer's
    // desktop settings, outside the throwaway prefix.
    RegistryTextSetzen(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", L"winemenubuilder.exe", L"");
    ASSERT_EQ(Ausführen(Treiber::UnixPfadNachWindows(setup), L"/S"), 0u);
    const std::wstring programmordner = SpeziellerOrdner(CSIDL_PROGRAM_FILES) + L"\\Ladewerk";
    const std::wstring startmenü = SpeziellerOrdner(CSIDL_COMMON_PROGRAMS) + L"\\Ladewerk";
    EXPECT_TRUE(Existiert(startmenü + L"\\Ladewerk.lnk"));

    TempOrdner ordner;
    const std::wstring paket = ordner.Datei(L"Downloads vom Montag.lwx", "PK");
    SHELLEXECUTEINFOW aufruf{};
    aufruf.cbSize = sizeof aufruf;
    aufruf.fMask = SEE_MASK_NOCLOSEPROCESS;
    aufruf.lpFile = paket.c_str();
    aufruf.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExW(&aufruf) && aufruf.hProcess);
    HWND frage = Treiber::FensterWarten(L"Ladewerk", kWarten, GetProcessId(aufruf.hProcess));
    EXPECT_TRUE(frage && Enthält(Treiber::AlleTexte(frage),
                                 L"Soll die Datei 'Downloads vom Montag.lwx' jetzt verarbeitet werden?"));
    EXPECT_TRUE(frage && Treiber::KnopfKlicken(frage, L"Nein"));
    DWORD code = 1;
    EXPECT_TRUE(Treiber::ProzessEndeWarten(aufruf.hProcess, kWarten, &code));
    EXPECT_EQ(code, 0u);
    if (WaitForSingleObject(aufruf.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(aufruf.hProcess, 1);
    CloseHandle(aufruf.hProcess);
    EXPECT_EQ(Inhalt(paket), "PK");

    // The uninstaller copies itself to the temp folder and returns at once; the copy does the work.
    ASSERT_EQ(Ausführen(programmordner + L"\\deinstallieren.exe", L"/S"), 0u);
    const std::wstring deinstallation = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ladewerk";
    const std::pair<HKEY, std::wstring> schlüssel[] = {
        {HKEY_CLASSES_ROOT, L".lwx"}, {HKEY_CLASSES_ROOT, L"Ladewerk.Paket"}, {HKEY_LOCAL_MACHINE, deinstallation}};
    auto reste = [&] {
        Liste übrig;
        for (const std::wstring& pfad : {programmordner, startmenü})
            if (Existiert(pfad)) übrig.push_back(pfad);
        for (const auto& [wurzel, name] : schlüssel)
            if (SchlüsselExistiert(wurzel, name)) übrig.push_back(name);
        return übrig;
    };
    for (int i = 0; i < 300 && !reste().empty(); ++i) Sleep(100);
    EXPECT_EQ(reste(), Liste{});
}
