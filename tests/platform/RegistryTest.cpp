// Against the test prefix's real registry: the tests write the values the program then reads.

#include "modEinstellungen.h"
#include "modRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::wstring kSchlüssel = L"Software\\LadewerkTest\\Cloudload";

std::vector<BYTE> Bytes(const std::wstring& text, size_t zeichen) {
    const BYTE* anfang = reinterpret_cast<const BYTE*>(text.c_str());
    return {anfang, anfang + zeichen * sizeof(wchar_t)};
}

void Schreiben(HKEY wurzel, const std::wstring& schlüssel, const std::wstring& name, DWORD typ,
               const std::vector<BYTE>& daten) {
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(wurzel, schlüssel.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(h, name.c_str(), 0, typ, daten.data(), static_cast<DWORD>(daten.size())), ERROR_SUCCESS);
    RegCloseKey(h);
}

void TextSchreiben(HKEY wurzel, const std::wstring& schlüssel, const std::wstring& name, const std::wstring& text) {
    Schreiben(wurzel, schlüssel, name, REG_SZ, Bytes(text, text.size() + 1));
}

std::vector<BYTE> Zahl(DWORD wert) {
    const BYTE* anfang = reinterpret_cast<const BYTE*>(&wert);
    return {anfang, anfang + sizeof wert};
}

}  // namespace

TEST(Registry, StoredFormsOfTextsAndNumbersArriveIntact) {
    const std::wstring ordner = L"C:\\Programme\\Kazaa\\My Shared Folder";
    SetEnvironmentVariableW(L"LADEWERK_TESTZIEL", L"D:\\Ziel");
    struct Fall {
        const wchar_t* name;
        DWORD typ;
        std::vector<BYTE> daten;
        std::wstring soll;
    } const fälle[] = {
        {L"MitEnde", REG_SZ, Bytes(ordner, ordner.size() + 1), ordner},
        {L"OhneEnde", REG_SZ, Bytes(ordner, ordner.size()), ordner},
        {L"NurEnde", REG_SZ, Bytes(L"", 1), L""},
        {L"OhneBytes", REG_SZ, {}, L""},
        {L"HalbesZeichen", REG_SZ, {'C'}, L""},
        {L"MitRestHinterEnde", REG_SZ, Bytes(std::wstring(L"C:\\a\0alt", 8), 8), L"C:\\a"},
        {L"Erweiterbar", REG_EXPAND_SZ, Bytes(L"%LADEWERK_TESTZIEL%\\Downloads", 31), L"D:\\Ziel\\Downloads"},
        {L"Zahl", REG_DWORD, Zahl(1234), L"1234"},
        {L"Negativ", REG_DWORD, Zahl(0xFFFFFFFF), L"-1"},
        {L"Sonderzeichen", REG_SZ, Bytes(L"C:\\Überträge ß", 15), L"C:\\Überträge ß"},
    };
    for (const auto& [name, typ, daten, soll] : fälle) Schreiben(HKEY_CURRENT_USER, kSchlüssel, name, typ, daten);

    for (const auto& [name, typ, daten, soll] : fälle) {
        std::wstring ziel = L"alt";
        EXPECT_TRUE(modEinstellungen::SpezielleEinstellungLesen(kSchlüssel, name, ziel, L"vorgabe")) << name;
        EXPECT_EQ(ziel, soll) << name;
    }
}

TEST(Registry, MissingOrUnreadableValuesGiveTheDefault) {
    TextSchreiben(HKEY_CURRENT_USER, kSchlüssel, L"Vorhanden", L"x");
    Schreiben(HKEY_CURRENT_USER, kSchlüssel, L"Binär", REG_BINARY, {1, 2, 3});
    Schreiben(HKEY_CURRENT_USER, kSchlüssel, L"Kurz", REG_DWORD, {7});
    struct Fall {
        std::wstring schlüssel, name;
    } const fälle[] = {
        {kSchlüssel, L"Fehlt"}, {kSchlüssel + L"\\Fehlt", L"Vorhanden"}, {kSchlüssel, L"Binär"}, {kSchlüssel, L"Kurz"},
        {L"", L"Vorhanden"},
    };
    for (const auto& [schlüssel, name] : fälle) {
        std::wstring ziel = L"alt";
        EXPECT_FALSE(modEinstellungen::SpezielleEinstellungLesen(schlüssel, name, ziel, L""))
            << schlüssel << L"|" << name;
        EXPECT_EQ(ziel, L"") << name;
    }
}

TEST(Registry, RootsAndTheDefaultValue) {
    TextSchreiben(HKEY_CLASSES_ROOT, L"ladewerktest\\shell\\open\\command", L"", L"\"C:\\eMule\\emule.exe\" \"%1\"");
    TextSchreiben(HKEY_LOCAL_MACHINE, L"SOFTWARE\\LadewerkTest", L"Ordner", L"C:\\Maschine");
    TextSchreiben(HKEY_CURRENT_USER, L"SOFTWARE\\LadewerkTest", L"Ordner", L"C:\\Benutzer");

    std::wstring ziel;
    ASSERT_TRUE(modEinstellungen::SpezielleEinstellungLesen(L"ladewerktest\\shell\\open\\command", L"", ziel, L"",
                                                            HKEY_CLASSES_ROOT));
    EXPECT_EQ(ziel, L"\"C:\\eMule\\emule.exe\" \"%1\"");
    ASSERT_TRUE(modEinstellungen::SpezielleEinstellungLesen(L"SOFTWARE\\LadewerkTest", L"Ordner", ziel, L"",
                                                            HKEY_LOCAL_MACHINE));
    EXPECT_EQ(ziel, L"C:\\Maschine");
    ASSERT_TRUE(modEinstellungen::SpezielleEinstellungLesen(L"SOFTWARE\\LadewerkTest", L"Ordner", ziel, L"", nullptr));
    EXPECT_EQ(ziel, L"C:\\Benutzer");
}

TEST(Registry, ValueLesenKeepsNumbersAsNumbersAndSkipsOtherTypes) {
    Schreiben(HKEY_CURRENT_USER, kSchlüssel, L"Zahl", REG_DWORD, Zahl(0x80000000));
    Schreiben(HKEY_CURRENT_USER, kSchlüssel, L"Binär", REG_BINARY, {1, 2, 3});

    modRegistry::Wert wert;
    ASSERT_TRUE(modRegistry::ValueLesen(HKEY_CURRENT_USER, kSchlüssel, L"Zahl", wert));
    EXPECT_EQ(std::get<std::int32_t>(wert), INT32_MIN);

    wert = std::wstring(L"vorher");
    EXPECT_TRUE(modRegistry::ValueLesen(HKEY_CURRENT_USER, kSchlüssel, L"Binär", wert));
    EXPECT_EQ(std::get<std::wstring>(wert), L"vorher");
    EXPECT_FALSE(modRegistry::ValueLesen(HKEY_CURRENT_USER, kSchlüssel, L"Fehlt", wert));
    EXPECT_EQ(std::get<std::wstring>(wert), L"vorher");
}
