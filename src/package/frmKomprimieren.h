#pragma once
// The create dialog: the user collects job files in a list (file dialogs that start in a
// client's download folder, or drag and drop), then saves them as a package or saves and mails
// it. The dialog is only hidden by its own commands, so the list and the check boxes keep their
// state for the program run; closing it through its frame unloads it.

#include "Fenster.h"
#include "Zeit.h"

#include <shellapi.h>

#include <string>
#include <vector>

class frmKomprimieren final : public Oberfläche::Fenster {
public:
    enum : int {
        cmdBeenden = IDCANCEL,  // Esc
        lblTitel1 = 1201,
        lblTitel2,
        shaInfo1,
        imgInfo1,
        lblInfo1,
        lstDateien,
        cmdHinzufügen,
        cmdEntfernen,
        lblAnzahl,
        chkDateienLöschen,
        chkFileSharingBeenden,
        shpInfo2,
        imgInfo2,
        lblInfo2,
        cmdErstellen,
        mnu_suchen_emule = 1301,
        mnu_suchen_winmx,
        mnu_suchen_kazaa,
        mnu_suchen_selbstsuchen,
        mnu_Speichern_Speichern = 1311,
        mnu_Speichern_EMail,
    };

    static frmKomprimieren& Instanz();

    // Creates the dialog hidden, owned by besitzer, when it is not loaded. ModalZeigen then
    // gives the focus to the first control of the tab order, "&Datei(en) hinzufügen...".
    HWND Laden(HWND besitzer);

    // The list's entries in list order.
    std::vector<std::wstring> Einträge() const;
    [[nodiscard]] bool Ausgewählt(int index) const;

    void cmdHinzufügen_Click();
    void cmdErstellen_Click();
    void cmdEntfernen_Click();
    void lstDateien_Click();
    void cmdBeenden_Click();
    void mnu_suchen_emule_Click();
    void mnu_suchen_winmx_Click();
    void mnu_suchen_kazaa_Click();
    void mnu_suchen_selbstsuchen_Click();
    void mnu_Speichern_Speichern_Click();
    void mnu_Speichern_EMail_Click();

    void DateienHinzufügen(const std::wstring& ordner);
    void DateienInListeEinfügen(const std::vector<std::wstring>& pfade);
    // Takes over the drop handle and frees it.
    void DragDropDateienEinfügen(HDROP ablage);

    // What a save came to: the person cancelled the save dialog, or the run failed, or it
    // wrote the package completely.
    enum class Speichern { Abgebrochen, Gescheitert, Geschrieben };
    Speichern DateiSpeichern();
    void EMailSenden();

private:
    frmKomprimieren() = default;
    void Befehl(int id, int code) override;
    void SchließenAngefordert() override;

    void SchriftenEinpassen();
    void MenüZeigen(int knopf, const std::vector<std::pair<int, const wchar_t*>>& einträge);
    void AnzahlZeigen();
    // After a save the list is done with; a cancelled save dialog leaves it for another try.
    void ListeLeerenNach(Speichern ergebnis);
    void Verlassen(bool entladen);
    [[nodiscard]] HWND Hauptfenster() const;
};

// "Downloads-dd_mm_yyyy" for the day of that moment.
std::wstring StandardDateiname(modZeit::Zeitpunkt zeit);
