#include "modEinstellungen.h"

#include "modRegistry.h"

namespace modEinstellungen {

bool SpezielleEinstellungLesen(const std::wstring& schlüssel, const std::wstring& name, std::wstring& ziel,
                               const std::wstring& standard, HKEY wurzel) {
    modRegistry::Wert wert;
    if (modRegistry::ValueLesen(wurzel ? wurzel : HKEY_CURRENT_USER, schlüssel, name, wert)) {
        if (const auto* text = std::get_if<std::wstring>(&wert)) {
            ziel = *text;
            return true;
        }
        if (const auto* zahl = std::get_if<std::int32_t>(&wert)) {
            ziel = std::to_wstring(*zahl);
            return true;
        }
    }
    ziel = standard;
    return false;
}

}  // namespace modEinstellungen
