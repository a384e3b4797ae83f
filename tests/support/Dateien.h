#pragma once
// Small file and registry helpers the tests share.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

void Schreiben(const std::wstring& pfad, const std::string& inhalt);
// "<fehlt>" when the file cannot be read, so that a missing file shows in a comparison.
std::string Inhalt(const std::wstring& pfad);
// Nothing when the file does not exist (or cannot be read).
std::optional<std::string> Lesen(const std::wstring& pfad);
// Makes an empty file, or a folder when attribute holds FILE_ATTRIBUTE_DIRECTORY, through the
// \\?\ form, so that paths of any length work; the test fails when it cannot. Returns pfad.
std::wstring Anlegen(const std::wstring& pfad, DWORD attribute = FILE_ATTRIBUTE_NORMAL);
// Folders below basis, one in the next, until the path is at least länge long; the deepest.
std::wstring TieferOrdner(std::wstring basis, size_t länge);
// Names in the folder (files and folders), sorted.
std::wstring Inhaltsliste(const std::wstring& ordner);
bool Existiert(const std::wstring& pfad);
bool Enthält(const std::vector<std::wstring>& texte, const std::wstring& text);
// The user's temp folder, ending in a backslash.
std::wstring BenutzerTemp();
// The stand-in program lw_helfer, handed over by the test's environment in LADEWERK_HELFER.
std::wstring HelferProgramm();
// Writes a REG_SZ value, making the key when missing.
void RegistryTextSetzen(HKEY wurzel, const std::wstring& schlüssel, const wchar_t* name, const std::wstring& wert);
