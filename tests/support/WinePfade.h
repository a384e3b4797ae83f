#pragma once
// The Unix side of the test prefix: Unix paths of Windows paths, and links made the way a
// user makes them, because Wine cannot make links itself (CreateSymbolicLinkW does nothing).
// Wine shows a Unix symlink to a folder as a folder with the reparse-point attribute.

#include "UnixProgramm.h"

#include <windows.h>

#include <string>

namespace WinePfade {

// UTF-8; empty when not running under Wine.
inline std::string UnixPfad(const std::wstring& pfad) {
    const std::wstring unix = UnixProgramm::Pfad(pfad);
    std::string utf8(unix.size() * 3, '\0');
    utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, unix.data(), static_cast<int>(unix.size()),
                                                        utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

// True once the link exists.
inline bool UnixLinkAnlegen(const std::wstring& link, const std::wstring& ziel) {
    const std::wstring unixLink = UnixProgramm::Pfad(link), unixZiel = UnixProgramm::Pfad(ziel);
    return !unixLink.empty() && !unixZiel.empty() &&
           UnixProgramm::Ausführen({L"ln", L"-s", unixZiel, unixLink}, 20000).code == 0;
}

}  // namespace WinePfade
