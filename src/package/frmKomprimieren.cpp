#include "frmKomprimieren.h"

#include "Dateidialog.h"
#include "EMail.h"
#include "Fortschritt.h"
#include "Handles.h"
#include "Interaktion.h"
#include "Optionsdatei.h"
#include "ProgrammEinstellungen.h"
#include "Programm.h"
#include "Shell.h"
#include "Systemfehler.h"
#include "Version.h"
#include "Zwischenordner.h"
#include "modFunktionen.h"
#include "modKompressionErstellen.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

namespace {

using modFunktionen::OrdnerExistiert;

inline void MenüZerstören(HMENU menü) { DestroyMenu(menü); }
constexpr HMENU KeinMenü() { return nullptr; }
using Menü = Handles::Eigener<HMENU, MenüZerstören, KeinMenü>;
inline void AblageFreigeben(HDROP ablage) { DragFinish(ablage); }
constexpr HDROP KeineAblage() { return nullptr; }
using Ablage = Handles::Eigener<HDROP, AblageFreigeben, KeineAblage>;

const wchar_t* const kInfo1 =
    L"FileSharing-Programme speichern teilweise heruntergeladene Inhalte in Dateien. Bei FastTrack-Programmen (z.B. "
    L"Kazaa) haben diese die Datei-Endung \".dat\", bei EMule \".met\" und \".part\" usw... Fügen Sie diese Dateien zur "
    L"unteren Liste hinzu, um diese auf einen anderen Computer zu verschieben. Bei GetRight müssen Sie die Funktion "
    L"\"Exportieren\" wählen, um die gewünschten Downloads als Downloadliste mit der Endung \".lst\", \".grx\" oder "
    L"\".urls\" speichern und diese dann hier hinzuzufügen.";
const wchar_t* const kInfo2 =
    L"Klicken Sie auf \"Erstellen\", um eine Datei zu erstellen, in der alle Dateien komprimiert gespeichert werden. "
    L"Diese Datei können Sie nun weitergeben und so Downloads auf anderen Computern einrichten. Dazu muss dort "
    L"ebenfalls eine aktuelle Kopie dieser Software installiert sein. Der Datei-Typ der Inhalte wird beim späteren "
    L"Öffnen der Datei selbstständig erkannt.";

constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;

// Twips; client area 9555 x 6555. Listed in tab order: "&Datei(en) hinzufügen..." comes first.
const Oberfläche::Steuerelement kLayout[] = {
    {frmKomprimieren::cmdHinzufügen, WC_BUTTONW, L"&Datei(en) hinzufügen...", WS_TABSTOP | BS_PUSHBUTTON, 90, 4275,
     1995, 330},
    {frmKomprimieren::cmdEntfernen, WC_BUTTONW, L"D&atei(en) entfernen", WS_TABSTOP | BS_PUSHBUTTON | WS_DISABLED,
     2115, 4275, 1995, 330},
    {frmKomprimieren::lstDateien, WC_LISTBOXW, L"",
     WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 90, 1845, 9420, 2400,
     WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES},
    {frmKomprimieren::chkDateienLöschen, WC_BUTTONW, L"Dateien nach Abschluss der Aktion löschen (Windows-Papierkorb)",
     WS_TABSTOP | BS_AUTOCHECKBOX, 90, 4725, 5055, 240},
    {frmKomprimieren::chkFileSharingBeenden, WC_BUTTONW, L"FileSharing-Programme vor Beginn der Aktion beenden",
     WS_TABSTOP | BS_AUTOCHECKBOX, 5220, 4725, 4290, 240},
    {frmKomprimieren::cmdErstellen, WC_BUTTONW, L"&Erstellen...", WS_TABSTOP | BS_PUSHBUTTON | WS_DISABLED, 90, 6165,
     1365, 330},
    {frmKomprimieren::cmdBeenden, WC_BUTTONW, L"&Abbrechen", WS_TABSTOP | BS_PUSHBUTTON, 8100, 6165, 1365, 330},
    {frmKomprimieren::lblTitel1, WC_STATICW, L"Erstellen Sie eine Ladewerk-Datei.", kLabel, 90, 45, 9420, 285},
    {frmKomprimieren::lblTitel2, WC_STATICW,
     L"Bitte wählen Sie Dateien, die in die Ladewerk-Datei komprimiert eingefügt werden. Sie können Drag&Drop "
     L"verwenden.",
     kLabel, 90, 315, 9420, 240},
    {frmKomprimieren::imgInfo1, WC_STATICW, L"", SS_ICON, 180, 720, 480, 480},
    {frmKomprimieren::lblInfo1, WC_STATICW, kInfo1, kLabel, 765, 675, 8610, 1050},
    {frmKomprimieren::shaInfo1, WC_STATICW, L"", SS_GRAYFRAME, 90, 585, 9375, 1185},
    {frmKomprimieren::lblAnzahl, WC_STATICW, L"0 Datei(en)", kLabel, 4185, 4275, 5325, 285},
    {frmKomprimieren::imgInfo2, WC_STATICW, L"", SS_ICON, 180, 5175, 480, 480},
    {frmKomprimieren::lblInfo2, WC_STATICW, kInfo2, kLabel, 765, 5130, 8610, 825},
    {frmKomprimieren::shpInfo2, WC_STATICW, L"", SS_GRAYFRAME, 90, 5040, 9375, 1005},
};

const int kInfo2Gruppe[] = {frmKomprimieren::lblInfo2, frmKomprimieren::shpInfo2, frmKomprimieren::imgInfo2};

// Folder and name joined; a drive root already ends in "\".
std::wstring Verbinden(const std::wstring& ordner, const std::wstring& name) {
    return !ordner.empty() && ordner.back() == L'\\' ? ordner + name : ordner + L"\\" + name;
}

int Meldung(HWND besitzer, const std::wstring& text, UINT stil) { return Interaktion::Frage(besitzer, text, stil); }

// The save dialog knows no default extension, so a name typed without one gets ".lwx" here.
// The dialog's own overwrite question asked about the name without it.
bool EndungErgänzen(HWND besitzer, std::wstring& pfad) {
    if (!modFunktionen::DateiendungZurückgeben(pfad).empty()) return true;
    pfad += L".lwx";
    if (!modFunktionen::DateiExistiert(pfad)) return true;
    return Meldung(besitzer,
                   L"Die Datei '" + modFunktionen::DateinameZurückgeben(pfad) +
                       L"' existiert bereits.\nMöchten Sie sie ersetzen?",
                   MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

// Whether the control's text fits its box in that font: check boxes on one line beside the box,
// labels word-wrapped within their height.
bool TextPasst(HWND element, const ::Oberfläche::Schriftart& schrift, int dpi, bool kasten) {
    const Handles::Schrift font(::Oberfläche::SchriftAnlegen(schrift, MulDiv(schrift.punktHundertstel, dpi, 7200)));
    HDC dc = GetDC(element);
    if (!dc || !font) {
        if (dc) ReleaseDC(element, dc);
        return true;
    }
    HGDIOBJ alt = SelectObject(dc, font.Get());
    RECT platz{};
    GetClientRect(element, &platz);
    // The check box itself with its gap takes about 20 pixels at 96 dpi.
    const int breite = platz.right - (kasten ? MulDiv(20, dpi, 96) : 0);
    const std::wstring text = ::Oberfläche::TextLesen(element);
    RECT bedarf{0, 0, breite, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bedarf,
              DT_CALCRECT | DT_NOPREFIX | (kasten ? DT_SINGLELINE : DT_WORDBREAK));
    SelectObject(dc, alt);
    ReleaseDC(element, dc);
    return bedarf.right <= breite && bedarf.bottom <= platz.bottom;
}

LRESULT CALLBACK ListeUnterklasse(HWND hwnd, UINT nachricht, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR daten) {
    if (nachricht == WM_DROPFILES) {
        reinterpret_cast<frmKomprimieren*>(daten)->DragDropDateienEinfügen(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    return DefSubclassProc(hwnd, nachricht, wParam, lParam);
}

}  // namespace

std::wstring StandardDateiname(modZeit::Zeitpunkt zeit) {
    std::wstring datum = modZeit::ZeitText(zeit).substr(0, 10);
    std::replace(datum.begin(), datum.end(), L'.', L'_');
    return L"Downloads-" + datum;
}

frmKomprimieren& frmKomprimieren::Instanz() {
    static frmKomprimieren fenster;
    return fenster;
}

HWND frmKomprimieren::Laden(HWND besitzer) {
    if (Existiert()) return Handle();
    if (!Erzeugen(besitzer, Programm::Titel(), WS_POPUP | WS_CAPTION | WS_SYSMENU, 9555, 6555)) return nullptr;
    ElementeErzeugen(kLayout, std::size(kLayout), {L"Tahoma", 825});
    SchriftSetzen(lblTitel1, {L"Tahoma", 825, true});
    SchriftenEinpassen();
    for (int bild : {imgInfo1, imgInfo2})
        SendMessageW(Element(bild), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_INFORMATION)), 0);
    for (int kasten : {chkDateienLöschen, chkFileSharingBeenden}) CheckDlgButton(Handle(), kasten, BST_CHECKED);
    for (int teil : kInfo2Gruppe) ShowWindow(Element(teil), SW_HIDE);
    SetWindowSubclass(Element(lstDateien), ListeUnterklasse, 0, reinterpret_cast<DWORD_PTR>(this));
    // What the shell opens on the program's behalf belongs to this dialog.
    modFunktionen::ProgrammStartenBesitzerSetzen(Handle());
    return Handle();
}

// The box sizes are fixed; where a system's Tahoma runs wider than the one they were made for,
// the text gets a slightly smaller size instead of being cut off.
void frmKomprimieren::SchriftenEinpassen() {
    HDC bildschirm = GetDC(nullptr);
    const int dpi = bildschirm ? GetDeviceCaps(bildschirm, LOGPIXELSY) : 96;
    if (bildschirm) ReleaseDC(nullptr, bildschirm);
    for (int id : {lblTitel2, lblInfo1, lblInfo2, chkDateienLöschen, chkFileSharingBeenden}) {
        for (int größe : {825, 800, 750, 700, 650}) {
            const ::Oberfläche::Schriftart schrift{L"Tahoma", größe};
            const bool kasten = id == chkDateienLöschen || id == chkFileSharingBeenden;
            if (größe == 650 || TextPasst(Element(id), schrift, dpi, kasten)) {
                if (größe != 825) SchriftSetzen(id, schrift);
                break;
            }
        }
    }
}

// The owner is enabled before the dialog goes, so that the system activates it and not some
// other program's window.
void frmKomprimieren::Verlassen(bool entladen) {
    if (HWND haupt = Hauptfenster()) EnableWindow(haupt, TRUE);
    if (entladen) {
        modFunktionen::ProgrammStartenBesitzerSetzen(nullptr);
        Zerstören();
    }
    else
        ShowWindow(Handle(), SW_HIDE);
}

HWND frmKomprimieren::Hauptfenster() const { return Handle() ? GetWindow(Handle(), GW_OWNER) : nullptr; }

std::vector<std::wstring> frmKomprimieren::Einträge() const {
    HWND liste = Element(lstDateien);
    std::vector<std::wstring> einträge;
    const auto anzahl = SendMessageW(liste, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < anzahl; ++i) {
        std::wstring text(static_cast<size_t>(std::max<LRESULT>(0, SendMessageW(liste, LB_GETTEXTLEN, i, 0))) + 1, L'\0');
        const auto länge = SendMessageW(liste, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(std::max<LRESULT>(0, länge)));
        einträge.push_back(std::move(text));
    }
    return einträge;
}

bool frmKomprimieren::Ausgewählt(int index) const {
    return SendMessageW(Element(lstDateien), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void frmKomprimieren::MenüZeigen(int knopf, const std::vector<std::pair<int, const wchar_t*>>& einträge) {
    const Menü menü(CreatePopupMenu());
    if (!menü) return;
    for (const auto& [id, text] : einträge) AppendMenuW(menü.Get(), MF_STRING, static_cast<UINT_PTR>(id), text);
    RECT knopfRahmen{};
    GetWindowRect(Element(knopf), &knopfRahmen);
    // The chosen item arrives as WM_COMMAND once the menu has closed.
    TrackPopupMenu(menü.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, knopfRahmen.left, knopfRahmen.bottom, 0,
                   Handle(), nullptr);
}

void frmKomprimieren::cmdHinzufügen_Click() {
    MenüZeigen(cmdHinzufügen, {{mnu_suchen_emule, L"EMule/EDonkey hinzufügen..."},
                               {mnu_suchen_winmx, L"WinMX hinzufügen..."},
                               {mnu_suchen_kazaa, L"Kazaa/Grokster hinzufügen..."},
                               {mnu_suchen_selbstsuchen, L"GetRight hinzufügen/Selbst suchen..."}});
}

void frmKomprimieren::cmdErstellen_Click() {
    MenüZeigen(cmdErstellen, {{mnu_Speichern_Speichern, L"Datei speichern..."},
                              {mnu_Speichern_EMail, L"Datei speichern und per EMail senden..."}});
}

void frmKomprimieren::lstDateien_Click() {
    HWND liste = Element(lstDateien);
    const bool gefüllt = SendMessageW(liste, LB_GETCOUNT, 0, 0) > 0;
    EnableWindow(Element(cmdErstellen), gefüllt);
    for (int teil : kInfo2Gruppe) ShowWindow(Element(teil), gefüllt ? SW_SHOW : SW_HIDE);
    if (!gefüllt)
        EnableWindow(Element(cmdEntfernen), FALSE);
    else if (SendMessageW(liste, LB_GETSELCOUNT, 0, 0) > 0)
        EnableWindow(Element(cmdEntfernen), TRUE);
}

void frmKomprimieren::AnzahlZeigen() {
    const auto anzahl = SendMessageW(Element(lstDateien), LB_GETCOUNT, 0, 0);
    ElementTextSetzen(lblAnzahl, std::to_wstring(std::max<LRESULT>(0, anzahl)) + L" Datei(en)");
}

void frmKomprimieren::cmdEntfernen_Click() {
    HWND liste = Element(lstDateien);
    if (SendMessageW(liste, LB_GETCOUNT, 0, 0) <= 0) return;
    for (LRESULT i = 0; i < SendMessageW(liste, LB_GETCOUNT, 0, 0);) {
        if (SendMessageW(liste, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0)
            SendMessageW(liste, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
        else
            ++i;
    }
    lstDateien_Click();
    AnzahlZeigen();
}

void frmKomprimieren::cmdBeenden_Click() { Verlassen(false); }

void frmKomprimieren::SchließenAngefordert() { Verlassen(true); }

// Discovery runs anew for every client entry: a client may have been installed meanwhile.
void frmKomprimieren::mnu_suchen_emule_Click() {
    modProgrammEinstellungen::ProgrammEinstellungenLesen();
    DateienHinzufügen(modProgrammEinstellungen::EMuleTempOrdner);
}

void frmKomprimieren::mnu_suchen_winmx_Click() {
    modProgrammEinstellungen::ProgrammEinstellungenLesen();
    DateienHinzufügen(modProgrammEinstellungen::WinMXDownloadOrdner);
}

void frmKomprimieren::mnu_suchen_kazaa_Click() {
    modProgrammEinstellungen::ProgrammEinstellungenLesen();
    DateienHinzufügen(modProgrammEinstellungen::KazaaDownloadOrdner);
}
void frmKomprimieren::mnu_suchen_selbstsuchen_Click() { DateienHinzufügen(Programm::Ordner()); }

void frmKomprimieren::DateienHinzufügen(const std::wstring& ordner) {
    Dateidialog& dialog = Dialog();
    dialog.Filter = L"Alle Dateien (*.*)|*.*";
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
    dialog.FileName = ordner + L"\\Datei wählen";
    if (ordner.empty()) {
        Meldung(Handle(), L"Der gewünschte Ordner wurde nicht gefunden.\nDie Suche beginnt im Anwendungs-Ordner.",
                MB_OK | MB_ICONINFORMATION);
        dialog.FileName = Programm::Ordner() + L"\\Datei wählen";
    }
    if (!dialog.ShowOpen(Handle())) return;

    std::vector<std::wstring> teile;
    if (dialog.FileName.empty() ||
        !modFunktionen::TextDatensätzeLesen(dialog.FileName, std::wstring(1, L'\0'), 1, -1, teile)) {
        Meldung(Handle(), L"Bitte wählen Sie mindestens eine Datei aus.", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (OrdnerExistiert(teile[0])) {
        if (teile.size() < 2) {
            Meldung(Handle(), L"Diese Eingabe konnte nicht verarbeitet werden.", MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        for (size_t i = 1; i < teile.size(); ++i) teile[i] = Verbinden(teile[0], teile[i]);
    }
    DateienInListeEinfügen(teile);
}

void frmKomprimieren::DateienInListeEinfügen(const std::vector<std::wstring>& pfade) {
    HWND liste = Element(lstDateien);
    std::vector<std::wstring> einträge = Einträge();
    for (const std::wstring& pfad : pfade) {
        if (OrdnerExistiert(pfad)) continue;
        if (std::any_of(einträge.begin(), einträge.end(),
                        [&](const std::wstring& e) { return modFunktionen::TexteGleich(e, pfad); }))
            continue;
        SendMessageW(liste, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pfad.c_str()));
        einträge.push_back(pfad);
    }
    const auto anzahl = SendMessageW(liste, LB_GETCOUNT, 0, 0);
    SendMessageW(liste, LB_SETSEL, FALSE, -1);
    if (anzahl > 0) {
        SendMessageW(liste, LB_SETSEL, TRUE, anzahl - 1);
        SendMessageW(liste, LB_SETCARETINDEX, static_cast<WPARAM>(anzahl - 1), FALSE);
    }
    // Long paths must stay readable: the list scrolls sideways to the longest one.
    int breite = 0;
    if (HDC dc = GetDC(liste)) {
        HGDIOBJ alt = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(liste, WM_GETFONT, 0, 0)));
        for (const std::wstring& e : einträge) {
            SIZE größe{};
            GetTextExtentPoint32W(dc, e.c_str(), static_cast<int>(e.size()), &größe);
            breite = std::max(breite, static_cast<int>(größe.cx));
        }
        SelectObject(dc, alt);
        ReleaseDC(liste, dc);
    }
    SendMessageW(liste, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(breite + Twips(90)), 0);
    lstDateien_Click();
    AnzahlZeigen();
}

void frmKomprimieren::DragDropDateienEinfügen(HDROP ablageHandle) {
    std::vector<std::wstring> pfade;
    {
        const Ablage ablage(ablageHandle);
        if (!ablage) return;
        const UINT anzahl = DragQueryFileW(ablage.Get(), 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < anzahl; ++i) {
            std::wstring pfad(DragQueryFileW(ablage.Get(), i, nullptr, 0) + 1, L'\0');
            pfad.resize(DragQueryFileW(ablage.Get(), i, pfad.data(), static_cast<UINT>(pfad.size())));
            if (!pfad.empty()) pfade.push_back(std::move(pfad));
        }
    }
    EnableWindow(Handle(), FALSE);
    ::Oberfläche::NachrichtenVerarbeiten();
    EnableWindow(Handle(), TRUE);
    DateienInListeEinfügen(pfade);
    UpdateWindow(Handle());
}

void frmKomprimieren::ListeLeerenNach(Speichern ergebnis) {
    if (ergebnis == Speichern::Abgebrochen) return;
    SendMessageW(Element(lstDateien), LB_RESETCONTENT, 0, 0);
    lstDateien_Click();
    AnzahlZeigen();
}

frmKomprimieren::Speichern frmKomprimieren::DateiSpeichern() {
    std::vector<std::wstring> dateien = Einträge();
    if (dateien.empty()) return Speichern::Abgebrochen;
    Dateidialog& dialog = Dialog();
    dialog.Filter = Programm::Titel() + L"-Dateien (*.lwx)|*.lwx";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT | OFN_LONGNAMES;
    dialog.FileName = StandardDateiname(modZeit::AktuelleZeit());
    if (!dialog.ShowSave(Handle()) || !EndungErgänzen(Handle(), dialog.FileName)) return Speichern::Abgebrochen;

    const Zwischenordner ordner;
    if (ordner.Pfad().empty()) {
        Meldung(Handle(), L"Der temporäre Ordner für die Optionsdatei konnte nicht angelegt werden.",
                MB_OK | MB_ICONEXCLAMATION);
        return Speichern::Abgebrochen;
    }
    dateien.push_back(ordner.Pfad() + L"\\" + Optionsdatei::kName);

    ShowWindow(Handle(), SW_HIDE);
    HWND haupt = Hauptfenster();
    if (haupt) EnableWindow(haupt, FALSE);
    if (auto* anzeige = modFortschritt::AktuelleAnzeige())
        anzeige->Öffnen(Programm::Titel() + L" " + Programm::VersionKurz() + L" - Fortschritt", L"0");
    const bool geschrieben =
        modKompression::DateienKomprimieren(dateien, dialog.FileName, IsDlgButtonChecked(Handle(), chkDateienLöschen),
                                            IsDlgButtonChecked(Handle(), chkFileSharingBeenden));
    if (haupt) EnableWindow(haupt, TRUE);
    return geschrieben ? Speichern::Geschrieben : Speichern::Gescheitert;
}

void frmKomprimieren::mnu_Speichern_Speichern_Click() {
    const Speichern ergebnis = DateiSpeichern();
    if (auto* anzeige = modFortschritt::AktuelleAnzeige()) anzeige->Abschließen();
    ListeLeerenNach(ergebnis);
}

// Only a package this run wrote completely is mailed: an older one of the same name is not.
void frmKomprimieren::mnu_Speichern_EMail_Click() {
    const Speichern ergebnis = DateiSpeichern();
    if (ergebnis == Speichern::Geschrieben) EMailSenden();
    if (auto* anzeige = modFortschritt::AktuelleAnzeige()) anzeige->Abschließen();
    ListeLeerenNach(ergebnis);
}

void frmKomprimieren::EMailSenden() {
    // The dialog is hidden by now; the main window owns the boxes and the mail window.
    HWND besitzer = Hauptfenster();
    Meldung(besitzer,
            L"Eine EMail wird nun in Ihrem Standard-EMail-Programm erstellt.\nBitte fügen Sie den Brieftext über die "
            L"Zwischenablage in Ihres Programmes ein, falls dies nicht automatisch geschieht.",
            MB_OK | MB_ICONINFORMATION);
    const std::wstring& titel = Programm::Titel();
    const std::wstring& paket = Dialog().FileName;
    const EMail::Nachricht nachricht{
        L"Downloads",
        L"Eine " + titel + L"-Datei wurde dieser EMail angehängt. Bitte öffnen Sie diese mit " + titel + L" (" +
            std::wstring(LADEWERK_WEBSITE_W) + L"), um die Downloads auf Ihrem Computer einzurichten.",
        paket, modFunktionen::DateinameZurückgeben(paket), L"Geben Sie hier einen Empfänger an"};
    HCURSOR vorher = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const EMail::Ergebnis ergebnis = EMail::Senden(besitzer, nachricht);
    SetCursor(vorher);
    if (ergebnis.übergeben || ergebnis.abgebrochen) return;
    Meldung(besitzer,
            L"Ein Fehler ist beim Erstellen der EMail aufgetreten.\n" + ergebnis.beschreibung + L" " +
                Systemfehler::Nummer(ergebnis.nummer) +
                L".\n\nBitte prüfen Sie, ob ein EMail-Programm (z.B. 'Microsoft Outlook Express') auf Ihrem System "
                L"installiert und eingerichtet ist und dieses als Standardprogramm definiert wurde. EMails, die Sie "
                L"üblicherweise über Ihrem Browser bei Anbietern wie 'GMX' oder 'WEB.DE' abrufen, können mit dieser "
                L"Funktion nicht verschickt werden.\n\nBitte und hängen Sie die erstellte Datei manuell an eine EMail "
                L"an.",
            MB_OK | MB_ICONEXCLAMATION);
}

void frmKomprimieren::Befehl(int id, int code) {
    // The progress window lets events through while a package is written.
    if (modFortschritt::ArbeitLäuft()) return;
    if (id == lstDateien) {
        if (code == LBN_SELCHANGE) lstDateien_Click();
        return;
    }
    // Buttons send BN_CLICKED (0); menu items arrive with code 0 as well.
    if (code != BN_CLICKED) return;
    switch (id) {
    case cmdHinzufügen: cmdHinzufügen_Click(); break;
    case cmdEntfernen: cmdEntfernen_Click(); break;
    case cmdErstellen: cmdErstellen_Click(); break;
    case cmdBeenden: cmdBeenden_Click(); break;
    case mnu_suchen_emule: mnu_suchen_emule_Click(); break;
    case mnu_suchen_winmx: mnu_suchen_winmx_Click(); break;
    case mnu_suchen_kazaa: mnu_suchen_kazaa_Click(); break;
    case mnu_suchen_selbstsuchen: mnu_suchen_selbstsuchen_Click(); break;
    case mnu_Speichern_Speichern: mnu_Speichern_Speichern_Click(); break;
    case mnu_Speichern_EMail: mnu_Speichern_EMail_Click(); break;
    default: break;
    }
}
