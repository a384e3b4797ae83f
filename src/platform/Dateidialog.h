#pragma once
// The program's one file dialog. Callers set Filter, Flags and FileName, show it, and read the
// chosen path from FileName; it keeps that value until its next use, so the save command can
// read the package path again after the package has been written.

#include "Interaktion.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

class Dateidialog {
public:
    std::wstring Filter;    // "Name|Muster", e.g. "Ladewerk-Dateien (*.lwx)|*.lwx"
    DWORD Flags = 0;        // OFN_ flags
    std::wstring FileName;  // start value in, chosen path out

    // False when the person cancelled or the dialog failed; FileName is then unchanged.
    bool ShowOpen(HWND besitzer);
    bool ShowSave(HWND besitzer);

    // The real dialog, used by the program's implementation of the interaction seam.
    static std::optional<std::wstring> Win32Zeigen(HWND besitzer, const Interaktion::Dateianfrage& anfrage);

private:
    bool Zeigen(HWND besitzer, bool speichern);
};

// The shared instance that every file choice of the program goes through.
Dateidialog& Dialog();

// "A|B|C|D" -> "A\0B\0C\0D\0\0", the form OPENFILENAMEW wants.
std::wstring FilterUmwandeln(const std::wstring& filter);

// The dialog's result buffer: a single full path, or with several files the folder, then each
// name, separated by L'\0'. A single path ends at its first zero: what follows may be left over
// from a longer start value.
std::wstring AuswahlLesen(const std::vector<wchar_t>& puffer, bool mehrere);
