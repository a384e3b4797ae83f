#include "Eingabedialog.h"

#include "Fenster.h"

#include <vector>

namespace Eingabedialog {
namespace {

constexpr int kIdAufforderung = 100;
constexpr int kIdEingabe = 101;
constexpr WORD kKlasseKnopf = 0x0080, kKlasseEingabe = 0x0081, kKlasseText = 0x0082;

// The dialog lives only as an in-memory template, so the zip layer needs no resource script of
// its own. DLGTEMPLATE wants WORDs, strings inline and every item on a DWORD boundary.
class Vorlage {
public:
    Vorlage(DWORD stil, short breite, short höhe, const wchar_t* schrift, WORD punkte) {
        Dwort(stil);
        Dwort(0);  // extended style
        anzahlIndex_ = daten_.size();
        daten_.push_back(0);
        for (short wert : {short(0), short(0), breite, höhe}) daten_.push_back(static_cast<WORD>(wert));
        daten_.push_back(0);  // no menu
        daten_.push_back(0);  // standard dialog class
        daten_.push_back(0);  // caption set at WM_INITDIALOG
        daten_.push_back(punkte);
        Text(schrift);
    }

    void Element(WORD klasse, int id, const wchar_t* text, DWORD stil, short x, short y, short b, short h) {
        if (daten_.size() % 2) daten_.push_back(0);
        Dwort(stil | WS_CHILD | WS_VISIBLE);
        Dwort(0);
        for (short wert : {x, y, b, h}) daten_.push_back(static_cast<WORD>(wert));
        daten_.push_back(static_cast<WORD>(id));
        daten_.push_back(0xFFFF);
        daten_.push_back(klasse);
        Text(text);
        daten_.push_back(0);  // no creation data
        ++daten_[anzahlIndex_];
    }

    [[nodiscard]] const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(daten_.data()); }

private:
    void Dwort(DWORD wert) {
        daten_.push_back(LOWORD(wert));
        daten_.push_back(HIWORD(wert));
    }
    void Text(const wchar_t* text) {
        for (; *text; ++text) daten_.push_back(static_cast<WORD>(*text));
        daten_.push_back(0);
    }

    std::vector<WORD> daten_;  // WORD-aligned by the vector's allocation
    size_t anzahlIndex_ = 0;
};

struct Zustand {
    const Interaktion::Texteingabe* anfrage;
    std::wstring ergebnis;
};

INT_PTR CALLBACK Dialogprozedur(HWND dialog, UINT nachricht, WPARAM wParam, LPARAM lParam) {
    switch (nachricht) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const auto& anfrage = *reinterpret_cast<Zustand*>(lParam)->anfrage;
        SetWindowTextW(dialog, anfrage.titel.c_str());
        SetDlgItemTextW(dialog, kIdAufforderung, anfrage.aufforderung.c_str());
        SetDlgItemTextW(dialog, kIdEingabe, anfrage.vorgabe.c_str());
        SendDlgItemMessageW(dialog, kIdEingabe, EM_SETSEL, 0, -1);
        SetFocus(GetDlgItem(dialog, kIdEingabe));
        SetForegroundWindow(dialog);
        return FALSE;  // focus set here
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* zustand = reinterpret_cast<Zustand*>(GetWindowLongPtrW(dialog, DWLP_USER));
            zustand->ergebnis = Oberfläche::TextLesen(GetDlgItem(dialog, kIdEingabe));
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

}  // namespace

std::optional<std::wstring> Zeigen(HWND besitzer, const Interaktion::Texteingabe& anfrage) {
    Vorlage vorlage(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 250, 74,
                    L"MS Shell Dlg", 8);
    vorlage.Element(kKlasseText, kIdAufforderung, L"", SS_LEFT | SS_NOPREFIX, 7, 7, 180, 36);
    vorlage.Element(kKlasseKnopf, IDOK, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 193, 7, 50, 14);
    vorlage.Element(kKlasseKnopf, IDCANCEL, L"Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 193, 25, 50, 14);
    vorlage.Element(kKlasseEingabe, kIdEingabe, L"",
                    WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | (anfrage.verdeckt ? ES_PASSWORD : 0), 7, 52, 236, 14);
    Zustand zustand{&anfrage, {}};
    const INT_PTR antwort = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), vorlage.Get(), besitzer, Dialogprozedur,
                                                    reinterpret_cast<LPARAM>(&zustand));
    if (antwort != IDOK) return std::nullopt;
    return zustand.ergebnis;
}

}  // namespace Eingabedialog
