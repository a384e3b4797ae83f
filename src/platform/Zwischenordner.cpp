#include "Zwischenordner.h"

#include "Handles.h"

#include <windows.h>

#include <vector>

Zwischenordner::Zwischenordner() {
    std::vector<wchar_t> temp(GetTempPathW(0, nullptr) + 1);
    temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    if (temp.empty()) return;
    const std::wstring basis = std::wstring(temp.begin(), temp.end()) + L"Ladewerk-" +
                               std::to_wstring(GetCurrentProcessId()) + L"-";
    // A folder left by an earlier process of the same id is not ours: take the next name.
    for (unsigned versuch = 0; versuch < 1000; ++versuch) {
        const std::wstring kandidat = basis + std::to_wstring(GetTickCount64() % 100000) + L"-" + std::to_wstring(versuch);
        if (CreateDirectoryW(kandidat.c_str(), nullptr)) {
            pfad_ = kandidat;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
}

Zwischenordner::~Zwischenordner() {
    if (pfad_.empty()) return;
    WIN32_FIND_DATAW eintrag;
    {
        const Handles::Suche suche(FindFirstFileW((pfad_ + L"\\*").c_str(), &eintrag));
        if (suche) {
            do {
                const DWORD attribute = eintrag.dwFileAttributes;
                if (attribute & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
                const std::wstring pfad = pfad_ + L"\\" + eintrag.cFileName;
                SetFileAttributesW(pfad.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(pfad.c_str());
            } while (FindNextFileW(suche.Get(), &eintrag));
        }
    }
    RemoveDirectoryW(pfad_.c_str());
}
