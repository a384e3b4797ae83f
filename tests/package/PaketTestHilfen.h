#pragma once
// What the sending side's tests share: the package read back by Info-ZIP and python on the
// Linux side, and the run's Trash.

#include <optional>
#include <string>
#include <vector>

struct Paketprüfung {
    int unzipCode = -1;                // `unzip -tq`
    std::vector<std::wstring> namen;   // python zipfile, in archive order
    bool alleDeflate = false;
    std::string optionen;              // bytes of optionen.opt
};
// Nothing when the Linux side could not be asked.
std::optional<Paketprüfung> PaketPrüfen(const std::wstring& paket);

// Names in the Trash of this test run ($XDG_DATA_HOME/Trash/files).
std::vector<std::wstring> ImPapierkorb();

// The Linux environment variable as a Windows path on drive Z:.
std::wstring UnixOrdner(const wchar_t* variable);
