#include "Shell.h"

#include "Handles.h"

#include <shlobj.h>

namespace modFunktionen {
namespace {

// Empty for items outside the file system (the computer, the control panel).
std::wstring PidlPfad(LPCITEMIDLIST pidl) {
    for (DWORD länge = MAX_PATH; länge <= 32768; länge *= 2) {
        std::wstring pfad(länge, L'\0');
        if (SHGetPathFromIDListEx(pidl, pfad.data(), länge, GPFIDL_DEFAULT)) return pfad.substr(0, pfad.find(L'\0'));
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    }
    return {};
}

}  // namespace

std::wstring SpeziellerOrdner(int nummer) {
    LPITEMIDLIST roh = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, nummer, &roh) != S_OK) return {};
    const Handles::Pidl pidl(roh);
    const std::wstring pfad = PidlPfad(pidl.Get());
    return pfad.empty() ? pfad : pfad + L"\\";
}

}  // namespace modFunktionen
