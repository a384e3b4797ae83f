// A stand-in for the programs the shell services start and for the program that asks for a
// folder, so that tests can drive both from outside.
//
//   lw_dienst_helfer argumente AUSGABE [--warten EREIGNIS] ARGUMENTE...
//       writes each argument, the show command it was started with and, with --warten,
//       whether EREIGNIS was set within 30 s (after the wait) as lines into AUSGABE.
//   lw_dienst_helfer ordner AUSGABE TEXT
//       shows the folder picker with TEXT over a window "Helfer Besitzer" and writes the
//       result, zero character included, into AUSGABE.
// AUSGABE appears whole or not at all.

#include "Handles.h"
#include "Shell.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

void Schreiben(const std::wstring& ausgabe, const std::wstring& inhalt) {
    const std::wstring vorläufig = ausgabe + L".neu";
    {
        const Handles::Datei datei(
            CreateFileW(vorläufig.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD geschrieben = 0;
        if (datei)
            WriteFile(datei.Get(), inhalt.data(), static_cast<DWORD>(inhalt.size() * sizeof(wchar_t)), &geschrieben,
                      nullptr);
    }
    MoveFileExW(vorläufig.c_str(), ausgabe.c_str(), MOVEFILE_REPLACE_EXISTING);
}

int Argumente(const std::wstring& ausgabe, const std::vector<std::wstring>& argumente) {
    size_t i = 0;
    std::wstring ereignis;
    if (argumente.size() >= 2 && argumente[0] == L"--warten") {
        ereignis = argumente[1];
        i = 2;
    }
    std::wstring inhalt;
    for (; i < argumente.size(); ++i) inhalt += argumente[i] + L"\n";
    STARTUPINFOW start{};
    start.cb = sizeof start;
    GetStartupInfoW(&start);
    inhalt += L"zeigen=" + std::to_wstring((start.dwFlags & STARTF_USESHOWWINDOW) ? start.wShowWindow : -1) + L"\n";
    if (!ereignis.empty()) {
        const Handles::Handle signal(OpenEventW(SYNCHRONIZE, FALSE, ereignis.c_str()));
        const bool gesetzt = signal && WaitForSingleObject(signal.Get(), 30000) == WAIT_OBJECT_0;
        inhalt += std::wstring(L"ereignis=") + (gesetzt ? L"ja" : L"nein") + L"\n";
    }
    Schreiben(ausgabe, inhalt);
    return 0;
}

int Ordner(const std::wstring& ausgabe, const std::wstring& text) {
    const HWND besitzer = CreateWindowExW(0, L"STATIC", L"Helfer Besitzer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                          300, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    const std::wstring gewählt = modFunktionen::OrdnerAuswählen(text, besitzer);
    DestroyWindow(besitzer);
    Schreiben(ausgabe, gewählt);
    return 0;
}

}  // namespace

int wmain(int anzahl, wchar_t** argv) {
    if (anzahl < 3) return 2;
    const std::wstring modus = argv[1];
    const std::wstring ausgabe = argv[2];
    if (modus == L"ordner" && anzahl == 4) return Ordner(ausgabe, argv[3]);
    if (modus != L"argumente") return 2;
    return Argumente(ausgabe, std::vector<std::wstring>(argv + 3, argv + anzahl));
}
