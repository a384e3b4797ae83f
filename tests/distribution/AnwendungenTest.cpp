#include "Anwendungen.h"

#include "Dateien.h"
#include "TempOrdner.h"
#include "Treiber.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace modAnwendungen;

namespace {

// The window helper under the program file name of a client or of any other program.
std::wstring Helfer(const TempOrdner& ordner, const std::wstring& programm) {
    const std::wstring kopie = ordner.Pfad() + L"\\" + programm;
    CopyFileW(HelferProgramm().c_str(), kopie.c_str(), TRUE);
    return kopie;
}

std::wstring Argumente(const std::vector<std::wstring>& titel) {
    std::wstring zeile;
    for (const auto& t : titel) zeile += L" \"" + t + L"\"";
    return zeile;
}

// True when the window ended by WM_QUIT, false when it answered a message posted after it.
bool BekamQuit(HWND fenster, const std::wstring& titel, DWORD prozess) {
    PostMessageW(fenster, WM_APP, 0, 0);
    for (int i = 0; i < 500; ++i) {
        if (!IsWindow(fenster)) return true;
        if (Treiber::FensterText(fenster) == titel + L" (lebt)") return false;
        Sleep(10);
    }
    ADD_FAILURE() << titel << L" (Prozess " << prozess << L") antwortet nicht";
    return false;
}

}  // namespace

TEST(AnwendungenSchliessen, OnlyTheFlaggedClientsWindowsGetTheQuitMessage) {
    struct Fenster {
        std::wstring programm, titel;
        bool kazaa, rest;  // closed by the first call (Kazaa family), by the second (WinMX, eMule)
    };
    const std::vector<Fenster> kFenster = {
        {L"Kazaa.exe", L"KaZaA - [Suche]", true, true},
        {L"grokster.exe", L"Grokster - [Traffic]", true, true},
        {L"kazaalite.exe", L"Kazaa Lite - [Suche]", false, false},
        {L"emule.exe", L"(U:1.2 D:3.4) eMule v0.50a", false, true},
        {L"eDonkey2000.exe", L"eDonkey2000 - Verbunden", false, true},
        {L"WinMX.exe", L"WinMX v3.54", false, true},
        {L"getright.exe", L"GetRight", false, false},
        // Titles that name a client in programs that are none, or in a client of another family.
        {L"notepad.exe", L"EDonkey2000 Anleitung.txt - Editor", false, false},
        {L"firefox.exe", L"eMule v0.50a - Mozilla Firefox", false, false},
        {L"explorer.exe", L"Kazaa - [Eigene Dateien]", false, false},
        {L"emule.exe", L"Morpheus - [Suche]", false, false},
    };
    TempOrdner programme;
    std::map<std::wstring, std::vector<std::wstring>> titelJeProgramm;
    for (const auto& f : kFenster) titelJeProgramm[f.programm].push_back(f.titel);
    std::map<std::wstring, Treiber::Prozess> helfer;
    for (const auto& [programm, titel] : titelJeProgramm) {
        auto prozess = Treiber::Prozess::Starten(Helfer(programme, programm), Argumente(titel));
        ASSERT_TRUE(prozess) << programm;
        helfer.emplace(programm, std::move(*prozess));
    }
    std::vector<HWND> handles;
    for (const auto& f : kFenster) {
        handles.push_back(Treiber::FensterWarten(f.titel, 10000, helfer.at(f.programm).Id()));
        ASSERT_TRUE(handles.back()) << f.titel;
    }
    // A window of this program itself that carries a client's name stays untouched.
    HWND eigenes = CreateWindowExW(0, L"STATIC", L"eMule v-Ordner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    AnwendungenSchließen(false, false, false);
    AnwendungenSchließen(true, false, false);
    for (size_t i = 0; i < kFenster.size(); ++i) {
        if (!kFenster[i].kazaa) continue;
        EXPECT_TRUE(BekamQuit(handles[i], kFenster[i].titel, helfer.at(kFenster[i].programm).Id())) << kFenster[i].titel;
    }
    AnwendungenSchließen(false, true, true);
    for (size_t i = 0; i < kFenster.size(); ++i) {
        if (kFenster[i].kazaa) continue;
        EXPECT_EQ(BekamQuit(handles[i], kFenster[i].titel, helfer.at(kFenster[i].programm).Id()), kFenster[i].rest) << kFenster[i].titel;
    }
    MSG quit;
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    DestroyWindow(eigenes);
    EXPECT_FALSE(FensterSchließen(L"kein solches Fenster", {L"Kazaa.exe"}));
}

TEST(AnwendungenSchliessen, AClientWithSeveralMatchingWindowsEnds) {
    TempOrdner programme;
    auto helfer = Treiber::Prozess::Starten(Helfer(programme, L"Morpheus.exe"),
                                            Argumente({L"Morpheus - [Suche]", L"MORPHEUS - [Suche 2]"}));
    ASSERT_TRUE(helfer);
    ASSERT_TRUE(Treiber::FensterWarten(L"Morpheus - [Suche]", 10000, helfer->Id()));
    ASSERT_TRUE(Treiber::FensterWarten(L"MORPHEUS - [Suche 2]", 10000, helfer->Id()));
    EXPECT_TRUE(FensterSchließen(L"morpheus - [", {L"morpheus.exe"}));
    DWORD code = 0;
    ASSERT_TRUE(helfer->EndeWarten(10000, &code));
    EXPECT_EQ(code, 2u);
}
