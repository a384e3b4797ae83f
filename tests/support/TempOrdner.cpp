#include "TempOrdner.h"

#include <shellapi.h>

#include <vector>

TempOrdner::TempOrdner() {
    std::vector<wchar_t> temp(GetTempPathW(0, nullptr) + 1);
    temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    static unsigned zähler = 0;
    pfad_ = std::wstring(temp.begin(), temp.end()) + L"lwtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++zähler);
    CreateDirectoryW(pfad_.c_str(), nullptr);
}

TempOrdner::~TempOrdner() {
    std::wstring doppeltNull = pfad_ + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = doppeltNull.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

std::wstring TempOrdner::Datei(const std::wstring& name, const std::string& inhalt) const {
    const std::wstring pfad = pfad_ + L"\\" + name;
    HANDLE h = CreateFileW(pfad.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        DWORD geschrieben = 0;
        WriteFile(h, inhalt.data(), static_cast<DWORD>(inhalt.size()), &geschrieben, nullptr);
        CloseHandle(h);
    }
    return pfad;
}
