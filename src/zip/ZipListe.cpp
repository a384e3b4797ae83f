// The listing of the members an extraction wrote: a header and one 80-column line per member,
// in the layout that the progress log shows.
#include "modUnzip.h"

#include <string>

namespace modUnzip {

namespace {

// At least breite wide; a longer text keeps every character.
std::wstring Rechtsbündig(const std::wstring& text, size_t breite) {
    if (text.size() >= breite) return text;
    return std::wstring(breite - text.size(), L' ') + text;
}

std::wstring Zweistellig(int wert, wchar_t füllung) {
    std::wstring text = std::to_wstring(wert % 100);
    return text.size() < 2 ? std::wstring(1, füllung) + text : text;
}

std::wstring Breite(std::wstring zeile, size_t breite = 80) {
    zeile.resize(breite, L' ');
    return zeile;
}

}  // namespace

std::wstring ListenKopf() {
    std::wstring kopf = Breite(L"Filename:");
    kopf.replace(52, 4, L"Size");
    kopf.replace(61, 4, L"Date");
    kopf.replace(70, 4, L"Time");
    return kopf;
}

std::wstring Listenzeile(const std::wstring& name, uint64_t größe, int monat, int tag, int jahr, int stunde, int minute) {
    const std::wstring ziffern = Rechtsbündig(std::to_wstring(größe), 7);
    const size_t mehr = ziffern.size() - 7;
    std::wstring zeile = Breite(name.substr(0, 50), 80 + mehr);
    zeile.replace(50, ziffern.size(), ziffern);
    zeile.replace(59 + mehr, 3, Zweistellig(monat, L'0') + L"/");
    zeile.replace(62 + mehr, 3, Zweistellig(tag, L'0') + L"/");
    zeile.replace(65 + mehr, 2, Zweistellig(jahr, L'0'));
    zeile.replace(69 + mehr, 3, Zweistellig(stunde, L' ') + L":");
    zeile.replace(72 + mehr, 2, Zweistellig(minute, L'0'));
    return zeile;
}

}  // namespace modUnzip
