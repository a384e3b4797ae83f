// Stands in for a client program: records how it was started (its own path and the argument
// text after the program name) in a new file of the folder named by LW_AUFRUFE, then ends.

#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring ordner(MAX_PATH, L'\0');
    ordner.resize(GetEnvironmentVariableW(L"LW_AUFRUFE", ordner.data(), static_cast<DWORD>(ordner.size())));
    if (ordner.empty()) return 1;
    std::wstring selbst(MAX_PATH, L'\0');
    selbst.resize(GetModuleFileNameW(nullptr, selbst.data(), static_cast<DWORD>(selbst.size())));

    // The argument text: the command line after the (possibly quoted) program name.
    const std::wstring zeile = GetCommandLineW();
    size_t ende = zeile[0] == L'"' ? zeile.find(L'"', 1) + 1 : zeile.find(L' ');
    if (ende == std::wstring::npos || ende > zeile.size()) ende = zeile.size();
    const size_t argumente = zeile.find_first_not_of(L' ', ende);
    const std::wstring text = selbst + L"|" + (argumente == std::wstring::npos ? L"" : zeile.substr(argumente));

    const std::wstring datei = ordner + L"\\" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    const std::wstring teil = datei + L".teil";
    HANDLE h = CreateFileW(teil.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    DWORD geschrieben = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &geschrieben, nullptr);
    CloseHandle(h);
    // Renamed only when complete, so the test never reads half a record.
    return MoveFileW(teil.c_str(), datei.c_str()) ? 0 : 1;
}
