#include "Peer.h"

#include "Handles.h"
#include "UnixProgramm.h"

#include <windows.h>

namespace Peer {
namespace {

std::string Utf8(const std::wstring& text) {
    std::string utf8(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                        static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
}

std::string Literal(const std::string& text) {
    std::string literal = "'";
    for (char c : text) {
        if (c == '\\' || c == '\'') literal += '\\';
        literal += c;
    }
    return literal + "'";
}

bool Schreiben(const std::wstring& pfad, const std::string& inhalt) {
    const Handles::Datei datei(
        CreateFileW(pfad.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD geschrieben = 0;
    return datei && WriteFile(datei.Get(), inhalt.data(), static_cast<DWORD>(inhalt.size()), &geschrieben, nullptr) &&
           geschrieben == inhalt.size();
}

std::string UnixPfad(const std::wstring& windowsPfad) { return Utf8(UnixProgramm::Pfad(windowsPfad)); }

}  // namespace

bool Python(const std::wstring& ordner, const std::string& skript) {
    std::wstring temp(GetTempPathW(0, nullptr), L'\0');
    temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    static unsigned zähler = 0;
    const std::wstring basis = temp + L"lwpeer-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++zähler);
    const std::wstring datei = basis + L".py", körper = basis + L"-koerper.py";
    const std::string rahmen = "import os, sys, traceback\n"
                               "try:\n"
                               "    os.chdir(" + Literal(UnixPfad(ordner)) + ")\n"
                               "    exec(compile(open(" + Literal(UnixPfad(körper)) + ").read(), 'peer', 'exec'), {})\n"
                               "except BaseException:\n"
                               "    traceback.print_exc()\n"
                               "    sys.exit(1)\n";
    const bool gelaufen = Schreiben(körper, skript) && Schreiben(datei, rahmen);
    const auto ablauf = gelaufen ? UnixProgramm::Ausführen({L"python3", UnixProgramm::Pfad(datei)}, 60000)
                                 : UnixProgramm::Ablauf{};
    DeleteFileW(datei.c_str());
    DeleteFileW(körper.c_str());
    return ablauf.code == 0;
}

bool Zip(const std::wstring& ordner, const std::wstring& archiv, const std::vector<std::wstring>& dateien) {
    std::string argumente = "['zip', '-q', '-j', '-9', " + Literal(Utf8(archiv).find('\\') == std::string::npos
                                                                         ? Utf8(archiv)
                                                                         : UnixPfad(archiv));
    for (const std::wstring& datei : dateien) argumente += ", " + Literal(Utf8(datei));
    return Python(ordner, "import subprocess\nsubprocess.run(" + argumente + "], check=True)\n");
}

}  // namespace Peer
