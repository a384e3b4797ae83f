#pragma once
// What the ZIP suites share: where the peers' archives lie, and reading a folder back whole.

#include <cstdint>
#include <map>
#include <string>

// Windows path of a file in the folder that peers.py filled (LADEWERK_ZIPDATEN).
std::wstring PeerDatei(const std::wstring& name);
// Folder that the check of Ladewerk's archives by unzip and python reads (LADEWERK_ZIPDATEN\ladewerk).
std::wstring PrüfOrdner();

// Every entry of a folder with its content; folders show as "<Ordner>". Empty when missing.
std::map<std::wstring, std::string> Ordnerinhalt(const std::wstring& ordner);

// Sets the extraction request as package opening does and runs it; the result code.
int32_t Entpacken(const std::wstring& archiv, const std::wstring& ziel);
