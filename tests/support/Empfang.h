#pragma once
// What the receiving side's tests share: clients installed in the test prefix, packages made by
// the peers, and looks at folders and the Trash afterwards.

#include "TempOrdner.h"

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Empfang {

struct Clientordner {
    std::wstring kazaaDownloads;  // target of .dat
    std::wstring emuleTemp;       // target of .met and .part
};

// Installs the Kazaa family and eMule below wurzel, found through the registry rows and eMule's
// settings file as on a real computer, so the distribution asks nothing for their files. Also
// makes wurzel\Pakete for the packages.
Clientordner ClientsEinrichten(const TempOrdner& wurzel);

using Dateien = std::vector<std::pair<std::wstring, std::string>>;

// wurzel\Pakete\name packed by Info-ZIP zip -j -9 as the sending side does, with optionen.opt
// last when optionen is given.
std::wstring ZipPaket(const TempOrdner& wurzel, const std::wstring& name, const Dateien& dateien,
                      const std::optional<std::string>& optionen = "Version=1.10\r\n");

// wurzel\Pakete\name written by python's zipfile; körper is the indented body of
// `with zipfile.ZipFile(name, 'w', zipfile.ZIP_DEFLATED) as z:`.
std::wstring PythonPaket(const TempOrdner& wurzel, const std::wstring& name, const std::string& körper);

// Every path below ordner, folders included.
std::set<std::wstring> Baum(const std::wstring& ordner);
// True when a working folder of an opening is left in ordner.
bool Arbeitsordnerreste(const std::wstring& ordner);
// Where a file of that name lands in this test prefix's Trash.
std::wstring Papierkorb(const std::wstring& name);

}  // namespace Empfang
