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
        // "Meldung", "Datei", "Ordner" (its prompt in meldung.text), "Eingabe" or
        // "DateiExistiert" (its description in meldung.text)
        std::wstring art;
        Interaktion::Meldung meldung;
        Interaktion::Dateianfrage datei;
        HWND besitzer = nullptr;
        Interaktion::Texteingabe eingabe = {};
        std::wstring startordner = {};  // where the folder picker started
    };

    // Installs itself for the lifetime of the object.
    SkriptBenutzer() { Interaktion::Setzen(this); }
    ~SkriptBenutzer() override { Interaktion::Setzen(nullptr); }
    SkriptBenutzer(const SkriptBenutzer&) = delete;
    SkriptBenutzer& operator=(const SkriptBenutzer&) = delete;

    // Also answers DateiExistiertFragen (1 rename, 2 replace, 3 cancel, 4 skip).
    void Antworte(int knopf) { antworten_.emplace_back(knopf); }
    void WähleDatei(std::optional<std::wstring> pfad) { antworten_.emplace_back(std::move(pfad)); }
    void WähleOrdner(std::optional<std::wstring> pfad) { antworten_.emplace_back(std::move(pfad)); }
    // Input boxes answer from a queue of their own; nothing means Cancel.
    void Tippe(std::optional<std::wstring> text) { eingaben_.push_back(std::move(text)); }

    const std::vector<Frage>& Fragen() const { return fragen_; }
    [[nodiscard]] size_t OffeneAntworten() const { return antworten_.size(); }

    int MeldungZeigen(HWND besitzer, const Interaktion::Meldung& meldung) override;
    int DateiExistiertFragen(HWND besitzer, const std::wstring& beschreibung) override;
    std::optional<std::wstring> DateiWählen(HWND besitzer, const Interaktion::Dateianfrage& anfrage) override;
    std::optional<std::wstring> OrdnerWählen(HWND besitzer, const std::wstring& text, const std::wstring& start) override;
    std::optional<std::wstring> TextEingeben(HWND besitzer, const Interaktion::Texteingabe& anfrage) override;

private:
    int ZahlAntwort(const char* frage, int ohneAntwort);
    std::optional<std::wstring> PfadAntwort(const char* ohneAntwort);

    std::deque<std::variant<int, std::optional<std::wstring>>> antworten_;
    std::vector<Frage> fragen_;
    std::deque<std::optional<std::wstring>> eingaben_;
};
