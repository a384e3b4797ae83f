#include "Zwischenordner.h"

#include "Handles.h"
#include "modFunktionen.h"

#include <windows.h>

#include <vector>

Zwischenordner::Zwischenordner() {
    const std::wstring temp = modFunktionen::TempOrdner();
    unsigned long fehler = 0;
    if (auto ordner = temp.empty() ? std::nullopt : modFunktionen::NeuerOrdner(temp, fehler)) pfad_ = *ordner;
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
