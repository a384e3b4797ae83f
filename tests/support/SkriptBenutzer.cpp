#include "SkriptBenutzer.h"

#include <gtest/gtest.h>

int SkriptBenutzer::MeldungZeigen(HWND besitzer, const Interaktion::Meldung& meldung) {
    fragen_.push_back({L"Meldung", meldung, {}, besitzer});
    if (antworten_.empty() || !std::holds_alternative<int>(antworten_.front())) {
        ADD_FAILURE() << "Unerwartete Meldung ohne Antwort im Skript";
        return IDCANCEL;
    }
    const int knopf = std::get<int>(antworten_.front());
    antworten_.pop_front();
    return knopf;
}

std::optional<std::wstring> SkriptBenutzer::DateiWählen(HWND besitzer, const Interaktion::Dateianfrage& anfrage) {
    fragen_.push_back({L"Datei", {}, anfrage, besitzer});
    return PfadAntwort("Unerwarteter Dateidialog ohne Antwort im Skript");
}

std::optional<std::wstring> SkriptBenutzer::OrdnerWählen(HWND besitzer, const std::wstring& text) {
    fragen_.push_back({L"Ordner", {text, {}, 0}, {}, besitzer});
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
