#include "frmMain.h"

#include "Dateidialog.h"
#include "Fortschritt.h"
#include "Main.h"
#include "Programm.h"
#include "Version.h"
#include "frmFortschritt.h"
#include "frmInfos.h"
#include "frmKomprimieren.h"
#include "modKompression.h"

#include <commctrl.h>
#include <commdlg.h>

namespace {

// Twips; client area 8160 x 3960. The two commands stand left of the texts that explain them.
const Oberfläche::Steuerelement kLayout[] = {
    {frmMain::Image2, WC_STATICW, L"", SS_OWNERDRAW, 240, 240, 960, 960},
    {frmMain::lblTitel, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX, 1440, 240, 6480, 420},
    {frmMain::lblBeschreibung, WC_STATICW, L"Bitte wählen Sie die gewünschte Funktion aus:", SS_LEFT | SS_NOPREFIX,
     1440, 720, 6480, 285},
    {frmMain::cmdÖffnen, WC_BUTTONW, L"Datei öffnen...", WS_TABSTOP | BS_PUSHBUTTON, 1440, 1200, 1800, 375},
    {frmMain::lblÖffnen, WC_STATICW,
     L"Öffnen Sie eine mit diesem Programm erstellte Datei. Dabei werden die enthaltenen Dateien in die passenden "
     L"Ordner entpackt und FileSharing- Programme neu gestartet.",
     SS_LEFT | SS_NOPREFIX, 3420, 1200, 4500, 900},
    {frmMain::cmdErstellen, WC_BUTTONW, L"Datei erstellen...", WS_TABSTOP | BS_PUSHBUTTON, 1440, 2220, 1800, 375},
    {frmMain::lblErstellen, WC_STATICW,
     L"Erstellen Sie eine Datei, in der Ihre Downloads zusammengefasst werden und portieren Sie diese zum Download "
     L"auf einen anderen Computer.",
     SS_LEFT | SS_NOPREFIX, 3420, 2220, 4500, 900},
    {frmMain::linTrenner, WC_STATICW, L"", SS_ETCHEDHORZ, 240, 3255, 7680, 30},
    {frmMain::cmdInfo, WC_BUTTONW, L"Info...", WS_TABSTOP | BS_PUSHBUTTON, 240, 3375, 1545, 375},
    {frmMain::cmdEnde, WC_BUTTONW, L"Beenden", WS_TABSTOP | BS_PUSHBUTTON, 6375, 3375, 1545, 375},
};

// Tells a second start which of the program's windows takes its package.
const wchar_t* const kHauptfensterMarke = L"Ladewerk.Hauptfenster";

BOOL CALLBACK HauptfensterSuchen(HWND fenster, LPARAM gefunden) {
    DWORD prozess = 0;
    GetWindowThreadProcessId(fenster, &prozess);
    if (prozess == GetCurrentProcessId() || !GetPropW(fenster, kHauptfensterMarke)) return TRUE;
    *reinterpret_cast<HWND*>(gefunden) = fenster;
    return FALSE;
}

}  // namespace

HWND frmMain::Finden() {
    HWND gefunden = nullptr;
    EnumWindows(HauptfensterSuchen, reinterpret_cast<LPARAM>(&gefunden));
    return gefunden;
}

frmMain& frmMain::Instanz() {
    static frmMain fenster;
    return fenster;
}

HWND frmMain::Laden() {
    if (!Existiert() && Erzeugen(nullptr, Programm::Titel(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                 8160, 3960)) {
        ElementeErzeugen(kLayout, std::size(kLayout), {L"Tahoma", 825});
        SchriftSetzen(lblTitel, {L"Tahoma", 1200, true});
        SetPropW(Handle(), kHauptfensterMarke, reinterpret_cast<HANDLE>(1));
        // Started elevated (the installer's last page does that), the window would otherwise
        // never hear of a package double-clicked by the same user without elevation.
        ChangeWindowMessageFilterEx(Handle(), WM_COPYDATA, MSGFLT_ALLOW, nullptr);
    }
    return Handle();
}

void frmMain::cmdÖffnen_Click() {
    Dateidialog& dialog = Dialog();
    dialog.Filter = Programm::Titel() + L"-Dateien (*.lwx)|*.lwx";
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    dialog.FileName.clear();
    if (!dialog.ShowOpen(Handle())) return;

    PaketÖffnen(dialog.FileName, L"1");
}

void frmMain::PaketÖffnen(const std::wstring& pfad, const std::wstring& modus) {
    frmFortschritt& fortschritt = frmFortschritt::Instanz();
    const bool warFrei = !EnableWindow(Handle(), FALSE);
    fortschritt.Öffnen(Programm::Titel() + L" - Fortschritt", modus);
    modKompression::DateienDekomprimieren(pfad);
    if (warFrei) EnableWindow(Handle(), TRUE);
}

void frmMain::PaketÜbernehmen(const std::wstring& pfad) {
    // A disabled main window means a dialog or question of its own is open: a second one on top
    // would run the two flows into each other.
    if (modFortschritt::ArbeitLäuft() || modMain::FrageOffen() || !IsWindowEnabled(Handle())) {
        modMain::BeschäftigtMelden(pfad);
        return;
    }
    // The countdown of an earlier result would otherwise end the program under the question.
    frmFortschritt& fortschritt = frmFortschritt::Instanz();
    const bool zählte = fortschritt.TimerAktiv();
    fortschritt.TimerAktivieren(false);
    if (modMain::VerarbeitenFragen(pfad, IstSichtbar() ? Handle() : nullptr)) {
        PaketÖffnen(pfad, IstSichtbar() ? L"1" : L"2");
    } else if (zählte) {
        fortschritt.Countdownstart.clear();
        fortschritt.TimerAktivieren(true);
    }
}

void frmMain::cmdErstellen_Click() {
    frmKomprimieren& dialog = frmKomprimieren::Instanz();
    if (!dialog.Laden(Handle())) return;
    dialog.TextSetzen(Programm::Titel() + L" " + Programm::VersionKurz() + L" - Datei erstellen");
    dialog.ModalZeigen(Handle());
}

void frmMain::cmdInfo_Click() {
    frmInfos& infos = frmInfos::Instanz();
    if (!infos.Laden(Handle())) return;
    infos.ElementTextSetzen(frmInfos::lblVersion, Programm::VersionLang());
    infos.ElementTextSetzen(frmInfos::lblCopyright, Programm::Rechtshinweis());
    infos.ElementTextSetzen(frmInfos::lblWebsite, LADEWERK_WEBSITE_HOST_W);
    infos.ModalZeigen(Handle());
}

void frmMain::cmdEnde_Click() { SendMessageW(Handle(), WM_CLOSE, 0, 0); }

void frmMain::Form_QueryUnload() {
    ShowWindow(Handle(), SW_HIDE);
    modMain::ProgrammBeenden();
}

LRESULT frmMain::Nachricht(UINT nachricht, WPARAM wParam, LPARAM lParam) {
    if (nachricht == WM_ENDSESSION && wParam) {
        Form_QueryUnload();
        return 0;
    }
    if (nachricht == WM_COPYDATA) {
        // The sender waits for the answer, so the package is only taken here and asked about
        // on its own turn.
        auto pfad = modMain::ÜbergabeLesen(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        if (!pfad) return FALSE;
        übergeben_.push_back(std::move(*pfad));
        PostMessageW(Handle(), modMain::kÜbergabeAusführen, 0, 0);
        return TRUE;
    }
    if (nachricht == modMain::kÜbergabeAusführen) {
        if (übergeben_.empty()) return 0;
        const std::wstring pfad = std::move(übergeben_.front());
        übergeben_.pop_front();
        if (pfad.empty())
            modMain::NachVorn(Handle());
        else
            PaketÜbernehmen(pfad);
        return 0;
    }
    return Fenster::Nachricht(nachricht, wParam, lParam);
}

void frmMain::Befehl(int id, int code) {
    // The window is disabled meanwhile; this also holds for a click that comes as a message.
    if (code != BN_CLICKED || modFortschritt::ArbeitLäuft()) return;
    switch (id) {
    case cmdÖffnen: cmdÖffnen_Click(); break;
    case cmdErstellen: cmdErstellen_Click(); break;
    case cmdEnde: cmdEnde_Click(); break;
    case cmdInfo: cmdInfo_Click(); break;
    default: break;
    }
}

// Image2: a parcel with an arrow, the picture of carrying downloads elsewhere.
void frmMain::Zeichnen(const DRAWITEMSTRUCT& zeichnung) {
    if (zeichnung.CtlID != static_cast<UINT>(Image2)) return;
    HDC dc = zeichnung.hDC;
    const RECT& r = zeichnung.rcItem;
    const int b = r.right - r.left, h = r.bottom - r.top;
    auto x = [&](int anteil) { return r.left + MulDiv(b, anteil, 100); };
    auto y = [&](int anteil) { return r.top + MulDiv(h, anteil, 100); };

    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const Handles::GdiObjekt paket(CreateSolidBrush(RGB(196, 150, 90)));
    const Handles::GdiObjekt paketRand(CreatePen(PS_SOLID, 1, RGB(120, 84, 40)));
    const Handles::GdiObjekt pfeil(CreateSolidBrush(RGB(30, 90, 170)));
    const Handles::GdiObjekt pfeilRand(CreatePen(PS_SOLID, 1, RGB(20, 60, 120)));
    HGDIOBJ alterPinsel = SelectObject(dc, paket.Get());
    HGDIOBJ alterStift = SelectObject(dc, paketRand.Get());
    Rectangle(dc, x(10), y(40), x(90), y(95));
    MoveToEx(dc, x(10), y(55), nullptr);
    LineTo(dc, x(90), y(55));

    SelectObject(dc, pfeil.Get());
    SelectObject(dc, pfeilRand.Get());
    const POINT umriss[] = {{x(40), y(5)}, {x(60), y(5)}, {x(60), y(40)}, {x(75), y(40)},
                            {x(50), y(70)}, {x(25), y(40)}, {x(40), y(40)}};
    Polygon(dc, umriss, static_cast<int>(std::size(umriss)));

    SelectObject(dc, alterPinsel);
    SelectObject(dc, alterStift);
}
