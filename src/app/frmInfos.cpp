#include "frmInfos.h"

#include "Handles.h"
#include "Interaktion.h"
#include "Programm.h"
#include "Shell.h"
#include "Version.h"
#include "modFunktionen.h"

#include <commctrl.h>

#include <iterator>

namespace {

const wchar_t* const kHilfeStandard = L"\\hilfe\\index.htm";
const wchar_t* const kNutzung = L"\\nutzung.txt";
const COLORREF kHintergrund = RGB(0xEE, 0xEE, 0xEE);
const COLORREF kLinkFarbe = RGB(0x00, 0x00, 0xC0);

// Twips; client area 5610 x 5400. The picture is 350 x 120 pixels at 96 dpi.
const Oberfläche::Steuerelement kLayout[] = {
    {frmInfos::cmdOk, WC_BUTTONW, L"&Ok", WS_TABSTOP | BS_DEFPUSHBUTTON, 4065, 4890, 1365, 375},
    {frmInfos::lblInfodatei, WC_STATICW, L"Infodatei ansehen", SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 180, 3990, 2000,
     240},
    {frmInfos::lblWebsite, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 2160, 4530, 3000, 240},
    {frmInfos::lblInfo2, WC_STATICW,
     L"Bitte beachten Sie die Rechte der Produzenten der Dateien, die Sie herunterladen und somit kopieren! "
     L"Copyright-Informationen, Dankesworte und Weiteres finden Sie in der Infodatei. Aktualisierungen finden Sie "
     L"im Internet.",
     SS_LEFT | SS_NOPREFIX, 180, 2910, 5250, 960},
    {frmInfos::lblBedingungenAnzeigenText, WC_STATICW, L"Ansehen (Text-Editor)", SS_LEFT | SS_NOPREFIX | SS_NOTIFY,
     2160, 4260, 2000, 240},
    {frmInfos::lblCopyright, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX, 180, 2400, 5250, 420},
    {frmInfos::lblVersion, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX, 2160, 2130, 1500, 240},
    {frmInfos::Image2, WC_STATICW, L"", SS_OWNERDRAW, 180, 180, 5250, 1800},
    {frmInfos::lblVersionTitel, WC_STATICW, L"Version:", SS_LEFT | SS_NOPREFIX, 180, 2130, 1950, 240},
    {frmInfos::lblBedingungen, WC_STATICW, L"Nutzungsbedingungen:", SS_LEFT | SS_NOPREFIX, 180, 4260, 1950, 240},
    {frmInfos::lblWebsiteTitel, WC_STATICW, L"Im Internet:", SS_LEFT | SS_NOPREFIX, 180, 4530, 1950, 240},
};

Handles::GdiObjekt& Hintergrund() {
    static Handles::GdiObjekt pinsel(CreateSolidBrush(kHintergrund));
    return pinsel;
}

void SchriftZeichnen(HDC dc, RECT feld, const wchar_t* text, int höhe, bool fett) {
    const Handles::Schrift schrift(::Oberfläche::SchriftAnlegen({L"Tahoma", 0, fett}, höhe));
    HGDIOBJ alt = SelectObject(dc, schrift.Get());
    DrawTextW(dc, text, -1, &feld, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_BOTTOM);
    SelectObject(dc, alt);
}

}  // namespace

frmInfos& frmInfos::Instanz() {
    static frmInfos fenster;
    return fenster;
}

bool frmInfos::Laden(HWND besitzer) {
    if (Existiert()) return true;
    if (!Erzeugen(besitzer, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU, 5610, 5400)) return false;
    ElementeErzeugen(kLayout, std::size(kLayout), {L"Tahoma", 825});
    for (int link : {lblInfodatei, lblWebsite, lblBedingungenAnzeigenText})
        SchriftSetzen(link, {L"Tahoma", 825, false, true});
    standardKnopf_ = cmdOk;
    return true;
}

bool frmInfos::IstLink(int id) { return id == lblInfodatei || id == lblWebsite || id == lblBedingungenAnzeigenText; }

void frmInfos::cmdOk_Click() { ShowWindow(Handle(), SW_HIDE); }

void frmInfos::lblInfodatei_Click() { HilfeAnzeigen(L""); }

void frmInfos::lblBedingungenAnzeigenText_Click() { HilfeAnzeigen(kNutzung); }

void frmInfos::lblWebsite_Click() { modFunktionen::ProgrammStarten(LADEWERK_WEBSITE_W, L""); }

void HilfeAnzeigen(const std::wstring& relativerPfad) {
    const std::wstring pfad = Programm::Ordner() + (relativerPfad.empty() ? kHilfeStandard : relativerPfad);
    if (modFunktionen::DateiExistiert(pfad)) {
        modFunktionen::ProgrammStarten(pfad, L"");
        return;
    }
    Interaktion::Frage(frmInfos::Instanz().Handle(),
                       L"Die Datei '" + pfad +
                           L"' wurde nicht gefunden.\n\nBitte installieren Sie dieses Programm neu, um diese Datei "
                           L"wiederherzustellen und die gewünschten Informationen anzuzeigen.",
                       MB_OK | MB_ICONEXCLAMATION);
}

LRESULT frmInfos::Nachricht(UINT nachricht, WPARAM wParam, LPARAM lParam) {
    switch (nachricht) {
    case WM_ERASEBKGND: {
        RECT fläche;
        GetClientRect(Handle(), &fläche);
        FillRect(reinterpret_cast<HDC>(wParam), &fläche, static_cast<HBRUSH>(Hintergrund().Get()));
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, kHintergrund);
        SetTextColor(dc, IstLink(GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) ? kLinkFarbe
                                                                                : GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(Hintergrund().Get());
    }
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && IstLink(GetDlgCtrlID(reinterpret_cast<HWND>(wParam)))) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        return Fenster::Nachricht(nachricht, wParam, lParam);
    default:
        return Fenster::Nachricht(nachricht, wParam, lParam);
    }
}

void frmInfos::Befehl(int id, int code) {
    // Buttons report BN_CLICKED, the link labels STN_CLICKED; both are 0.
    if (code != BN_CLICKED) return;
    switch (id) {
    case cmdOk:
    case IDCANCEL: cmdOk_Click(); break;
    case lblInfodatei: lblInfodatei_Click(); break;
    case lblBedingungenAnzeigenText: lblBedingungenAnzeigenText_Click(); break;
    case lblWebsite: lblWebsite_Click(); break;
    default: break;
    }
}

// Image2: the title on a blue band, and two computers with the downloads going from one to the other.
void frmInfos::Zeichnen(const DRAWITEMSTRUCT& zeichnung) {
    if (zeichnung.CtlID != static_cast<UINT>(Image2)) return;
    HDC dc = zeichnung.hDC;
    const ::Oberfläche::Prozentfläche p{zeichnung.rcItem};

    TRIVERTEX ecken[] = {{p.r.left, p.r.top, 0x1400, 0x4800, 0x9000, 0},
                         {p.r.right, p.r.bottom, 0x7800, 0xAA00, 0xE600, 0}};
    GRADIENT_RECT verlauf{0, 1};
    GradientFill(dc, ecken, 2, &verlauf, 1, GRADIENT_FILL_RECT_H);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    SchriftZeichnen(dc, {p.X(5), p.Y(10), p.X(70), p.Y(55)}, LADEWERK_TITEL_W, p.Höhe(30), true);
    SchriftZeichnen(dc, {p.X(5), p.Y(58), p.X(70), p.Y(80)}, L"Downloads mitnehmen", p.Höhe(13), false);

    const Handles::GdiObjekt bildschirm(CreateSolidBrush(RGB(235, 242, 250)));
    const Handles::GdiObjekt rahmen(CreatePen(PS_SOLID, 2, RGB(40, 40, 60)));
    const Handles::GdiObjekt pfeil(CreateSolidBrush(RGB(250, 200, 60)));
    HGDIOBJ alterPinsel = SelectObject(dc, bildschirm.Get());
    HGDIOBJ alterStift = SelectObject(dc, rahmen.Get());
    for (int links : {71, 88}) {
        Rectangle(dc, p.X(links), p.Y(28), p.X(links + 10), p.Y(55));
        Rectangle(dc, p.X(links + 3), p.Y(55), p.X(links + 7), p.Y(63));
        Rectangle(dc, p.X(links - 1), p.Y(63), p.X(links + 11), p.Y(67));
    }
    SelectObject(dc, pfeil.Get());
    const POINT umriss[] = {{p.X(81), p.Y(37)}, {p.X(84), p.Y(37)}, {p.X(84), p.Y(32)}, {p.X(88), p.Y(41)},
                            {p.X(84), p.Y(50)}, {p.X(84), p.Y(45)}, {p.X(81), p.Y(45)}};
    Polygon(dc, umriss, static_cast<int>(std::size(umriss)));
    SelectObject(dc, alterPinsel);
    SelectObject(dc, alterStift);
}
