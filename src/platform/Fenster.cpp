#include "Fenster.h"

#include "Fortschritt.h"

#include <algorithm>

namespace Oberfläche {
namespace {

const wchar_t* const kKlasse = L"LadewerkFenster";
std::vector<Fenster*> geladene;

// Resource id of the program icon; a window simply shows the default icon without it.
constexpr int kProgrammSymbol = 1;

HICON Symbol(HINSTANCE modul, int maß) {
    const int seite = GetSystemMetrics(maß);
    return static_cast<HICON>(LoadImageW(modul, MAKEINTRESOURCEW(kProgrammSymbol), IMAGE_ICON, seite, seite, LR_SHARED));
}

ATOM KlasseRegistrieren(WNDPROC prozedur) {
    static ATOM atom = [prozedur] {
        WNDCLASSEXW klasse{};
        klasse.cbSize = sizeof klasse;
        klasse.lpfnWndProc = prozedur;
        klasse.hInstance = GetModuleHandleW(nullptr);
        klasse.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        klasse.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        klasse.lpszClassName = kKlasse;
        klasse.hIcon = Symbol(klasse.hInstance, SM_CXICON);
        // The title bar and taskbar take the drawn 16-pixel image instead of a shrunk 32.
        klasse.hIconSm = Symbol(klasse.hInstance, SM_CXSMICON);
        if (!klasse.hIcon) klasse.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        return RegisterClassExW(&klasse);
    }();
    return atom;
}

UINT BildschirmDpi() {
    HDC dc = GetDC(nullptr);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// Tab, Enter (default button) and Esc (IDCANCEL) for the program's own windows.
bool DialogNachricht(MSG& nachricht) {
    HWND wurzel = GetAncestor(nachricht.hwnd, GA_ROOT);
    if (!wurzel) return false;
    const bool eigenes = std::any_of(geladene.begin(), geladene.end(), [&](Fenster* f) { return f->Handle() == wurzel; });
    return eigenes && IsDialogMessageW(wurzel, &nachricht);
}

void Verteilen(MSG& nachricht) {
    if (DialogNachricht(nachricht)) return;
    TranslateMessage(&nachricht);
    DispatchMessageW(&nachricht);
}

// A window that the dialog's work left open beside it (the progress window with a result)
// stays above the owner that gets activated again, also without a window manager.
void BesitzteNachVorn(HWND besitzer, HWND dialog) {
    for (Fenster* fenster : geladene) {
        HWND h = fenster->Handle();
        if (h == dialog || !fenster->IstSichtbar() || GetWindow(h, GW_OWNER) != besitzer) continue;
        SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetForegroundWindow(h);
    }
}

}  // namespace

Fenster::~Fenster() { Zerstören(); }

void Fenster::Zerstören() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void Fenster::ModalZeigen(HWND besitzer) {
    if (!hwnd_) return;
    if (besitzer) SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(besitzer));
    const bool besitzerFrei = besitzer && !EnableWindow(besitzer, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    if (HWND erstes = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) SetFocus(erstes);
    MSG nachricht;
    while (IstSichtbar()) {
        const BOOL ergebnis = GetMessageW(&nachricht, nullptr, 0, 0);
        if (ergebnis == 0) {
            PostQuitMessage(static_cast<int>(nachricht.wParam));
            break;
        }
        if (ergebnis < 0) break;
        Verteilen(nachricht);
    }
    // Enabled again before anything else gets activated, so the focus returns to the owner.
    if (besitzerFrei && IsWindow(besitzer)) {
        EnableWindow(besitzer, TRUE);
        SetActiveWindow(besitzer);
        BesitzteNachVorn(besitzer, hwnd_);
    }
}

std::wstring TextLesen(HWND fenster) {
    if (!fenster) return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(fenster)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(fenster, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring Fenster::Text() const { return TextLesen(hwnd_); }

void Fenster::TextSetzen(const std::wstring& text) const {
    if (hwnd_) SetWindowTextW(hwnd_, text.c_str());
}

std::wstring Fenster::ElementText(int id) const { return TextLesen(Element(id)); }

void Fenster::ElementTextSetzen(int id, const std::wstring& text) const { SetDlgItemTextW(hwnd_, id, text.c_str()); }

bool Fenster::Erzeugen(HWND besitzer, const std::wstring& titel, DWORD stil, int clientBreite, int clientHöhe,
                       DWORD zusatzExStil) {
    if (hwnd_) return true;
    if (!KlasseRegistrieren(&Fenster::Fensterprozedur)) return false;
    dpi_ = BildschirmDpi();
    const DWORD exStil = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME | zusatzExStil;
    RECT rahmen{0, 0, Twips(clientBreite), Twips(clientHöhe)};
    AdjustWindowRectEx(&rahmen, stil, FALSE, exStil);
    const int breite = rahmen.right - rahmen.left;
    const int höhe = rahmen.bottom - rahmen.top;

    RECT arbeitsfläche{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &arbeitsfläche, 0);
    const int links = arbeitsfläche.left + std::max(0L, (arbeitsfläche.right - arbeitsfläche.left - breite) / 2);
    const int oben = arbeitsfläche.top + std::max(0L, (arbeitsfläche.bottom - arbeitsfläche.top - höhe) / 2);

    CreateWindowExW(exStil, kKlasse, titel.c_str(), stil, links, oben, breite, höhe, besitzer, nullptr,
                    GetModuleHandleW(nullptr), this);
    return hwnd_ != nullptr;
}

int Fenster::Twips(int twips) const { return MulDiv(twips, static_cast<int>(dpi_), 1440); }

HFONT SchriftAnlegen(const Schriftart& schrift, int pixel) {
    LOGFONTW lf{};
    lf.lfHeight = -pixel;
    lf.lfWeight = schrift.fett ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = schrift.unterstrichen;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, schrift.name, LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

HFONT Fenster::Schrift(const Schriftart& schrift) {
    schriften_.emplace_back(SchriftAnlegen(schrift, MulDiv(schrift.punktHundertstel, static_cast<int>(dpi_), 7200)));
    return schriften_.back().Get();
}

void Fenster::ElementeErzeugen(const Steuerelement* tabelle, size_t anzahl, const Schriftart& schrift) {
    HFONT font = Schrift(schrift);
    for (size_t i = 0; i < anzahl; ++i) {
        const Steuerelement& e = tabelle[i];
        HWND element = CreateWindowExW(e.exStil, e.klasse, e.text, WS_CHILD | WS_VISIBLE | e.stil, Twips(e.links),
                                       Twips(e.oben), Twips(e.breite), Twips(e.höhe), hwnd_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(e.id)), GetModuleHandleW(nullptr),
                                       nullptr);
        if (element) SendMessageW(element, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

void Fenster::SchriftSetzen(int id, const Schriftart& schrift) {
    SendMessageW(Element(id), WM_SETFONT, reinterpret_cast<WPARAM>(Schrift(schrift)), TRUE);
}

HWND Fenster::FokussierterKnopf() const {
    HWND fokus = GetFocus();
    if (!fokus || GetParent(fokus) != hwnd_) return nullptr;
    const auto art = SendMessageW(fokus, WM_GETDLGCODE, 0, 0);
    return (art & (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON)) ? fokus : nullptr;
}

LRESULT Fenster::Nachricht(UINT nachricht, WPARAM wParam, LPARAM lParam) {
    switch (nachricht) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && !standardKnopf_ && FokussierterKnopf()) {
            SendMessageW(FokussierterKnopf(), BM_CLICK, 0, 0);
            return 0;
        }
        Befehl(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case DM_GETDEFID:
        return standardKnopf_ ? MAKELRESULT(standardKnopf_, DC_HASDEFID) : 0;
    case WM_CLOSE:
        SchließenAngefordert();
        return 0;
    case WM_QUERYENDSESSION:
        // Ending in the middle of a run leaves partial copies and a half-filled working folder.
        return modFortschritt::ArbeitLäuft() ? FALSE : TRUE;
    case WM_DRAWITEM:
        Zeichnen(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    default:
        return DefWindowProcW(hwnd_, nachricht, wParam, lParam);
    }
}

LRESULT CALLBACK Fenster::Fensterprozedur(HWND hwnd, UINT nachricht, WPARAM wParam, LPARAM lParam) {
    if (nachricht == WM_NCCREATE) {
        auto* selbst = static_cast<Fenster*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        selbst->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(selbst));
        geladene.push_back(selbst);
    }
    auto* selbst = reinterpret_cast<Fenster*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!selbst) return DefWindowProcW(hwnd, nachricht, wParam, lParam);
    if (nachricht == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        selbst->hwnd_ = nullptr;
        selbst->schriften_.clear();
        std::erase(geladene, selbst);
        return DefWindowProcW(hwnd, nachricht, wParam, lParam);
    }
    return selbst->Nachricht(nachricht, wParam, lParam);
}

std::vector<Fenster*> GeladeneFenster() { return geladene; }

void NachrichtenVerarbeiten() {
    MSG nachricht;
    while (PeekMessageW(&nachricht, nullptr, 0, 0, PM_REMOVE)) {
        if (nachricht.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(nachricht.wParam));
            return;
        }
        Verteilen(nachricht);
    }
}

int NachrichtenSchleife() {
    MSG nachricht;
    while (GetMessageW(&nachricht, nullptr, 0, 0) > 0) Verteilen(nachricht);
    return static_cast<int>(nachricht.wParam);
}

}  // namespace Oberfläche
