#include "frmVerschiebenDateiExistiert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

using Dialog = frmVerschiebenDateiExistiert;

// Waits in a second thread until the dialog shows, then does what a person would.
std::thread Person(HWND dialog, UINT nachricht, WPARAM wParam, HWND* ziel = nullptr) {
    return std::thread([=] {
        for (int i = 0; i < 1000 && !IsWindowVisible(dialog); ++i) Sleep(10);
        PostMessageW(ziel ? *ziel : dialog, nachricht, wParam, 0);
    });
}

}  // namespace

TEST(frmVerschiebenDateiExistiert, EveryWayOutGivesItsAnswerAndNothingUnasked) {
    Dialog& dialog = Dialog::Instanz();
    ASSERT_TRUE(dialog.Laden());
    HWND besitzer = CreateWindowExW(0, L"STATIC", L"Besitzer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                    nullptr, nullptr, nullptr);
    HWND knopfUmbenennen = dialog.Element(Dialog::cmdUmbenennen);
    struct Fall {
        UINT nachricht;
        WPARAM wParam;
        HWND* ziel;
        int antwort;
    };
    const Fall kFälle[] = {
        {WM_COMMAND, Dialog::cmdUmbenennen, nullptr, Dialog::Umbenennen},
        {WM_COMMAND, Dialog::cmdErsetzen, nullptr, Dialog::Ersetzen},
        {WM_COMMAND, Dialog::cmdÜberspringen, nullptr, Dialog::Überspringen},
        {WM_COMMAND, Dialog::cmdAbbrechen, nullptr, Dialog::Abbrechen},
        {WM_COMMAND, Dialog::cmdErsetzen, nullptr, Dialog::Ersetzen},
        // After "Ersetzen", closing by Esc or by the frame must not repeat it.
        {WM_KEYDOWN, VK_ESCAPE, &knopfUmbenennen, Dialog::Abbrechen},
        {WM_CLOSE, 0, nullptr, Dialog::Abbrechen},
        // Enter presses the focused button, which is the harmless first one.
        {WM_KEYDOWN, VK_RETURN, &knopfUmbenennen, Dialog::Umbenennen},
    };
    for (const auto& [nachricht, wParam, ziel, antwort] : kFälle) {
        std::thread person = Person(dialog.Handle(), nachricht, wParam, ziel);
        EXPECT_EQ(Dialog::Zeigen(besitzer, L"Zeile 1\nZeile 2"), antwort) << nachricht << L" " << wParam;
        person.join();
        EXPECT_FALSE(dialog.IstSichtbar());
        EXPECT_TRUE(IsWindowEnabled(besitzer));
    }

    EXPECT_EQ(dialog.Text(), L"Fehler beim Kopieren/Verschieben");
    EXPECT_EQ(dialog.ElementText(Dialog::lblTitel1), L"Es ist ein Fehler beim Kopieren/Verschieben aufgetreten.");
    EXPECT_EQ(dialog.ElementText(Dialog::lblBeschreibung), L"Zeile 1\nZeile 2");
    EXPECT_EQ(GetWindow(dialog.Handle(), GW_OWNER), besitzer);

    // One row, left to right in this order, below the description.
    std::vector<std::pair<LONG, std::wstring>> knöpfe;
    RECT beschreibung{};
    GetWindowRect(dialog.Element(Dialog::lblBeschreibung), &beschreibung);
    for (int id : {Dialog::cmdAbbrechen, Dialog::cmdÜberspringen, Dialog::cmdUmbenennen, Dialog::cmdErsetzen}) {
        RECT r{};
        GetWindowRect(dialog.Element(id), &r);
        EXPECT_GE(r.top, beschreibung.bottom);
        knöpfe.emplace_back(r.left, dialog.ElementText(id));
    }
    std::sort(knöpfe.begin(), knöpfe.end());
    const std::wstring kReihe[] = {L"&Umbenennen", L"&Ersetzen (!)", L"Ü&berspringen", L"&Abbrechen"};
    for (size_t i = 0; i < std::size(kReihe); ++i) EXPECT_EQ(knöpfe[i].second, kReihe[i]);
    DestroyWindow(besitzer);
}
