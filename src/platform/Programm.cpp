#include "Programm.h"

#include "Dateisuche.h"
#include "Version.h"
#include "modFunktionen.h"

#include <windows.h>

namespace Programm {

std::vector<std::wstring> UngültigeZeichen;

namespace {
Prozessende prozessende = nullptr;
std::vector<Überbleibsel*> überbleibsel;
}  // namespace

Überbleibsel::Überbleibsel(std::wstring pfad) : pfad_(std::move(pfad)) { überbleibsel.push_back(this); }

Überbleibsel::~Überbleibsel() { std::erase(überbleibsel, this); }

void ÜberbleibselLöschen() {
    for (auto rest = überbleibsel.rbegin(); rest != überbleibsel.rend(); ++rest) {
        Überbleibsel& ü = **rest;
        if (ü.offen_ && ü.offen_ != INVALID_HANDLE_VALUE) CloseHandle(ü.offen_);
        ü.offen_ = nullptr;
        if (modFunktionen::OrdnerExistiert(ü.pfad_))
            modFunktionen::OrdnerLöschen(ü.pfad_, true);
        else
            modFunktionen::DateiLöschen(ü.pfad_);
    }
}

std::wstring Ordner() {
    std::wstring pfad(MAX_PATH, L'\0');
    for (;;) {
        const DWORD länge = GetModuleFileNameW(nullptr, pfad.data(), static_cast<DWORD>(pfad.size()));
        if (länge == 0) return {};
        if (länge < pfad.size()) {
            pfad.resize(länge);
            return modFunktionen::PfadZurückgeben(pfad);
        }
        pfad.resize(pfad.size() * 2);
    }
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
