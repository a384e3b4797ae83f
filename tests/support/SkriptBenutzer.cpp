#include "SkriptBenutzer.h"

#include <gtest/gtest.h>

int SkriptBenutzer::ZahlAntwort(const char* frage, int ohneAntwort) {
    if (antworten_.empty() || !std::holds_alternative<int>(antworten_.front())) {
        ADD_FAILURE() << "Unerwartete " << frage << " ohne Antwort im Skript";
        return ohneAntwort;
    }
    const int knopf = std::get<int>(antworten_.front());
    antworten_.pop_front();
    return knopf;
}

int SkriptBenutzer::MeldungZeigen(HWND besitzer, const Interaktion::Meldung& meldung) {
    fragen_.push_back({L"Meldung", meldung, {}, besitzer});
    return ZahlAntwort("Meldung", IDCANCEL);
}

int SkriptBenutzer::DateiExistiertFragen(HWND besitzer, const std::wstring& beschreibung) {
    fragen_.push_back({L"DateiExistiert", {beschreibung, {}, 0}, {}, besitzer});
    return ZahlAntwort("Frage 'Datei existiert'", 3);
}

std::optional<std::wstring> SkriptBenutzer::DateiWählen(HWND besitzer, const Interaktion::Dateianfrage& anfrage) {
    fragen_.push_back({L"Datei", {}, anfrage, besitzer});
    return PfadAntwort("Unerwarteter Dateidialog ohne Antwort im Skript");
}

std::optional<std::wstring> SkriptBenutzer::OrdnerWählen(HWND besitzer, const std::wstring& text, const std::wstring& start) {
    fragen_.push_back({L"Ordner", {text, {}, 0}, {}, besitzer, {}, start});
    return PfadAntwort("Unerwartete Ordnerwahl ohne Antwort im Skript");
}

std::optional<std::wstring> SkriptBenutzer::PfadAntwort(const char* ohneAntwort) {
    if (antworten_.empty() || std::holds_alternative<int>(antworten_.front())) {
        ADD_FAILURE() << ohneAntwort;
        return std::nullopt;
    }
    auto pfad = std::get<std::optional<std::wstring>>(antworten_.front());
    antworten_.pop_front();
    return pfad;
}

std::optional<std::wstring> SkriptBenutzer::TextEingeben(HWND besitzer, const Interaktion::Texteingabe& anfrage) {
    fragen_.push_back({L"Eingabe", {}, {}, besitzer, anfrage});
    if (eingaben_.empty()) {
        ADD_FAILURE() << "Unerwartete Eingabe ohne Antwort im Skript";
        return std::nullopt;
    }
    auto text = std::move(eingaben_.front());
    eingaben_.pop_front();
    return text;
}
