#include "Dateidialog.h"

#include "modFunktionen.h"

#include <commdlg.h>

#include <algorithm>

namespace {

const wchar_t* const kTitelÖffnen = L"Datei öffnen";
const wchar_t* const kTitelSpeichern = L"Datei speichern";

// Room for a multi-selection of a few thousand long names; a single path may be a long path.
constexpr size_t kPufferMehrfach = 1u << 20;
constexpr size_t kPufferEinzeln = 32768;

}  // namespace

Dateidialog& Dialog() {
    static Dateidialog dialog;
    return dialog;
}

bool Dateidialog::ShowOpen(HWND besitzer) { return Zeigen(besitzer, false); }

bool Dateidialog::ShowSave(HWND besitzer) { return Zeigen(besitzer, true); }

bool Dateidialog::Zeigen(HWND besitzer, bool speichern) {
    const Interaktion::Dateianfrage anfrage{speichern, speichern ? kTitelSpeichern : kTitelÖffnen, Filter, FileName,
                                            Flags};
    auto gewählt = Interaktion::Aktuell().DateiWählen(besitzer, anfrage);
    if (!gewählt) return false;
    FileName = std::move(*gewählt);
    return true;
}

std::optional<std::wstring> Dateidialog::Win32Zeigen(HWND besitzer, const Interaktion::Dateianfrage& anfrage) {
    const bool mehrfach = (anfrage.flags & OFN_ALLOWMULTISELECT) != 0;
    std::vector<wchar_t> puffer(std::max(mehrfach ? kPufferMehrfach : kPufferEinzeln, anfrage.dateiname.size() + 2),
                                L'\0');
    std::copy(anfrage.dateiname.begin(), anfrage.dateiname.end(), puffer.begin());
    const std::wstring filter = FilterUmwandeln(anfrage.filter);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = besitzer;
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = puffer.data();
    ofn.nMaxFile = static_cast<DWORD>(puffer.size());
    ofn.lpstrTitle = anfrage.titel.c_str();
    // Without OFN_EXPLORER a multi-selection comes back separated by blanks, which breaks names
    // that contain blanks.
    ofn.Flags = anfrage.flags | OFN_EXPLORER;

    // The program works with full paths only, yet the current folder is put back by hand
    // (OFN_NOCHANGEDIR does not hold for the open dialog): it must never end up in a folder of
    // the person's own files, where a shell operation gone wrong under Wine deletes.
    const std::wstring ordner = modFunktionen::VollständigerPfad(L".");
    const BOOL ok = anfrage.speichern ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!ordner.empty()) SetCurrentDirectoryW(ordner.c_str());
    if (!ok) return std::nullopt;
    // With several files the folder stands alone, so the zero before the first name ends it.
    const bool mehrere = mehrfach && ofn.nFileOffset > 0 && puffer[ofn.nFileOffset - 1] == L'\0';
    return AuswahlLesen(puffer, mehrere);
}

std::wstring FilterUmwandeln(const std::wstring& filter) {
    if (filter.empty()) return {};
    std::wstring ergebnis = filter;
    std::replace(ergebnis.begin(), ergebnis.end(), L'|', L'\0');
    ergebnis.append(2, L'\0');
    return ergebnis;
}

std::wstring AuswahlLesen(const std::vector<wchar_t>& puffer, bool mehrere) {
    size_t ende = 0;
    while (ende < puffer.size() && !(puffer[ende] == L'\0' &&
                                     (!mehrere || ende + 1 >= puffer.size() || puffer[ende + 1] == L'\0')))
        ++ende;
    return std::wstring(puffer.begin(), puffer.begin() + static_cast<std::ptrdiff_t>(ende));
}
