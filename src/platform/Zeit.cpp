#include "Zeit.h"

#include <cwchar>

namespace modZeit {
namespace {

SYSTEMTIME Systemuhr() {
    SYSTEMTIME jetzt;
    GetLocalTime(&jetzt);
    return jetzt;
}

Uhr uhr = Systemuhr;

std::optional<Zeitpunkt> AusFeldern(int tag, int monat, int jahr, int stunde, int minute, int sekunde) {
    using namespace std::chrono;
    const year_month_day datum{year{jahr}, month{static_cast<unsigned>(monat)}, day{static_cast<unsigned>(tag)}};
    if (!datum.ok() || stunde < 0 || stunde > 23 || minute < 0 || minute > 59 || sekunde < 0 || sekunde > 59)
        return std::nullopt;
    return local_days{datum} + hours{stunde} + minutes{minute} + seconds{sekunde};
}

}  // namespace

void UhrSetzen(Uhr neue) { uhr = neue ? std::move(neue) : Uhr(Systemuhr); }

std::wstring AktuelleZeitText() {
    const SYSTEMTIME t = uhr();
    wchar_t text[32];
    std::swprintf(text, 32, L"%02u.%02u.%04u %02u:%02u:%02u", t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute, t.wSecond);
    return text;
}

Zeitpunkt AktuelleZeit() {
    if (auto zeit = ZeitLesen(AktuelleZeitText())) return *zeit;
    // A clock that gives no valid time still yields today, at midnight.
    const SYSTEMTIME t = Systemuhr();
    return AusFeldern(t.wDay, t.wMonth, t.wYear, 0, 0, 0).value_or(Zeitpunkt{});
}

std::optional<Zeitpunkt> ZeitLesen(const std::wstring& text) {
    // Exactly two digits for every field but the four of the year, as ZeitText writes them.
    static const wchar_t muster[] = L"99.99.9999 99:99:99";
    if (text.size() != std::size(muster) - 1) return std::nullopt;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool ziffer = text[i] >= L'0' && text[i] <= L'9';
        if (muster[i] == L'9' ? !ziffer : text[i] != muster[i]) return std::nullopt;
    }
    auto zahl = [&](size_t von, size_t länge) { return std::stoi(text.substr(von, länge)); };
    return AusFeldern(zahl(0, 2), zahl(3, 2), zahl(6, 4), zahl(11, 2), zahl(14, 2), zahl(17, 2));
}

std::wstring ZeitText(Zeitpunkt zeit) {
    using namespace std::chrono;
    const auto tage = floor<days>(zeit);
    const year_month_day datum{tage};
    const hh_mm_ss uhrzeit{zeit - tage};
    wchar_t text[32];
    std::swprintf(text, 32, L"%02u.%02u.%04d %02d:%02d:%02d", static_cast<unsigned>(datum.day()),
                  static_cast<unsigned>(datum.month()), static_cast<int>(datum.year()),
                  static_cast<int>(uhrzeit.hours().count()), static_cast<int>(uhrzeit.minutes().count()),
                  static_cast<int>(uhrzeit.seconds().count()));
    return text;
}

}  // namespace modZeit
