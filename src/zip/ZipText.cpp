#include "ZipText.h"

#include <windows.h>

namespace ZipText {

std::string Utf8(std::wstring_view text) { return InCodepage(text, CP_UTF8); }

std::string InCodepage(std::wstring_view text, unsigned codepage) {
    if (text.empty()) return {};
    const int länge = WideCharToMultiByte(codepage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ergebnis(static_cast<size_t>(länge), '\0');
    WideCharToMultiByte(codepage, 0, text.data(), static_cast<int>(text.size()), ergebnis.data(), länge, nullptr, nullptr);
    return ergebnis;
}

std::wstring AusCodepage(std::string_view bytes, unsigned codepage) {
    if (bytes.empty()) return {};
    const int länge = MultiByteToWideChar(codepage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring ergebnis(static_cast<size_t>(länge), L'\0');
    MultiByteToWideChar(codepage, 0, bytes.data(), static_cast<int>(bytes.size()), ergebnis.data(), länge);
    return ergebnis;
}

bool IstAscii(std::string_view bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool IstUtf8(std::string_view bytes) {
    return bytes.empty() ||
           MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

}  // namespace ZipText
