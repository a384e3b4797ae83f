#include "ProgrammEinstellungen.h"

#include "Fortschritt.h"
#include "Handles.h"
#include "Shell.h"
#include "modEinstellungen.h"
#include "modFunktionen.h"

#include <windows.h>

#include <optional>

namespace modProgrammEinstellungen {

std::wstring KazaaProgrammOrdner;
std::wstring KazaaDownloadOrdner;
std::wstring WinMXProgrammOrdner;
std::wstring WinMXDownloadOrdner;
std::wstring GetRightProgrammOrdner;
std::wstring EMuleProgrammOrdner;
std::wstring EMuleTempOrdner;

namespace {

using namespace modFunktionen;

constexpr int kProgrammeOrdner = 38;  // CSIDL_PROGRAM_FILES

std::wstring Lesen(HKEY wurzel, const std::wstring& schlüssel, const std::wstring& name) {
    std::wstring wert;
    modEinstellungen::SpezielleEinstellungLesen(schlüssel, name, wert, L"", wurzel);
    return wert;
}

// The Kazaa-family clients store their paths with doubled separators.
std::wstring OhneDoppelteTrenner(const std::wstring& pfad) { return TextErsetzen(pfad, L"\\\\", L"\\"); }

// ExeDir names the program, or its folder with a trailing "\". Some installations write the
// folder itself; cut by one level, it would never hold the program to start again.
std::wstring KazaaProgrammOrdnerAus(const std::wstring& exeDir) {
    if (!exeDir.empty() && exeDir.back() != L'\\' && OrdnerExistiert(exeDir)) {
        for (const wchar_t* programm : kKazaaProgramme) {
            if (DateiExistiert(exeDir + L"\\" + programm)) return exeDir;
        }
    }
    return PfadZurückgeben(exeDir);
}

// A client family's pair: its program folder from ExeDir, its download folder from DownloadDir.
void KazaaFamilieLesen(const std::wstring& firma) {
    KazaaProgrammOrdner = KazaaProgrammOrdnerAus(
        OhneDoppelteTrenner(Lesen(HKEY_LOCAL_MACHINE, L"SOFTWARE\\" + firma + L"\\Cloudload", L"ExeDir")));
    KazaaDownloadOrdner =
        OhneDoppelteTrenner(Lesen(HKEY_CURRENT_USER, L"SOFTWARE\\" + firma + L"\\LocalContent", L"DownloadDir"));
}

// "C:\Programme\eMule\emule.exe" "%1"  ->  C:\Programme\eMule
std::wstring OrdnerAusBefehl(const std::wstring& befehl) {
    std::wstring pfad = TextErsetzen(TextErsetzen(befehl, L"%1", L""), L"\"", L"");
    const size_t anfang = pfad.find_first_not_of(L' ');
    pfad = anfang == std::wstring::npos ? std::wstring() : pfad.substr(anfang, pfad.find_last_not_of(L' ') + 1 - anfang);
    return PfadZurückgeben(pfad);
}

void Ausweichen(std::wstring& wert, const std::wstring& programme, std::initializer_list<const wchar_t*> kandidaten) {
    if (!wert.empty()) return;
    for (const wchar_t* kandidat : kandidaten) {
        // The programs folder ends with "\", so the value holds a doubled separator, which
        // Windows accepts in paths.
        const std::wstring ordner = programme + kandidat;
        if (DateiExistiert(ordner + L"\\nul")) {
            wert = ordner;
            return;
        }
    }
}

// The whole file, each byte one character of the ANSI code page; nothing when it cannot be read.
std::optional<std::wstring> DateiAlsText(const std::wstring& pfad) {
    const Handles::Datei datei(
        CreateFileW(pfad.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER größe{};
    if (!datei || !GetFileSizeEx(datei.Get(), &größe) || größe.QuadPart > 64 * 1024 * 1024) return std::nullopt;
    std::string bytes(static_cast<size_t>(größe.QuadPart), '\0');
    DWORD gelesen = 0;
    if (!bytes.empty() && !ReadFile(datei.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &gelesen, nullptr))
        return std::nullopt;
    bytes.resize(gelesen);
    if (bytes.empty()) return std::wstring();
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                        text.data(), static_cast<int>(text.size()))));
    return text;
}

// eMule: the text after the first "TempDir=" (any letter case) up to the line end, unchanged.
// A last line without line break counts as well.
std::optional<std::wstring> EMuleTempDir(const std::wstring& text) {
    const std::wstring schlüssel = L"TempDir=";
    for (size_t stelle = 0; stelle + schlüssel.size() <= text.size(); ++stelle) {
        if (!TexteGleich(text.substr(stelle, schlüssel.size()), schlüssel)) continue;
        const size_t anfang = stelle + schlüssel.size();
        size_t ende = text.find(L'\n', anfang);
        if (ende == std::wstring::npos) ende = text.size();
        if (ende > anfang && text[ende - 1] == L'\r') --ende;
        return text.substr(anfang, ende - anfang);
    }
    return std::nullopt;
}

// eDonkey2000: the folder starts at the third character and ends two characters before the
// first zero character from there on.
std::optional<std::wstring> EDonkeyTempDir(const std::wstring& text) {
    const size_t null = text.size() > 2 ? text.find(L'\0', 2) : std::wstring::npos;
    if (null == std::wstring::npos || null < 3) return std::nullopt;
    return text.substr(2, null - 3);
}

void TempOrdnerLesen() {
    if (EMuleProgrammOrdner.empty()) return;
    const std::wstring ini = EMuleProgrammOrdner + L"\\preferences.ini";
    const std::wstring dat = EMuleProgrammOrdner + L"\\share.dat";
    const bool eMule = DateiExistiert(ini);
    if (!eMule && !DateiExistiert(dat)) {
        modFortschritt::FortschrittAnzeigen(L"Achtung: Die 'EMule/EDonkey'-Einstellungen konnten nicht gelesen werden");
        return;
    }
    const auto text = DateiAlsText(eMule ? ini : dat);
    if (!text) {
        modFortschritt::FortschrittAnzeigen(L"Achtung: Die 'EMule/EDonkey'-Einstellungen konnten nicht gelesen werden");
        return;
    }
    const auto ordner = eMule ? EMuleTempDir(*text) : EDonkeyTempDir(*text);
    if (ordner) {
        EMuleTempOrdner = *ordner;
    } else {
        modFortschritt::FortschrittAnzeigen(eMule ? L"Achtung: Die 'EMule'-Einstellungen konnten nicht verarbeitet werden"
                                                  : L"Achtung: Die 'EDonkey'-Einstellungen konnten nicht verarbeitet werden");
    }
}

}  // namespace

bool ProgrammEinstellungenLesen() {
    KazaaFamilieLesen(L"KaZaA");
    if (KazaaProgrammOrdner.empty()) KazaaFamilieLesen(L"Grokster");
    if (KazaaProgrammOrdner.empty()) KazaaFamilieLesen(L"Morpheus");

    WinMXProgrammOrdner = PfadZurückgeben(
        Lesen(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\WinMX", L"UninstallString"));
    EMuleProgrammOrdner = OrdnerAusBefehl(Lesen(HKEY_CLASSES_ROOT, L"ed2k\\shell\\open\\command", L""));
    WinMXDownloadOrdner.clear();
    GetRightProgrammOrdner = Lesen(HKEY_CURRENT_USER, L"Software\\Headlight\\GetRight\\Config", L"InstallDir");

    // Without a programs folder the candidates would name folders in the current drive's root.
    const std::wstring programme = SpeziellerOrdner(kProgrammeOrdner);
    if (!programme.empty()) {
        Ausweichen(KazaaProgrammOrdner, programme, {L"\\Kazaa", L"\\Kazaa Lite", L"\\Morpheus", L"\\Grokster"});
        Ausweichen(WinMXProgrammOrdner, programme, {L"\\WinMX"});
        Ausweichen(GetRightProgrammOrdner, programme, {L"\\GetRight"});
        Ausweichen(EMuleProgrammOrdner, programme, {L"\\EMule", L"\\eDonkey2000"});
    }

    TempOrdnerLesen();
    return true;
}

void OrdnerZurücksetzen() {
    for (std::wstring* wert : {&KazaaProgrammOrdner, &KazaaDownloadOrdner, &WinMXProgrammOrdner, &WinMXDownloadOrdner,
                               &GetRightProgrammOrdner, &EMuleProgrammOrdner, &EMuleTempOrdner})
        wert->clear();
}

}  // namespace modProgrammEinstellungen
