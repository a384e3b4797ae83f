#include "Programm.h"

#include "Version.h"

#include <windows.h>

namespace Programm {

std::vector<std::wstring> UngültigeZeichen;

namespace {
Prozessende prozessende = nullptr;
}

void ProzessendeSetzen(Prozessende ende) { prozessende = ende; }

void ProzessBeenden() {
    if (prozessende)
        prozessende();
    else
        ExitProcess(0);
}

const std::wstring& Titel() {
    static const std::wstring titel = LADEWERK_TITEL_W;
    return titel;
}

int Major() { return LADEWERK_MAJOR; }
int Minor() { return LADEWERK_MINOR; }
int Revision() { return LADEWERK_REVISION; }

std::wstring VersionKurz() { return std::to_wstring(Major()) + L"." + std::to_wstring(Minor()); }

std::wstring VersionLang() { return VersionKurz() + L"." + std::to_wstring(Revision()); }

std::wstring Rechtshinweis() { return LADEWERK_RECHTSHINWEIS_W; }

}  // namespace Programm
