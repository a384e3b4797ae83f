#include "Optionsdatei.h"
#include "TempOrdner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using Optionsdatei::Version;

TEST(Optionsdatei, WrittenFileIsTheOneLineThatPackagesCarry) {
    TempOrdner ordner;
    const std::wstring pfad = ordner.Datei(L"optionen.opt", "Version=0.1\r\nVeraltet=1\r\n");
    ASSERT_TRUE(Optionsdatei::Schreiben(pfad, {1, 10}));
    std::ifstream datei(std::filesystem::path(pfad), std::ios::binary);
    const std::string inhalt{std::istreambuf_iterator<char>(datei), {}};
    EXPECT_EQ(inhalt, "Version=1.10\r\n");
}

TEST(Optionsdatei, ValueIsTheTextBetweenKeyAndLineEnd) {
    const struct {
        std::string bytes;
        std::optional<std::wstring> wert;
    } kFälle[] = {
        {"Version=1.10\r\n", L"1.10"},
        {"xx\r\nVERSION=2.00\r\nVersion=3\r\n", L"2.00"},
        {"Version=\r\n", L""},
        {"Version=1.10", std::nullopt},
        {"Version=1.10\n", std::nullopt},
        {"Versio=1.10\r\n", std::nullopt},
    };
    for (const auto& fall : kFälle) EXPECT_EQ(Optionsdatei::WertLesen(fall.bytes), fall.wert) << fall.bytes;
}

TEST(Optionsdatei, VersionsCompareAsNumbersMajorThenMinor) {
    const struct {
        std::wstring wert;
        std::optional<Version> version;
    } kFälle[] = {
        {L"1.10", Version{1, 10}}, {L" 2.00 ", Version{2, 0}}, {L"2", Version{2, 0}},
        {L"", std::nullopt},       {L"1,10", std::nullopt},     {L"1.", std::nullopt},
        {L"-1.0", std::nullopt},
    };
    for (const auto& fall : kFälle) {
        const auto version = Optionsdatei::VersionAuswerten(fall.wert);
        ASSERT_EQ(version.has_value(), fall.version.has_value()) << fall.wert;
        if (version) {
            EXPECT_EQ(*version, *fall.version) << fall.wert;
        }
    }
    EXPECT_LT((Version{1, 9}), (Version{1, 10}));
    EXPECT_LT((Version{1, 10}), (Version{2, 0}));
}
