#include "Fortschritt.h"

namespace modFortschritt {
namespace {
Anzeige* anzeige = nullptr;
}

void AnzeigeSetzen(Anzeige* neue) { anzeige = neue; }

Anzeige* AktuelleAnzeige() { return anzeige; }

void FortschrittAnzeigen(const std::wstring& zeile) {
    if (anzeige) anzeige->ZeileAnhängen(zeile);
}

}  // namespace modFortschritt
