#pragma once
// What the package tests share: the package read back by Info-ZIP and python on the Linux
// side, and a look at the progress log.

#include "Protokoll.h"

#include <optional>
#include <string>
#include <vector>

struct Paketprüfung {
    int unzipCode = -1;               // `unzip -tq`
    std::vector<std::wstring> namen;  // python zipfile, in archive order
    std::string optionen;  // bytes of optionen.opt
};
// Nothing when the Linux side could not be asked, or python finds the archive damaged or a
// member with content stored without compression.
std::optional<Paketprüfung> PaketPrüfen(const std::wstring& paket);

// The Linux environment variable as a Windows path on drive Z:.
std::wstring UnixOrdner(const wchar_t* variable);

// Whether some line of the log holds teil.
bool Gemeldet(const Protokoll& log, const std::wstring& teil);
