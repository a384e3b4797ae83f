#pragma once
// Records the progress log's lines while it lives, in place of the progress window.

#include "Fortschritt.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class Protokoll final : public modFortschritt::Anzeige {
public:
    // Not sichtbar: the window of a command-line run, before the operation opens it.
    explicit Protokoll(bool sichtbar = true) : sichtbar_(sichtbar) { modFortschritt::AnzeigeSetzen(this); }
    ~Protokoll() override { modFortschritt::AnzeigeSetzen(nullptr); }
    Protokoll(const Protokoll&) = delete;
    Protokoll& operator=(const Protokoll&) = delete;

    const std::vector<std::wstring>& Zeilen() const { return zeilen_; }
    // "Öffnen {Titel} {Modus}", "Abschließen" and "FehlerAbschließen", in the order they came.
    const std::vector<std::wstring>& Ereignisse() const { return ereignisse_; }

    void ZeileAnhängen(const std::wstring& zeile) override { zeilen_.push_back(zeile); }
    bool IstSichtbar() override { return sichtbar_; }
    // Like the window: opening empties the log.
    void Öffnen(const std::wstring& titel, const std::wstring& modus) override {
        zeilen_.clear();
        sichtbar_ = true;
        ereignisse_.push_back(L"Öffnen " + titel + L" " + modus);
    }
    void Abschließen() override { ereignisse_.push_back(L"Abschließen"); }
    void FehlerAbschließen() override { ereignisse_.push_back(L"FehlerAbschließen"); }
    // Every state of the bar as (done, total); (0, 0) hides it.
    void BytesZeigen(uint64_t erledigt, uint64_t gesamt) override { bytes.emplace_back(erledigt, gesamt); }
    std::vector<std::pair<uint64_t, uint64_t>> bytes;

private:
    bool sichtbar_;
    std::vector<std::wstring> zeilen_;
    std::vector<std::wstring> ereignisse_;
};
