#pragma once
// What the sending side's tests share: a progress log that records instead of showing, the
// package read back by Info-ZIP and python on the Linux side, and the run's Trash.

#include "Fortschritt.h"

#include <optional>
#include <string>
#include <vector>

class ProtokollAnzeige final : public modFortschritt::Anzeige {
public:
    ProtokollAnzeige() { modFortschritt::AnzeigeSetzen(this); }
    ~ProtokollAnzeige() override { modFortschritt::AnzeigeSetzen(nullptr); }
    ProtokollAnzeige(const ProtokollAnzeige&) = delete;
    ProtokollAnzeige& operator=(const ProtokollAnzeige&) = delete;

    void ZeileAnhängen(const std::wstring& zeile) override { zeilen.push_back(zeile); }
    bool IstSichtbar() override { return sichtbar; }
    void Öffnen(const std::wstring& titel, const std::wstring& modus) override {
        geöffnet.push_back(titel + L"|" + modus);
        zeilen.clear();
        sichtbar = true;
    }
    void Abschließen() override { ++abgeschlossen; }
    void FehlerAbschließen() override { ++fehlerAbgeschlossen; }

    std::vector<std::wstring> zeilen;
    std::vector<std::wstring> geöffnet;
    int abgeschlossen = 0;
    int fehlerAbgeschlossen = 0;
    bool sichtbar = false;
};

struct Paketprüfung {
    int unzipCode = -1;                // `unzip -tq`
    std::vector<std::wstring> namen;   // python zipfile, in archive order
    bool alleDeflate = false;
    std::string optionen;              // bytes of optionen.opt
};
// Nothing when the Linux side could not be asked.
std::optional<Paketprüfung> PaketPrüfen(const std::wstring& paket);

// Names in the Trash of this test run ($XDG_DATA_HOME/Trash/files).
std::vector<std::wstring> ImPapierkorb();

std::string DateiInhalt(const std::wstring& pfad);
bool Existiert(const std::wstring& pfad);
// The Linux environment variable as a Windows path on drive Z:.
std::wstring UnixOrdner(const wchar_t* variable);
