#pragma once
// The About box: version, legal notice, a word on the rights of those who made the downloaded
// files, and links to the help pages, the terms of use and the web site.

#include "Fenster.h"

#include <string>

class frmInfos final : public Oberfläche::Fenster {
public:
    enum : int {
        cmdOk = 1201,
        lblInfodatei,
        lblWebsite,
        lblInfo2,
        lblBedingungenAnzeigenText,
        lblCopyright,
        lblVersion,
        Image2,
        lblVersionTitel,
        lblBedingungen,
        lblWebsiteTitel,
    };

    static frmInfos& Instanz();

    // Creates the box hidden, owned by besitzer, when it does not exist yet.
    bool Laden(HWND besitzer);

    void cmdOk_Click();
    void lblInfodatei_Click();
    void lblBedingungenAnzeigenText_Click();
    void lblWebsite_Click();

    [[nodiscard]] static bool IstLink(int id);

private:
    frmInfos() = default;
    LRESULT Nachricht(UINT nachricht, WPARAM wParam, LPARAM lParam) override;
    void Befehl(int id, int code) override;
    void SchließenAngefordert() override { cmdOk_Click(); }
    void Zeichnen(const DRAWITEMSTRUCT& zeichnung) override;
};

// Opens a file below the program's folder with the program registered for it; relativerPfad
// begins with '\', the empty text stands for the help pages. A missing file gets a message.
void HilfeAnzeigen(const std::wstring& relativerPfad);
