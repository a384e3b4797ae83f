#pragma once
// The one-line options file that every package carries as its last entry. It lives at the
// bottom because the distribution has to tell it apart from the job files too.

#include <optional>
#include <string>

namespace Optionsdatei {

inline constexpr wchar_t kName[] = L"optionen.opt";

struct Version {
    int major = 1;
    int minor = 0;
    auto operator<=>(const Version&) const = default;
};

// "Version={Major}.{Minor}" CR LF in ASCII: 14 bytes for 1.10.
std::string Inhalt(Version version);
// Writes the file whole, replacing an older one; false when it could not be written completely.
bool Schreiben(const std::wstring& pfad, Version version);

// A path names the options file when its last characters are "optionen.opt", any letter case.
bool IstOptionsdatei(const std::wstring& pfad);

// The text between "Version=" (first occurrence, any letter case) and the CR LF after it.
// Nothing when the key or the line end is missing: the file is then unusable, not merely odd.
std::optional<std::wstring> WertLesen(const std::string& bytes);

// Accepts "1.10", "2", " 2.00 ": decimal digits, optionally a point and more digits. Versions
// compare as numbers, major then minor, so 1.9 is older than 1.10 whatever the locale says.
std::optional<Version> VersionAuswerten(const std::wstring& wert);

}  // namespace Optionsdatei
