#include "Anwendungen.h"

#include "Dateien.h"
#include "Treiber.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace modAnwendungen;

namespace {

std::wstring Helfer() { return NebenDemTest(L"lw_FensterHelfer.exe"); }

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
        std::wstring argument, titel;
        bool kazaa, rest;  // closed by the first call (Kazaa family), by the second (WinMX, eMule)
    };
    const std::vector<Fenster> kFenster = {
        {L"KaZaA - [Suche]", L"KaZaA - [Suche]", true, true},
        {L"Grokster - [Traffic]", L"Grokster - [Traffic]", true, true},
        {L"Kazaa Lite - [Suche]", L"Kazaa Lite - [Suche]", false, false},
        {L"(U:1.2 D:3.4) eMule v0.50a", L"(U:1.2 D:3.4) eMule v0.50a", false, true},
        {L"eDonkey2000 - Verbunden", L"eDonkey2000 - Verbunden", false, true},
        {L"WinMX v3.54", L"WinMX v3.54", false, true},
        {L"GetRight", L"GetRight", false, false},
        {L"CabinetWClass|EDonkey2000", L"EDonkey2000", false, false},
        {L"Editor", L"Editor", false, false},
    };
    std::vector<std::wstring> argumente;
    for (const auto& f : kFenster) argumente.push_back(f.argument);
    auto helfer = Treiber::Prozess::Starten(Helfer(), Argumente(argumente));
    ASSERT_TRUE(helfer);
    std::vector<HWND> handles;
    for (const auto& f : kFenster) {
        handles.push_back(Treiber::FensterWarten(f.titel, 10000, helfer->Id()));
        ASSERT_TRUE(handles.back()) << f.titel;
    }
    // A window of this program itself that carries a client's name stays untouched.
    HWND eigenes = CreateWindowExW(0, L"STATIC", L"eMule v-Ordner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    AnwendungenSchließen(false, false, false);
    AnwendungenSchließen(true, false, false);
    for (size_t i = 0; i < kFenster.size(); ++i) {
        if (!kFenster[i].kazaa) continue;
        EXPECT_TRUE(BekamQuit(handles[i], kFenster[i].titel, helfer->Id())) << kFenster[i].titel;
    }
    AnwendungenSchließen(false, true, true);
    for (size_t i = 0; i < kFenster.size(); ++i) {
        if (kFenster[i].kazaa) continue;
        EXPECT_EQ(BekamQuit(handles[i], kFenster[i].titel, helfer->Id()), kFenster[i].rest) << kFenster[i].titel;
    }
    MSG quit;
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    DestroyWindow(eigenes);
    EXPECT_FALSE(FensterSchließen(L"kein solches Fenster"));
}

TEST(AnwendungenSchliessen, AClientWithSeveralMatchingWindowsEnds) {
    auto helfer = Treiber::Prozess::Starten(Helfer(), Argumente({L"Morpheus - [Suche]", L"MORPHEUS - [Suche 2]"}));
    ASSERT_TRUE(helfer);
    ASSERT_TRUE(Treiber::FensterWarten(L"Morpheus - [Suche]", 10000, helfer->Id()));
    ASSERT_TRUE(Treiber::FensterWarten(L"MORPHEUS - [Suche 2]", 10000, helfer->Id()));
    EXPECT_TRUE(FensterSchließen(L"morpheus - ["));
    DWORD code = 0;
    ASSERT_TRUE(helfer->EndeWarten(10000, &code));
    EXPECT_EQ(code, 2u);
}
