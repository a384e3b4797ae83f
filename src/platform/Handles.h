#pragma once
// One owning type per handle kind: copy deleted (a copy would close the handle twice), move allowed.

#include <windows.h>
#include <objbase.h>
#include <shtypes.h>

#include <utility>

namespace Handles {

template <typename T, auto Schließen, auto Ungültig>
class Eigener {
public:
    Eigener() = default;
    explicit Eigener(T wert) : wert_(wert) {}
    Eigener(const Eigener&) = delete;
    Eigener& operator=(const Eigener&) = delete;
    Eigener(Eigener&& anderer) noexcept : wert_(std::exchange(anderer.wert_, Ungültig())) {}
    Eigener& operator=(Eigener&& anderer) noexcept {
        if (this != &anderer) {
            Freigeben();
            wert_ = std::exchange(anderer.wert_, Ungültig());
        }
        return *this;
    }
    ~Eigener() { Freigeben(); }

    [[nodiscard]] T Get() const { return wert_; }
    [[nodiscard]] bool Gültig() const { return wert_ != Ungültig(); }
    explicit operator bool() const { return Gültig(); }

    void Freigeben() {
        if (Gültig()) Schließen(std::exchange(wert_, Ungültig()));
    }

private:
    T wert_ = Ungültig();
};

constexpr HANDLE KeinHandle() { return nullptr; }
inline HANDLE UngültigesHandle() { return INVALID_HANDLE_VALUE; }
inline void HandleSchließen(HANDLE h) { CloseHandle(h); }
inline void SucheSchließen(HANDLE h) { FindClose(h); }
template <typename G> void GdiLöschen(G g) { DeleteObject(g); }
inline void SchlüsselSchließen(HKEY h) { RegCloseKey(h); }
inline void PidlFreigeben(LPITEMIDLIST p) { CoTaskMemFree(p); }
constexpr HKEY KeinSchlüssel() { return nullptr; }
constexpr LPITEMIDLIST KeinePidl() { return nullptr; }
constexpr HFONT KeineSchrift() { return nullptr; }
constexpr HGDIOBJ KeinGdiObjekt() { return nullptr; }

using Handle = Eigener<HANDLE, HandleSchließen, KeinHandle>;          // processes, mutexes, events
using Datei = Eigener<HANDLE, HandleSchließen, UngültigesHandle>;     // CreateFileW results
using Suche = Eigener<HANDLE, SucheSchließen, UngültigesHandle>;      // FindFirstFileW results
using Schlüssel = Eigener<HKEY, SchlüsselSchließen, KeinSchlüssel>;  // RegOpenKeyExW results
using Pidl = Eigener<LPITEMIDLIST, PidlFreigeben, KeinePidl>;           // shell item lists
using Schrift = Eigener<HFONT, GdiLöschen<HFONT>, KeineSchrift>;
using GdiObjekt = Eigener<HGDIOBJ, GdiLöschen<HGDIOBJ>, KeinGdiObjekt>;  // brushes and pens

}  // namespace Handles
