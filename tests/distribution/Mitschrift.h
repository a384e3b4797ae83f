#pragma once
// Stands in for the progress window while a test runs and keeps every logged line.

#include "Fortschritt.h"

#include <string>
#include <vector>

class Mitschrift final : public modFortschritt::Anzeige {
public:
    Mitschrift() { modFortschritt::AnzeigeSetzen(this); }
    ~Mitschrift() override { modFortschritt::AnzeigeSetzen(nullptr); }
    Mitschrift(const Mitschrift&) = delete;
    Mitschrift& operator=(const Mitschrift&) = delete;

    std::vector<std::wstring> zeilen;

    void ZeileAnhängen(const std::wstring& zeile) override { zeilen.push_back(zeile); }
    bool IstSichtbar() override { return true; }
    void Öffnen(const std::wstring&, const std::wstring&) override {}
    void Abschließen() override {}
    void FehlerAbschließen() override {}
};
