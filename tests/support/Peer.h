#pragma once
// The peers that make archives at test time: Info-ZIP zip and python's zipfile, Linux programs
// that Wine starts like any other program. They get Linux paths, the test passes Windows ones.

#include <string>
#include <vector>

namespace Peer {

// Runs a python3 script body in ordner (its current folder). True when it ran through without
// an exception.
bool Python(const std::wstring& ordner, const std::string& skript);

// zip -j -9 archiv dateien..., run in ordner with names relative to it. True when zip succeeded.
bool Zip(const std::wstring& ordner, const std::wstring& archiv, const std::vector<std::wstring>& dateien);

}  // namespace Peer
