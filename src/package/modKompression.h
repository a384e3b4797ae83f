#pragma once
// Opening and creating packages.

#include <string>

namespace modKompression {

// The receiving side's entry: opens the package at paketpfad and reports in the progress window.
void DateienDekomprimieren(const std::wstring& paketpfad);

}  // namespace modKompression
