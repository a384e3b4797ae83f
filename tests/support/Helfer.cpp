// Stands in for every program that a test has started from outside and then asks how it was
// started. How it is called says which one it is:
//
//   lw_helfer argumente AUSGABE [--warten EREIGNIS] ARGUMENTE...
//       the program the shell opens a document or address with: writes each argument, the show
//       command and, with --warten, whether EREIGNIS was set within 30 s, as lines into AUSGABE.
//   lw_helfer ordner AUSGABE TEXT
//       a program that asks for a folder: the picker with TEXT over a window "Helfer Besitzer";
//       the result, zero character included, goes into AUSGABE.
//   any name and arguments while LW_AUFRUFE is set
//       a client the distribution starts: writes "<own path>|<argument text>" into
//       LW_AUFRUFE\<pid>.txt.
//   TITEL...
//       running clients: one window per title, each on its own thread so that a WM_QUIT ends
//       just that window. A posted WM_APP appends " (lebt)" to the title; it arrives after any
//       WM_QUIT posted before it, so a window that answers was not told to quit. The exit code
//       counts the windows that got WM_QUIT.
// Every output file appears whole or not at all, so a test never reads half of one.

#include "Handles.h"
#include "Shell.h"

#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using Argumente = std::vector<std::wstring>;

bool Ablegen(const std::wstring& ausgabe, const std::wstring& inhalt) {
    const std::wstring teil = ausgabe + L".teil";
    {
        const Handles::Datei datei(
            CreateFileW(teil.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD geschrieben = 0;
        if (!datei || !WriteFile(datei.Get(), inhalt.data(), static_cast<DWORD>(inhalt.size() * sizeof(wchar_t)),
                                 &geschrieben, nullptr))
            return false;
    }
    return MoveFileExW(teil.c_str(), ausgabe.c_str(), MOVEFILE_REPLACE_EXISTING);
}

int Aufruf(const std::wstring& ausgabe, const Argumente& argumente) {
    const bool warten = argumente.size() >= 2 && argumente[0] == L"--warten";
    std::wstring inhalt;
    for (size_t i = warten ? 2 : 0; i < argumente.size(); ++i) inhalt += argumente[i] + L"\n";
    STARTUPINFOW start{};
    start.cb = sizeof start;
    GetStartupInfoW(&start);
    inhalt += L"zeigen=" + std::to_wstring((start.dwFlags & STARTF_USESHOWWINDOW) ? start.wShowWindow : -1) + L"\n";
    if (warten) {
        const Handles::Handle signal(OpenEventW(SYNCHRONIZE, FALSE, argumente[1].c_str()));
        const bool gesetzt = signal && WaitForSingleObject(signal.Get(), 30000) == WAIT_OBJECT_0;
        inhalt += std::wstring(L"ereignis=") + (gesetzt ? L"ja" : L"nein") + L"\n";
    }
    return Ablegen(ausgabe, inhalt) ? 0 : 1;
}

int Ordnerwahl(const std::wstring& ausgabe, const std::wstring& text) {
    const HWND besitzer = CreateWindowExW(0, L"STATIC", L"Helfer Besitzer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                          300, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    const std::wstring gewählt = modFunktionen::OrdnerAuswählen(text, besitzer);
    DestroyWindow(besitzer);
    return Ablegen(ausgabe, gewählt) ? 0 : 1;
}

// The argument text is kept as the command line has it: the test checks the quoting.
int ClientStart(const std::wstring& ordner) {
    std::wstring selbst(MAX_PATH, L'\0');
    selbst.resize(GetModuleFileNameW(nullptr, selbst.data(), static_cast<DWORD>(selbst.size())));
    const std::wstring zeile = GetCommandLineW();
    size_t ende = zeile[0] == L'"' ? zeile.find(L'"', 1) + 1 : zeile.find(L' ');
    if (ende == std::wstring::npos || ende > zeile.size()) ende = zeile.size();
    const size_t argumente = zeile.find_first_not_of(L' ', ende);
    const std::wstring text = selbst + L"|" + (argumente == std::wstring::npos ? L"" : zeile.substr(argumente));
    return Ablegen(ordner + L"\\" + std::to_wstring(GetCurrentProcessId()) + L".txt", text) ? 0 : 1;
}

std::atomic<int> beendet{0};

LRESULT CALLBACK Prozedur(HWND fenster, UINT nachricht, WPARAM wParam, LPARAM lParam) {
    if (nachricht != WM_APP) return DefWindowProcW(fenster, nachricht, wParam, lParam);
    std::wstring titel(static_cast<size_t>(GetWindowTextLengthW(fenster)) + 1, L'\0');
    titel.resize(static_cast<size_t>(GetWindowTextW(fenster, titel.data(), static_cast<int>(titel.size()))));
    SetWindowTextW(fenster, (titel + L" (lebt)").c_str());
    return 0;
}

void FensterFaden(const std::wstring& titel) {
    CreateWindowExW(0, L"LwHelfer", titel.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 80, nullptr, nullptr,
                    GetModuleHandleW(nullptr), nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    ++beendet;
}

int Clientfenster(const Argumente& titel) {
    // Registered before the threads start: Wine loses a window now and then when two threads
    // register the same class at once.
    WNDCLASSW art{};
    art.lpfnWndProc = Prozedur;
    art.hInstance = GetModuleHandleW(nullptr);
    art.lpszClassName = L"LwHelfer";
    RegisterClassW(&art);
    std::vector<std::thread> fäden;
    for (const auto& t : titel) fäden.emplace_back(FensterFaden, t);
    for (auto& faden : fäden) faden.join();
    return beendet;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring aufrufe(MAX_PATH, L'\0');
    aufrufe.resize(GetEnvironmentVariableW(L"LW_AUFRUFE", aufrufe.data(), static_cast<DWORD>(aufrufe.size())));
    if (!aufrufe.empty()) return ClientStart(aufrufe);

    int anzahl = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &anzahl);
    const Argumente argumente(argv + 1, argv + anzahl);
    LocalFree(argv);
    if (argumente.size() >= 2 && argumente[0] == L"argumente")
        return Aufruf(argumente[1], Argumente(argumente.begin() + 2, argumente.end()));
    if (argumente.size() == 3 && argumente[0] == L"ordner") return Ordnerwahl(argumente[1], argumente[2]);
    return Clientfenster(argumente);
}
