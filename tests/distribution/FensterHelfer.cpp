// Stands in for running clients: one top-level window per argument, its title, each on a thread
// of its own, so that every window's WM_QUIT ends just its
// thread. A posted WM_APP appends " (lebt)" to the title: it arrives after any WM_QUIT posted
// before it, so a window that answers was not told to quit. The exit code counts the windows
// that got WM_QUIT; the process ends when all have.

#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<int> beendet{0};

LRESULT CALLBACK Prozedur(HWND fenster, UINT nachricht, WPARAM wParam, LPARAM lParam) {
    if (nachricht == WM_APP) {
        std::wstring titel(static_cast<size_t>(GetWindowTextLengthW(fenster)) + 1, L'\0');
        titel.resize(static_cast<size_t>(GetWindowTextW(fenster, titel.data(), static_cast<int>(titel.size()))));
        SetWindowTextW(fenster, (titel + L" (lebt)").c_str());
        return 0;
    }
    return DefWindowProcW(fenster, nachricht, wParam, lParam);
}

void Fenster(const std::wstring& titel) {
    CreateWindowExW(0, L"LwFensterHelfer", titel.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 80, nullptr,
                    nullptr, GetModuleHandleW(nullptr), nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    ++beendet;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int anzahl = 0;
    wchar_t** argumente = CommandLineToArgvW(GetCommandLineW(), &anzahl);
    // The class is registered before the threads start: Wine loses a window now and then when
    // two threads register the same class at once.
    WNDCLASSW art{};
    art.lpfnWndProc = Prozedur;
    art.hInstance = GetModuleHandleW(nullptr);
    art.lpszClassName = L"LwFensterHelfer";
    RegisterClassW(&art);
    std::vector<std::thread> fäden;
    for (int i = 1; i < anzahl; ++i) fäden.emplace_back(Fenster, std::wstring(argumente[i]));
    LocalFree(argumente);
    for (auto& faden : fäden) faden.join();
    return beendet;
}
