#pragma once
// Text conversions shared by both adapters: libzip speaks UTF-8, the program std::wstring.

#include <string>
#include <string_view>

namespace ZipText {

std::string Utf8(std::wstring_view text);
std::string InCodepage(std::wstring_view text, unsigned codepage);
std::wstring AusCodepage(std::string_view bytes, unsigned codepage);
bool IstAscii(std::string_view bytes);
bool IstUtf8(std::string_view bytes);

}  // namespace ZipText
