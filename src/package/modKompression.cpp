#include "modKompression.h"

#include "Fortschritt.h"
#include "Programm.h"
#include "modFunktionen.h"

namespace modKompression {

using modFortschritt::FortschrittAnzeigen;

// So far only the frame of an opening: the progress window, the check for the package and the
// finished window with its countdown. Unpacking and distributing follow; until then the package
// is left exactly as it is.
void DateienDekomprimieren(const std::wstring& paketpfad) {
    modFortschritt::Anzeige* anzeige = modFortschritt::AktuelleAnzeige();
    FortschrittAnzeigen(L"Bereite DeKompression vor...");
    // A command-line run has no visible window yet. It is opened before the package is checked,
    // so that a package that vanished since the start is reported in a window that ends the
    // program when closed, instead of in a hidden one that never does.
    if (anzeige && !anzeige->IstSichtbar()) anzeige->Öffnen(Programm::Titel() + L" - Fortschritt", L"2");
    if (!modFunktionen::DateiExistiert(paketpfad))
        FortschrittAnzeigen(L"Fehler - Datei '" + paketpfad + L"' existiert nicht");
    else
        FortschrittAnzeigen(L"Achtung - Das Entpacken von Paketen ist in dieser Version noch nicht enthalten, die Datei '" +
                            modFunktionen::DateinameZurückgeben(paketpfad) + L"' bleibt unverändert");
    FortschrittAnzeigen(L"Dekompression und Verarbeitung beendet");
    if (anzeige) anzeige->Abschließen();
}

}  // namespace modKompression
