#pragma once
// Settings of other programs, read from the registry with a fallback.

#include <windows.h>

#include <string>

namespace modEinstellungen {

// Reads one value into ziel: a text as stored, a REG_DWORD as decimal text. When the key or
// the value is missing, or the value is neither text nor number, ziel becomes standard and the
// result is False. A null wurzel means HKEY_CURRENT_USER.
bool SpezielleEinstellungLesen(const std::wstring& schlüssel, const std::wstring& name, std::wstring& ziel,
                               const std::wstring& standard, HKEY wurzel = nullptr);

}  // namespace modEinstellungen
