#include "Systemfehler.h"

#include <windows.h>

namespace Systemfehler {

std::wstring Text(unsigned long nummer) {
    wchar_t* puffer = nullptr;
    const DWORD länge = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                           FORMAT_MESSAGE_IGNORE_INSERTS,
                                       nullptr, nummer, 0, reinterpret_cast<wchar_t*>(&puffer), 0, nullptr);
    std::wstring text = länge && puffer ? std::wstring(puffer, länge) : std::wstring();
    if (puffer) LocalFree(puffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    return text.empty() ? L"Unbekannter Fehler" : text;
}

std::wstring Nummer(unsigned long nummer) { return L"(Fehler " + std::to_wstring(nummer) + L")"; }

std::wstring MitNummer(unsigned long nummer) { return Text(nummer) + L" " + Nummer(nummer); }

}  // namespace Systemfehler
