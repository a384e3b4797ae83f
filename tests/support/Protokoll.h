#pragma once
// Records the progress log's lines while it lives, in place of the progress window.

#include "Fortschritt.h"

#include <string>
#include <vector>

class Protokoll final : public modFortschritt::Anzeige {
public:
    Protokoll() { modFortschritt::AnzeigeSetzen(this); }
    ~Protokoll() override { modFortschritt::AnzeigeSetzen(nullptr); }
    Protokoll(const Protokoll&) = delete;
    Protokoll& operator=(const Protokoll&) = delete;

    const std::vector<std::wstring>& Zeilen() const { return zeilen_; }

    void ZeileAnhängen(const std::wstring& zeile) override { zeilen_.push_back(zeile); }
    bool IstSichtbar() override { return true; }
    void Öffnen(const std::wstring&, const std::wstring&) override {}
    void Abschließen() override {}
    void FehlerAbschließen() override {}

private:
    std::vector<std::wstring> zeilen_;
};
