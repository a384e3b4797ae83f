#pragma once
// The tests' person at the interaction seam: answers from a script, in order, and records every
// question so a test can check text, title, buttons and icon.

#include "Interaktion.h"

#include <deque>
#include <optional>
#include <string>
#include <variant>
#include <vector>

class SkriptBenutzer final : public Interaktion::Benutzer {
public:
    struct Frage {
        std::wstring art;  // "Meldung", "Datei" or "DateiExistiert" (its description in meldung.text)
        Interaktion::Meldung meldung;
        Interaktion::Dateianfrage datei;
        HWND besitzer = nullptr;
    };

    // Installs itself for the lifetime of the object.
    SkriptBenutzer() { Interaktion::Setzen(this); }
    ~SkriptBenutzer() override { Interaktion::Setzen(nullptr); }
    SkriptBenutzer(const SkriptBenutzer&) = delete;
    SkriptBenutzer& operator=(const SkriptBenutzer&) = delete;

    // Also answers DateiExistiertFragen (1 rename, 2 replace, 3 cancel, 4 skip).
    void Antworte(int knopf) { antworten_.emplace_back(knopf); }
    void WähleDatei(std::optional<std::wstring> pfad) { antworten_.emplace_back(std::move(pfad)); }

    const std::vector<Frage>& Fragen() const { return fragen_; }
    [[nodiscard]] size_t OffeneAntworten() const { return antworten_.size(); }

    int MeldungZeigen(HWND besitzer, const Interaktion::Meldung& meldung) override;
    int DateiExistiertFragen(HWND besitzer, const std::wstring& beschreibung) override;
    std::optional<std::wstring> DateiWählen(HWND besitzer, const Interaktion::Dateianfrage& anfrage) override;

private:
    int ZahlAntwort(const char* frage, int ohneAntwort);

    std::deque<std::variant<int, std::optional<std::wstring>>> antworten_;
    std::vector<Frage> fragen_;
};
