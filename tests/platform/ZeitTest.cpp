#include "Zeit.h"

#include <gtest/gtest.h>

namespace {

SYSTEMTIME Um(WORD jahr, WORD monat, WORD tag, WORD stunde, WORD minute, WORD sekunde) {
    SYSTEMTIME t{};
    t.wYear = jahr, t.wMonth = monat, t.wDay = tag, t.wHour = stunde, t.wMinute = minute, t.wSecond = sekunde;
    t.wMilliseconds = 999;
    return t;
}

struct FesteUhr {
    explicit FesteUhr(SYSTEMTIME t) { modZeit::UhrSetzen([t] { return t; }); }
    ~FesteUhr() { modZeit::UhrSetzen(nullptr); }
};

}  // namespace

TEST(Zeit, TextHasFixedWidthAnd24HourClockAndReadsBackToWholeSeconds) {
    FesteUhr uhr(Um(2024, 2, 9, 23, 5, 4));
    EXPECT_EQ(modZeit::AktuelleZeitText(), L"09.02.2024 23:05:04");
    EXPECT_EQ(modZeit::ZeitLesen(L"09.02.2024 23:05:04"), modZeit::AktuelleZeit());
}

TEST(Zeit, OnlyRealDatesInTheExactFormAreRead) {
    const wchar_t* const ungültig[] = {
        L"",
        L"31.02.2026 10:00:00",
        L"1.1.2026 24:00:00",
        L"01.01.2026 10:00:00 ",
    };
    for (const wchar_t* text : ungültig) EXPECT_FALSE(modZeit::ZeitLesen(text)) << text;
    EXPECT_TRUE(modZeit::ZeitLesen(L"29.02.2028 00:00:00"));
}

TEST(Zeit, AClockWithoutValidTimeStillGivesToday) {
    FesteUhr kaputt(Um(2026, 2, 30, 10, 0, 0));
    const auto zeit = modZeit::AktuelleZeit();
    SYSTEMTIME heute;
    GetLocalTime(&heute);
    wchar_t mitternacht[32];
    swprintf(mitternacht, 32, L"%02u.%02u.%04u 00:00:00", heute.wDay, heute.wMonth, heute.wYear);
    EXPECT_EQ(modZeit::ZeitText(zeit), mitternacht);
}
