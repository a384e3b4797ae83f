#include "Programm.h"
#include "SkriptBenutzer.h"
#include "frmInfos.h"
#include "frmMain.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// What the About box showed while its modal loop ran, seen from a timer inside that loop.
struct Beobachtung {
    bool sichtbar = false;
    bool besitzerGesperrt = false;
    HWND besitzer = nullptr;
    std::wstring titel, version, copyright, website;
};
Beobachtung beobachtet;
WPARAM taste = 0;
bool hängenGeblieben = false;

void CALLBACK Notbremse(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    hängenGeblieben = true;
    frmInfos::Instanz().cmdOk_Click();
}

void CALLBACK ImModalenFenster(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    frmInfos& infos = frmInfos::Instanz();
    const HWND besitzer = GetWindow(infos.Handle(), GW_OWNER);
    beobachtet = {infos.IstSichtbar(),
                  besitzer && !IsWindowEnabled(besitzer),
                  besitzer,
                  infos.Text(),
                  infos.ElementText(frmInfos::lblVersion),
                  infos.ElementText(frmInfos::lblCopyright),
                  infos.ElementText(frmInfos::lblWebsite)};
    PostMessageW(GetFocus() ? GetFocus() : infos.Handle(), WM_KEYDOWN, taste, 0);
    SetTimer(nullptr, 0, 10000, &Notbremse);
}

std::wstring TestOrdner() {
    std::wstring pfad(32768, L'\0');
    pfad.resize(GetModuleFileNameW(nullptr, pfad.data(), static_cast<DWORD>(pfad.size())));
    return pfad.substr(0, pfad.rfind(L'\\'));
}

void Klicken(HWND element) {
    SendMessageW(element, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(element, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

const std::wstring kNeuInstallieren =
    L"' wurde nicht gefunden.\n\nBitte installieren Sie dieses Programm neu, um diese Datei wiederherzustellen und "
    L"die gewünschten Informationen anzuzeigen.";

}  // namespace

TEST(Infos, InfoShowsVersionNoticeAndHostModallyAndEnterOrEscClosesIt) {
    frmMain& haupt = frmMain::Instanz();
    ASSERT_TRUE(haupt.Laden());
    for (WPARAM t : {VK_RETURN, VK_ESCAPE}) {
        taste = t;
        beobachtet = {};
        hängenGeblieben = false;
        SetTimer(nullptr, 0, 10, &ImModalenFenster);
        haupt.cmdInfo_Click();
        EXPECT_FALSE(hängenGeblieben) << "Taste " << t;
        EXPECT_TRUE(beobachtet.sichtbar);
        EXPECT_TRUE(beobachtet.besitzerGesperrt);
        EXPECT_EQ(beobachtet.besitzer, haupt.Handle());
        EXPECT_EQ(beobachtet.titel, L"");
        EXPECT_EQ(beobachtet.version, L"1.10.50");
        EXPECT_EQ(beobachtet.copyright, Programm::Rechtshinweis());
        EXPECT_EQ(beobachtet.website, L"ladewerk.example");
        EXPECT_FALSE(frmInfos::Instanz().IstSichtbar());
        EXPECT_TRUE(IsWindowEnabled(haupt.Handle()));
    }
}

TEST(Infos, MissingFilesAreNamedWithTheirFullPathWhetherClickedOrAskedFor) {
    frmInfos& infos = frmInfos::Instanz();
    ASSERT_TRUE(infos.Laden(nullptr));
    const std::wstring hilfe = TestOrdner() + L"\\hilfe\\index.htm";
    const std::wstring nutzung = TestOrdner() + L"\\nutzung.txt";
    SkriptBenutzer benutzer;
    const std::pair<std::function<void()>, std::wstring> fälle[] = {
        {[&] { Klicken(infos.Element(frmInfos::lblInfodatei)); }, hilfe},
        {[&] { Klicken(infos.Element(frmInfos::lblBedingungenAnzeigenText)); }, nutzung},
        {[] { HilfeAnzeigen(L""); }, hilfe},
        {[] { HilfeAnzeigen(L"\\hilfe\\index.htm"); }, hilfe},
    };
    for (const auto& [auslösen, pfad] : fälle) {
        benutzer.Antworte(IDOK);
        const size_t vorher = benutzer.Fragen().size();
        auslösen();
        ASSERT_EQ(benutzer.Fragen().size(), vorher + 1) << pfad;
        const Interaktion::Meldung& meldung = benutzer.Fragen().back().meldung;
        EXPECT_EQ(meldung.text, L"Die Datei '" + pfad + kNeuInstallieren);
        EXPECT_EQ(meldung.titel, L"Ladewerk");
        EXPECT_EQ(meldung.stil, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    }
}

TEST(Infos, OnlyTheLinkLabelsAreBlueAndShowAHand) {
    frmInfos& infos = frmInfos::Instanz();
    ASSERT_TRUE(infos.Laden(nullptr));
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    for (int id = frmInfos::lblInfodatei; id <= frmInfos::lblWebsiteTitel; ++id) {
        if (id == frmInfos::Image2) continue;
        const HWND element = infos.Element(id);
        ASSERT_TRUE(element) << id;
        const HDC dc = GetDC(element);
        SendMessageW(infos.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(element));
        const bool blau = GetTextColor(dc) == RGB(0, 0, 0xC0);
        EXPECT_EQ(GetBkColor(dc), RGB(0xEE, 0xEE, 0xEE)) << id;
        ReleaseDC(element, dc);

        SetCursor(nullptr);
        SendMessageW(infos.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(element), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        const bool zeigtHand = GetCursor() == hand;
        const bool link = id == frmInfos::lblInfodatei || id == frmInfos::lblWebsite ||
                          id == frmInfos::lblBedingungenAnzeigenText;
        EXPECT_EQ(blau, link) << id;
        EXPECT_EQ(zeigtHand, link) << id;
    }
}
