#pragma once
// Drives the real program from outside, as a user would: finds its windows, reads their
// texts and clicks their buttons. Everything works across processes and never throws.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Treiber {

struct FensterInfo {
    HWND hwnd;
    DWORD prozessId;
    std::wstring klasse;
    std::wstring text;
    bool sichtbar;
};

// prozessId 0 means every process.
std::vector<FensterInfo> FensterAuflisten(DWORD prozessId = 0);
// All descendants, depth first in Z-order.
std::vector<FensterInfo> KinderAuflisten(HWND fenster);

// The caption must match exactly, including case; hidden windows do not count.
HWND FensterWarten(const std::wstring& titel, DWORD timeoutMs, DWORD prozessId = 0);
// True once the window is destroyed or hidden.
bool FensterVerschwindenWarten(HWND fenster, DWORD timeoutMs);

// Compares captions without '&' mnemonics and ignoring case, so L"ja" finds "&Ja". Only a
// button a user could click counts: visible, enabled and not inside a disabled window (a
// window behind a modal dialog is disabled). The click is posted, so a button that opens a
// modal dialog does not block the caller.
bool KnopfKlicken(HWND fenster, const std::wstring& text);

std::wstring FensterText(HWND fenster);
// Nested controls count too.
std::optional<std::wstring> SteuerelementText(HWND fenster, int id);
// Non-empty texts of the visible child controls in Z-order: for a message box, its message
// and the captions of the buttons actually shown.
std::vector<std::wstring> AlleTexte(HWND fenster);

// Types into the file name box of an open or save dialog and confirms as with the dialog's
// default button. Several files are typed each in double quotes, separated by blanks.
bool DateinameBestätigen(HWND dialog, const std::wstring& name);

bool ProzessEndeWarten(HANDLE prozess, DWORD timeoutMs, DWORD* exitCode);

// A started process; one still running when the object goes is terminated, so a failed test
// leaves nothing behind.
class Prozess {
public:
    // Runs `"exe" argumente`; the argument text is passed on verbatim. An empty ordner keeps the
    // caller's current folder.
    static std::optional<Prozess> Starten(const std::wstring& exe, const std::wstring& argumente,
                                          const std::wstring& ordner = L"");

    DWORD Id() const { return id_; }
    bool EndeWarten(DWORD ms, DWORD* code = nullptr) { return ProzessEndeWarten(handle_.get(), ms, code); }

private:
    struct Schließer {
        void operator()(HANDLE h) const;
    };
    Prozess(HANDLE handle, DWORD id) : handle_(handle), id_(id) {}

    std::unique_ptr<void, Schließer> handle_;
    DWORD id_ = 0;
};

// Wine maps the Linux root to drive Z:. Relative paths only get backslashes.
std::wstring UnixPfadNachWindows(const std::string& unixPfad);

}  // namespace Treiber
