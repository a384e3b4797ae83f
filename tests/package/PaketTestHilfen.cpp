#include "PaketTestHilfen.h"

#include "Dateien.h"
#include "Treiber.h"
#include "UnixProgramm.h"
#include "Zwischenordner.h"

#include <algorithm>
#include <sstream>

namespace {

// Both peers in one run: Info-ZIP's test of the archive, then python's reading of it (type 8:
// deflated). The names go out as UTF-16, the text the test program reads without converting.
const wchar_t* const kPrüfskript =
    L"import subprocess, sys, zipfile\n"
    L"code = subprocess.call(['unzip', '-tq', sys.argv[1]], stdout=subprocess.DEVNULL)\n"
    L"z = zipfile.ZipFile(sys.argv[1])\n"
    L"if z.testzip() or any(i.file_size and i.compress_type != 8 for i in z.infolist()): sys.exit(1)\n"
    L"namen = [i.filename for i in z.infolist()]\n"
    L"open(sys.argv[2], 'w', encoding='utf-16-le').write('\\n'.join([str(code)] + namen) + '\\n')\n"
    L"open(sys.argv[3], 'wb').write(z.read('optionen.opt') if 'optionen.opt' in namen else b'')\n";

}  // namespace

std::wstring UnixOrdner(const wchar_t* variable) {
    char wert[MAX_PATH] = {};
    GetEnvironmentVariableA(std::string(variable, variable + wcslen(variable)).c_str(), wert, MAX_PATH);
    return *wert ? Treiber::UnixPfadNachWindows(wert) : L"";
}

std::optional<Paketprüfung> PaketPrüfen(const std::wstring& paket) {
    const Zwischenordner ordner;
    // Wine names a Unix path only for a file that exists.
    const std::wstring liste = Anlegen(ordner.Pfad() + L"\\liste.txt");
    const std::wstring optionen = Anlegen(ordner.Pfad() + L"\\optionen.bin");
    const auto python = UnixProgramm::Ausführen({L"python3", L"-c", kPrüfskript, UnixProgramm::Pfad(paket),
                                                 UnixProgramm::Pfad(liste), UnixProgramm::Pfad(optionen)},
                                                60000);
    if (!python.code || *python.code != 0) return std::nullopt;
    const std::string bytes = Inhalt(liste);
    std::wistringstream zeilen(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2));
    Paketprüfung prüfung;
    zeilen >> prüfung.unzipCode >> std::ws;
    for (std::wstring name; std::getline(zeilen, name);) prüfung.namen.push_back(name);
    prüfung.optionen = Inhalt(optionen);
    return prüfung;
}

bool Gemeldet(const Protokoll& log, const std::wstring& teil) {
    return std::any_of(log.Zeilen().begin(), log.Zeilen().end(),
                       [&](const std::wstring& zeile) { return zeile.find(teil) != std::wstring::npos; });
}
