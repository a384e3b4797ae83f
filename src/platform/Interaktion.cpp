#include "Interaktion.h"

#include "Dateidialog.h"
#include "Programm.h"

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

}  // namespace Interaktion
