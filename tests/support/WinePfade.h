#pragma once
// The Unix side of the test prefix: Unix paths of Windows paths, and links made the way a
// user makes them, because Wine cannot make links itself (CreateSymbolicLinkW does nothing).
// Wine shows a Unix symlink to a folder as a folder with the reparse-point attribute.

#include <windows.h>

#include <string>

namespace WinePfade {

// UTF-8; empty when not running under Wine.
inline std::string UnixPfad(const std::wstring& pfad) {
    using Umwandler = char*(CDECL*)(const wchar_t*);
    const auto umwandeln = reinterpret_cast<Umwandler>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = umwandeln ? umwandeln(pfad.c_str()) : nullptr;
    if (!unix) return {};
    std::string ergebnis = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return ergebnis;
}

inline std::wstring Breit(const std::string& text) {
    std::wstring breit(text.size(), L'\0');
    breit.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), breit.data(),
                                     static_cast<int>(breit.size())));
    return breit;
}

// True once the link exists.
inline bool UnixLinkAnlegen(const std::wstring& link, const std::wstring& ziel) {
    const std::string unixLink = UnixPfad(link), unixZiel = UnixPfad(ziel);
    if (unixLink.empty() || unixZiel.empty()) return false;
    std::wstring befehl = L"/bin/ln -s \"" + Breit(unixZiel) + L"\" \"" + Breit(unixLink) + L"\"";
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(L"Z:\\bin\\ln", befehl.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    // Wine does not wait for a Unix process through its handle.
    for (int i = 0; i < 400; ++i, Sleep(50))
        if (GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    return false;
}

}  // namespace WinePfade
