#include "modRegistry.h"

#include "Handles.h"

#include <vector>

namespace modRegistry {
namespace {

// Query value, enumerate sub-keys and notify: reading without the right to read the security
// descriptor, so keys that only grant reading open too.
constexpr REGSAM kLeserechte = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;

// The stored bytes may lack the terminator, hold none at all, or have an odd length; the text
// is what stands before the first zero character.
std::wstring AlsText(const std::vector<BYTE>& bytes) {
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

std::wstring Erweitert(const std::wstring& text) {
    std::wstring ergebnis(text.size() + 1, L'\0');
    for (;;) {
        const DWORD nötig =
            ExpandEnvironmentStringsW(text.c_str(), ergebnis.data(), static_cast<DWORD>(ergebnis.size()));
        if (nötig == 0) return text;
        if (nötig <= ergebnis.size()) {
            ergebnis.resize(nötig - 1);
            return ergebnis;
        }
        ergebnis.resize(nötig);
    }
}

// The value may grow between asking for its size and reading it.
bool BytesLesen(HKEY schlüssel, const std::wstring& name, DWORD größe, std::vector<BYTE>& bytes) {
    for (;;) {
        bytes.resize(größe);
        const LSTATUS status =
            RegQueryValueExW(schlüssel, name.c_str(), nullptr, nullptr, bytes.empty() ? nullptr : bytes.data(), &größe);
        if (status == ERROR_SUCCESS) {
            bytes.resize(größe);
            return true;
        }
        if (status != ERROR_MORE_DATA) return false;
    }
}

}  // namespace

bool ValueLesen(HKEY wurzel, const std::wstring& schlüssel, const std::wstring& name, Wert& ergebnis) {
    HKEY roh = nullptr;
    if (RegOpenKeyExW(wurzel, schlüssel.c_str(), 0, kLeserechte, &roh) != ERROR_SUCCESS) return false;
    const Handles::Schlüssel offen(roh);

    DWORD typ = REG_NONE;
    DWORD größe = 0;
    if (RegQueryValueExW(offen.Get(), name.c_str(), nullptr, &typ, nullptr, &größe) != ERROR_SUCCESS) return false;

    switch (typ) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            std::vector<BYTE> bytes;
            if (!BytesLesen(offen.Get(), name, größe, bytes)) return false;
            const std::wstring text = AlsText(bytes);
            ergebnis = typ == REG_EXPAND_SZ ? Erweitert(text) : text;
            return true;
        }
        case REG_DWORD: {
            DWORD zahl = 0;
            DWORD länge = sizeof zahl;
            if (RegQueryValueExW(offen.Get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&zahl), &länge) !=
                    ERROR_SUCCESS ||
                länge != sizeof zahl)
                return false;
            ergebnis = static_cast<std::int32_t>(zahl);
            return true;
        }
        default:
            return true;
    }
}

}  // namespace modRegistry
