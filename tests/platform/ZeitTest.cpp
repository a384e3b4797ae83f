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

TEST(Zeit, TextHasFixedWidthDayMonthYearAnd24HourClock) {
    FesteUhr uhr(Um(2026, 3, 7, 9, 5, 4));
    EXPECT_EQ(modZeit::AktuelleZeitText(), L"07.03.2026 09:05:04");
    FesteUhr abend(Um(2026, 12, 31, 23, 59, 59));
    EXPECT_EQ(modZeit::AktuelleZeitText(), L"31.12.2026 23:59:59");
}

TEST(Zeit, CurrentTimeHasWholeSecondsAndRoundTripsThroughText) {
    FesteUhr uhr(Um(2024, 2, 29, 13, 14, 15));
    const auto jetzt = modZeit::AktuelleZeit();
    EXPECT_EQ(modZeit::ZeitText(jetzt), L"29.02.2024 13:14:15");
    EXPECT_EQ(modZeit::ZeitLesen(L"29.02.2024 13:14:15"), jetzt);
}

TEST(Zeit, DifferencesCrossMidnightAndYearEnd) {
    const auto vorher = modZeit::ZeitLesen(L"31.12.2026 23:59:30");
    const auto nachher = modZeit::ZeitLesen(L"01.01.2027 00:00:30");
    ASSERT_TRUE(vorher && nachher);
    EXPECT_EQ((*nachher - *vorher).count(), 60);
}

TEST(Zeit, OnlyRealDatesInTheExactFormAreRead) {
    const wchar_t* const ungültig[] = {
        L"",
        L"Schließen",
        L"31.02.2026 10:00:00",  // no such day
        L"01.13.2026 10:00:00",
        L"01.01.2026 24:00:00",
        L"01.01.2026 10:60:00",
        L"1.1.2026 10:00:00",
        L"01.01.2026 10:00:00 ",
        L"01-01-2026 10:00:00",
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
