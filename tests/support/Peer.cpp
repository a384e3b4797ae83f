#include "Peer.h"

#include "UnixProgramm.h"

#include <windows.h>

namespace Peer {

bool Python(const std::wstring& ordner, const std::string& skript) {
    std::wstring text(skript.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, skript.data(), static_cast<int>(skript.size()),
                                                        text.data(), static_cast<int>(text.size()))));
    return UnixProgramm::Ausführen({L"sh", L"-c", L"cd \"$0\" && exec python3 -c \"$1\"", UnixProgramm::Pfad(ordner), text},
                                   60000)
               .code == 0;
}

bool Zip(const std::wstring& ordner, const std::wstring& archiv, const std::vector<std::wstring>& dateien) {
    std::vector<std::wstring> befehl = {L"sh", L"-c", L"cd \"$0\" && exec zip -q -j -9 \"$@\"", UnixProgramm::Pfad(ordner),
                                        archiv.find(L'\\') == std::wstring::npos ? archiv : UnixProgramm::Pfad(archiv)};
    befehl.insert(befehl.end(), dateien.begin(), dateien.end());
    return UnixProgramm::Ausführen(befehl, 60000).code == 0;
}

}  // namespace Peer
