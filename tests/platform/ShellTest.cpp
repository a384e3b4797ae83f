// The shell's services under Wine, with the real shell, file associations and Trash.

#include "Shell.h"
#include "SkriptBenutzer.h"
#include "modFunktionen.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

std::wstring Umgebung(const wchar_t* name) {
    std::wstring wert(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    wert.resize(GetEnvironmentVariableW(name, wert.data(), static_cast<DWORD>(wert.size())));
    return wert;
}

}  // namespace

TEST(SpeziellerOrdner, FileSystemFoldersEndWithABackslashOthersAreEmpty) {
    const std::wstring programme = modFunktionen::SpeziellerOrdner(CSIDL_PROGRAM_FILES);
    ASSERT_FALSE(Umgebung(L"ProgramFiles").empty());
    EXPECT_EQ(programme, Umgebung(L"ProgramFiles") + L"\\");
    EXPECT_EQ(modFunktionen::SpeziellerOrdner(38), programme);
    EXPECT_TRUE(modFunktionen::OrdnerExistiert(programme));

    for (const int nummer : {CSIDL_DRIVES, CSIDL_CONTROLS, -1, 0x7FFF})
        EXPECT_EQ(modFunktionen::SpeziellerOrdner(nummer), L"") << nummer;
}
