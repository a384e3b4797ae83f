#pragma once
// A drive letter of the test's own Wine prefix, mapped through $WINEPREFIX/dosdevices onto a
// folder of the prefix or onto a small tmpfs that the test mounts (tests run as root). Both
// live only as long as the object.

#include <string>

class Laufwerk {
public:
    // megabyte 0: a folder of the prefix (or the given folder of drive C:); otherwise a tmpfs
    // of that size.
    Laufwerk(wchar_t buchstabe, int megabyte, const std::wstring& ordnerAufC = {});
    ~Laufwerk();
    Laufwerk(const Laufwerk&) = delete;
    Laufwerk& operator=(const Laufwerk&) = delete;

    [[nodiscard]] bool Bereit() const { return bereit_; }
    const std::string& Fehler() const { return fehler_; }
    // A tmpfs mounted again read-only, like a write-protected stick; false when that failed.
    [[nodiscard]] bool Schreibschützen();
    // "X:"
    std::wstring Wurzel() const { return std::wstring(1, buchstabe_) + L":"; }

private:
    wchar_t buchstabe_;
    bool eingehängt_ = false;
    bool bereit_ = false;
    std::string ordner_;
    std::string fehler_;
};
