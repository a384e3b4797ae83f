#include "PaketTestHilfen.h"

#include "Dateien.h"
#include "Handles.h"
#include "UnixProgramm.h"
#include "Zwischenordner.h"

#include <windows.h>

#include <sstream>

namespace {

const wchar_t* const kPrüfskript =
    L"import sys, zipfile\n"
    L"z = zipfile.ZipFile(sys.argv[1])\n"
    L"with open(sys.argv[2], 'w', encoding='utf-8') as aus:\n"
    L"    aus.write('ok\\n' if z.testzip() is None else 'kaputt\\n')\n"
    L"    aus.write(str(all(i.compress_type == zipfile.ZIP_DEFLATED for i in z.infolist())) + '\\n')\n"
    L"    for i in z.infolist(): aus.write(i.filename + '\\n')\n"
    L"    opt = [i for i in z.infolist() if i.filename == 'optionen.opt']\n"
    L"    open(sys.argv[3], 'wb').write(z.read(opt[0]) if opt else b'')\n";

std::wstring Utf8(const std::string& text) {
    std::wstring ergebnis(text.size(), L'\0');
    ergebnis.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                            ergebnis.data(), static_cast<int>(ergebnis.size()))));
    return ergebnis;
}

}  // namespace


std::wstring UnixOrdner(const wchar_t* variable) {
    std::wstring wert(GetEnvironmentVariableW(variable, nullptr, 0), L'\0');
    wert.resize(GetEnvironmentVariableW(variable, wert.data(), static_cast<DWORD>(wert.size())));
    for (wchar_t& z : wert)
        if (z == L'/') z = L'\\';
    return wert.empty() ? L"" : L"Z:" + wert;
}

std::optional<Paketprüfung> PaketPrüfen(const std::wstring& paket) {
    Paketprüfung prüfung;
    const auto unzip = UnixProgramm::Ausführen({L"sh", L"-c", L"unzip -tq \"$0\" >/dev/null", UnixProgramm::Pfad(paket)}, 60000);
    if (!unzip.code) return std::nullopt;
    prüfung.unzipCode = *unzip.code;

    const Zwischenordner ordner;
    const std::wstring liste = ordner.Pfad() + L"\\liste.txt", optionen = ordner.Pfad() + L"\\optionen.bin";
    CloseHandle(CreateFileW(liste.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    CloseHandle(CreateFileW(optionen.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const auto python = UnixProgramm::Ausführen({L"python3", L"-c", kPrüfskript, UnixProgramm::Pfad(paket),
                                                 UnixProgramm::Pfad(liste), UnixProgramm::Pfad(optionen)},
                                                60000);
    if (!python.code || *python.code != 0) return std::nullopt;
    std::wistringstream zeilen(Utf8(Inhalt(liste)));
    std::wstring zeile;
    if (!std::getline(zeilen, zeile) || zeile != L"ok") return std::nullopt;
    std::getline(zeilen, zeile);
    prüfung.alleDeflate = zeile == L"True";
    while (std::getline(zeilen, zeile)) prüfung.namen.push_back(zeile);
    prüfung.optionen = Inhalt(optionen);
    return prüfung;
}

std::vector<std::wstring> ImPapierkorb() {
    std::vector<std::wstring> namen;
    WIN32_FIND_DATAW eintrag;
    const Handles::Suche suche(FindFirstFileW((UnixOrdner(L"XDG_DATA_HOME") + L"\\Trash\\files\\*").c_str(), &eintrag));
    if (!suche) return namen;
    do {
        const std::wstring name = eintrag.cFileName;
        if (name != L"." && name != L"..") namen.push_back(name);
    } while (FindNextFileW(suche.Get(), &eintrag));
    return namen;
}
