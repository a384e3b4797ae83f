#include "Interaktion.h"

#include "Dateidialog.h"
#include "Eingabedialog.h"
#include "Programm.h"
#include "Shell.h"

namespace Interaktion {
namespace {

DateiExistiertDialog dateiExistiertDialog = nullptr;

class Win32Benutzer final : public Benutzer {
public:
    int MeldungZeigen(HWND besitzer, const Meldung& meldung) override {
        return MessageBoxW(besitzer, meldung.text.c_str(), meldung.titel.c_str(), meldung.stil);
    }

    int DateiExistiertFragen(HWND besitzer, const std::wstring& beschreibung) override {
        return dateiExistiertDialog ? dateiExistiertDialog(besitzer, beschreibung) : 3;
    }

    std::optional<std::wstring> DateiWählen(HWND besitzer, const Dateianfrage& anfrage) override {
        return Dateidialog::Win32Zeigen(besitzer, anfrage);
    }

    std::optional<std::wstring> OrdnerWählen(HWND besitzer, const std::wstring& text, const std::wstring& start) override {
        return modFunktionen::OrdnerdialogZeigen(besitzer, text, start);
    }

    std::optional<std::wstring> TextEingeben(HWND besitzer, const Texteingabe& anfrage) override {
        return Eingabedialog::Zeigen(besitzer, anfrage);
    }
};

Win32Benutzer echterBenutzer;
Benutzer* aktueller = &echterBenutzer;

}  // namespace

Benutzer& Aktuell() { return *aktueller; }

void DateiExistiertDialogSetzen(DateiExistiertDialog dialog) { dateiExistiertDialog = dialog; }

void Setzen(Benutzer* benutzer) { aktueller = benutzer ? benutzer : &echterBenutzer; }

int Frage(HWND besitzer, const std::wstring& text, UINT stil) {
    return Aktuell().MeldungZeigen(besitzer, {text, Programm::Titel(), stil});
}

std::wstring Eingabe(HWND besitzer, const std::wstring& aufforderung, bool verdeckt) {
    return Aktuell().TextEingeben(besitzer, {aufforderung, Programm::Titel(), L"", verdeckt}).value_or(L"");
}

}  // namespace Interaktion
