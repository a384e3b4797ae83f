#include "EMail.h"

#include "Systemfehler.h"
#include "UnixProgramm.h"
#include "modFunktionen.h"

#include <mapi.h>

#include <optional>
#include <string>
#include <vector>

namespace EMail {
namespace {

// The mail control that the program used to carry reported MAPI's codes from 32000 on, and
// 32001 meant the user cancelled; the numbers stay the same for whoever reads the message.
constexpr unsigned long kMapiBasis = 32000;
// How long a composer may take before the program stops waiting for its answer. Some mail
// programs keep the starter running until their window closes.
constexpr DWORD kComposerWarten = 20000;

struct Bibliothek {
    HMODULE modul;
    explicit Bibliothek(const wchar_t* name) : modul(LoadLibraryW(name)) {}
    ~Bibliothek() {
        if (modul) FreeLibrary(modul);
    }
    Bibliothek(const Bibliothek&) = delete;
    Bibliothek& operator=(const Bibliothek&) = delete;
    template <typename F> F* Funktion(const char* name) const {
        return modul ? reinterpret_cast<F*>(reinterpret_cast<void*>(GetProcAddress(modul, name))) : nullptr;
    }
};


Ergebnis Gescheitert(unsigned long nummer, std::wstring beschreibung) { return {false, false, nummer, std::move(beschreibung)}; }

std::wstring MapiText(ULONG code) {
    switch (code) {
    case MAPI_E_LOGIN_FAILURE: return L"Die Anmeldung beim EMail-Programm ist fehlgeschlagen";
    case MAPI_E_INSUFFICIENT_MEMORY: return L"Nicht genügend Arbeitsspeicher";
    case MAPI_E_ATTACHMENT_NOT_FOUND: return L"Die angehängte Datei wurde nicht gefunden";
    case MAPI_E_ATTACHMENT_OPEN_FAILURE: return L"Die angehängte Datei kann nicht geöffnet werden";
    case MAPI_E_NOT_SUPPORTED: return L"Das EMail-Programm unterstützt diese Funktion nicht";
    default: return L"Das EMail-Programm hat die Nachricht nicht angenommen";
    }
}

// Simple MAPI takes ANSI texts; a path that the code page cannot hold goes by its short name.
std::string Ansi(const std::wstring& text) {
    const int länge = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ergebnis(static_cast<size_t>(länge > 0 ? länge : 1), '\0');
    if (länge > 0) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ergebnis.data(), länge, nullptr, nullptr);
    ergebnis.resize(ergebnis.size() - 1);
    return ergebnis;
}

std::string AnsiPfad(const std::wstring& pfad) {
    BOOL verloren = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, pfad.c_str(), -1, nullptr, 0, nullptr, &verloren);
    if (!verloren) return Ansi(pfad);
    std::wstring kurz(GetShortPathNameW(pfad.c_str(), nullptr, 0), L'\0');
    kurz.resize(GetShortPathNameW(pfad.c_str(), kurz.data(), static_cast<DWORD>(kurz.size())));
    return Ansi(kurz.empty() ? pfad : kurz);
}

Ergebnis MapiSenden(HWND besitzer, const Nachricht& nachricht) {
    const Bibliothek mapi(L"mapi32.dll");
    if (!mapi.modul) {
        const DWORD fehler = GetLastError();
        return Gescheitert(fehler, Systemfehler::Text(fehler));
    }
    auto* anmelden = mapi.Funktion<MAPILOGON>("MAPILogon");
    auto* senden = mapi.Funktion<MAPISENDMAIL>("MAPISendMail");
    auto* abmelden = mapi.Funktion<MAPILOGOFF>("MAPILogoff");
    if (!anmelden || !senden || !abmelden)
        return Gescheitert(kMapiBasis + MAPI_E_NOT_SUPPORTED, MapiText(MAPI_E_NOT_SUPPORTED));

    const auto fenster = reinterpret_cast<ULONG_PTR>(besitzer);
    LHANDLE sitzung = 0;
    ULONG code = anmelden(fenster, nullptr, nullptr, MAPI_LOGON_UI, 0, &sitzung);
    if (code == SUCCESS_SUCCESS) {
        std::string betreff = Ansi(nachricht.betreff), text = Ansi(nachricht.text);
        std::string pfad = AnsiPfad(nachricht.anhangPfad), name = Ansi(nachricht.anhangName);
        std::string empfänger = Ansi(nachricht.empfängerName), adresse;
        MapiFileDesc anhang{0, 0, static_cast<ULONG>(-1), pfad.data(), name.data(), nullptr};
        MapiRecipDesc an{0, MAPI_TO, empfänger.data(), adresse.data(), 0, nullptr};
        MapiMessage brief{};
        brief.lpszSubject = betreff.data();
        brief.lpszNoteText = text.data();
        brief.nRecipCount = 1;
        brief.lpRecips = &an;
        brief.nFileCount = 1;
        brief.lpFiles = &anhang;
        code = senden(sitzung, fenster, &brief, MAPI_DIALOG | MAPI_LOGON_UI, 0);
        abmelden(sitzung, fenster, 0, 0);
    }
    if (code == SUCCESS_SUCCESS) return {true, false, 0, {}};
    if (code == MAPI_USER_ABORT) return {false, true, kMapiBasis + code, {}};
    return Gescheitert(kMapiBasis + code, MapiText(code));
}

std::wstring ComposerText(int code) {
    switch (code) {
    case 1: return L"Der Aufruf von 'xdg-email' war fehlerhaft";
    case 2: return L"Die angehängte Datei wurde nicht gefunden";
    case 3: return L"Auf diesem System ist kein EMail-Programm eingerichtet";
    case 127: return L"Das Programm 'xdg-email' (Paket xdg-utils) ist nicht installiert";
    default: return L"Das EMail-Programm hat die Nachricht nicht angenommen";
    }
}

// The composer's arguments after its name.
std::vector<std::wstring> ComposerArgumente(const Nachricht& nachricht, const std::wstring& unixAnhang) {
    std::vector<std::wstring> argumente{L"--subject", nachricht.betreff, L"--body", nachricht.text, L"--attach",
                                        unixAnhang};
    // The composer takes no display name without an address; the placeholder stands in the
    // recipient field for the user to overwrite, as in a Windows mail program.
    if (!nachricht.empfängerName.empty()) argumente.push_back(nachricht.empfängerName);
    return argumente;
}

Ergebnis ComposerSenden(const Nachricht& nachricht) {
    const std::wstring anhang = UnixProgramm::Pfad(nachricht.anhangPfad);
    if (anhang.empty()) return Gescheitert(ERROR_PATH_NOT_FOUND, Systemfehler::Text(ERROR_PATH_NOT_FOUND));
    std::vector<std::wstring> befehl{L"xdg-email"};
    for (std::wstring& argument : ComposerArgumente(nachricht, anhang)) befehl.push_back(std::move(argument));
    const UnixProgramm::Ablauf ablauf = UnixProgramm::Ausführen(befehl, kComposerWarten);
    if (ablauf.startfehler) return Gescheitert(ablauf.startfehler, Systemfehler::Text(ablauf.startfehler));
    // No answer in time: the composer window is open and its starter waits for it to close.
    if (!ablauf.code || *ablauf.code == 0) return {true, false, 0, {}};
    return Gescheitert(static_cast<unsigned long>(*ablauf.code), ComposerText(*ablauf.code));
}

// A Wine with a mail provider of its own can take Simple MAPI as Windows does: the user says
// so with LADEWERK_EMAIL=mapi, since the program keeps no settings of its own.
bool MapiGewählt() {
    wchar_t wert[8] = {};
    const DWORD länge = GetEnvironmentVariableW(L"LADEWERK_EMAIL", wert, 8);
    return länge == 4 && modFunktionen::TexteGleich(wert, L"mapi");
}

}  // namespace

bool UnterWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

Ergebnis Senden(HWND besitzer, const Nachricht& nachricht) {
    const bool gesperrt = besitzer && IsWindowEnabled(besitzer);
    if (gesperrt) EnableWindow(besitzer, FALSE);
    Ergebnis ergebnis = UnterWine() && !MapiGewählt() ? ComposerSenden(nachricht) : MapiSenden(besitzer, nachricht);
    if (gesperrt) EnableWindow(besitzer, TRUE);
    return ergebnis;
}

}  // namespace EMail
