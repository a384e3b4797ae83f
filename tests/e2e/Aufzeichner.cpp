// Stands in for the programs that the shell would open a document or address with: appends its
// arguments after the first as one UTF-8 line to the file named by the first, so a test sees
// what the shell was asked to open.
//
//   lw_aufzeichner PROTOKOLL [ARGUMENTE...]

#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    std::wstring zeile;
    for (int i = 2; i < argc; ++i) zeile += (i > 2 ? L" " : L"") + std::wstring(argv[i]);
    zeile += L"\n";
    const int länge = static_cast<int>(zeile.size());
    std::string utf8(WideCharToMultiByte(CP_UTF8, 0, zeile.data(), länge, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, zeile.data(), länge, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    HANDLE datei = CreateFileW(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (datei == INVALID_HANDLE_VALUE) return 1;
    DWORD geschrieben = 0;
    const BOOL ok = WriteFile(datei, utf8.data(), static_cast<DWORD>(utf8.size()), &geschrieben, nullptr);
    CloseHandle(datei);
    return ok ? 0 : 1;
}
