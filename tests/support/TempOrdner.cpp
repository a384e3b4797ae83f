#include "TempOrdner.h"

#include "Dateien.h"
#include "Dateisuche.h"
#include "Handles.h"


namespace {

// Deletes a tree with \\?\ paths and leaves links alone. The shell's recursive delete is no
// option: under Wine, a path of MAX_PATH or more inside the tree makes it delete the contents
// of the process's current folder instead. Links are skipped because Wine follows them, even
// RemoveDirectoryW on a link removes its target; links to files carry no mark under Wine, so
// they are told the way the program tells them.
void BaumLöschen(const std::wstring& ordner) {
    WIN32_FIND_DATAW eintrag;
    {
        const Handles::Suche suche(FindFirstFileW((ordner + L"\\*").c_str(), &eintrag));
        if (suche) {
            do {
                const std::wstring name = eintrag.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring pfad = ordner + L"\\" + name;
                const DWORD attribute = eintrag.dwFileAttributes;
                if (attribute & FILE_ATTRIBUTE_REPARSE_POINT) continue;
                if (!(attribute & FILE_ATTRIBUTE_DIRECTORY) && modFunktionen::DateiIstVerknüpfung(pfad)) continue;
                SetFileAttributesW(pfad.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (attribute & FILE_ATTRIBUTE_DIRECTORY)
                    BaumLöschen(pfad);
                else
                    DeleteFileW(pfad.c_str());
            } while (FindNextFileW(suche.Get(), &eintrag));
        }
    }
    RemoveDirectoryW(ordner.c_str());
}

}  // namespace

TempOrdner::TempOrdner() {
    static unsigned zähler = 0;
    pfad_ = BenutzerTemp() + L"lwtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++zähler);
    CreateDirectoryW(pfad_.c_str(), nullptr);
}

TempOrdner::~TempOrdner() { BaumLöschen(L"\\\\?\\" + pfad_); }

std::wstring TempOrdner::Datei(const std::wstring& name, const std::string& inhalt) const {
    Schreiben(pfad_ + L"\\" + name, inhalt);
    return pfad_ + L"\\" + name;
}
