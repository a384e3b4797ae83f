#pragma once
// Reads single registry values. The program only reads the registry, never writes it.

#include <windows.h>

#include <cstdint>
#include <string>
#include <variant>

namespace modRegistry {

// A text for REG_SZ and REG_EXPAND_SZ (expanded), a number for REG_DWORD; monostate when the
// value has another type.
using Wert = std::variant<std::monostate, std::wstring, std::int32_t>;

// True when the key opened and the value exists and was read. A value of a type that is not
// read also gives True and leaves ergebnis as it was. The empty name reads the key's default
// value. Texts come back without terminator, however the value was stored.
[[nodiscard]] bool ValueLesen(HKEY wurzel, const std::wstring& schlüssel, const std::wstring& name, Wert& ergebnis);

}  // namespace modRegistry
