#pragma once
// Small file checks the distribution tests share.

#include <optional>
#include <string>

void Schreiben(const std::wstring& pfad, const std::string& inhalt);
// Nothing when the file does not exist (or cannot be read).
std::optional<std::string> Lesen(const std::wstring& pfad);
// The name as stored on disk, letter case included; empty when missing.
std::wstring GespeicherterName(const std::wstring& pfad);
// Names in the folder (files and folders), sorted.
std::wstring Inhaltsliste(const std::wstring& ordner);
// A program built beside the test program.
std::wstring NebenDemTest(const std::wstring& name);
