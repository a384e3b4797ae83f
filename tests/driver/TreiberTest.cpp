#include "Treiber.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <future>
#include <thread>
#include <tuple>

using namespace Treiber;

namespace {

constexpr DWORD kFrist = 10000;
constexpr wchar_t kTitel[] = L"Treiber-Testfenster";
constexpr wchar_t kKindTitel[] = L"Treiber-Kindfenster";
const std::wstring kLangerText = std::wstring(600, L'ä') + L" Ende";

enum : int { kJa = 101, kNein, kÖffnen, kSpäter, kVersteckt, kText };
std::array<std::atomic<int>, kText - kJa> gKlicks;
std::atomic<int> gAntwort;

template <class Bedingung>
bool Bis(Bedingung erfüllt) {
    for (const ULONGLONG ende = GetTickCount64() + kFrist; GetTickCount64() < ende; Sleep(10))
        if (erfüllt()) return true;
    return false;
}

LRESULT CALLBACK Prozedur(HWND hwnd, UINT nachricht, WPARAM w, LPARAM l) {
    if (nachricht == WM_COMMAND && HIWORD(w) == BN_CLICKED && LOWORD(w) >= kJa && LOWORD(w) < kText) {
        ++gKlicks[LOWORD(w) - kJa];
        if (LOWORD(w) == kÖffnen)
            gAntwort = MessageBoxW(hwnd, L"Datei „Grüße.txt“ öffnen?", L"Treiber-Frage", MB_YESNO);
        return 0;
    }
    if (nachricht == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, nachricht, w, l);
}

HWND FensterZeigen(const wchar_t* titel) {
    const HINSTANCE modul = GetModuleHandleW(nullptr);
    WNDCLASSW klasse{};
    klasse.lpfnWndProc = Prozedur;
    klasse.hInstance = modul;
    klasse.lpszClassName = L"TreiberTest";
    RegisterClassW(&klasse);
    const HWND hwnd = CreateWindowW(L"TreiberTest", titel, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 600, 200,
                                    nullptr, nullptr, modul, nullptr);
    const std::tuple<const wchar_t*, const wchar_t*, DWORD> kKinder[] = {
        {L"BUTTON", L"&Ja", WS_VISIBLE},        {L"BUTTON", L"Nein", WS_VISIBLE},
        {L"BUTTON", L"&Öffnen", WS_VISIBLE},    {L"BUTTON", L"Später", WS_VISIBLE | WS_DISABLED},
        {L"BUTTON", L"Versteckt", 0},           {L"STATIC", kLangerText.c_str(), WS_VISIBLE}};
    INT_PTR id = kJa;
    for (const auto& [art, text, stil] : kKinder) {
        CreateWindowW(art, text, WS_CHILD | stil, (id - kJa) * 90, 10, 80, 30, hwnd, reinterpret_cast<HMENU>(id), modul,
                      nullptr);
        ++id;
    }
    return hwnd;
}

void Nachrichtenschleife() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The window lives on a thread of its own that pumps messages, as the program's window would.
class Fenster : public ::testing::Test {
protected:
    Fenster() {
        for (auto& k : gKlicks) k = 0;
        gAntwort = 0;
    }
    // WM_QUIT also ends a message box left open by a failed test.
    ~Fenster() override {
        PostThreadMessageW(GetWindowThreadProcessId(hwnd_, nullptr), WM_QUIT, 0, 0);
        faden_.join();
    }
    void SetUp() override { ASSERT_NE(hwnd_, nullptr); }

    std::promise<HWND> bereit_;
    std::thread faden_{[this] {
        const HWND hwnd = FensterZeigen(kTitel);
        bereit_.set_value(hwnd);
        if (hwnd) Nachrichtenschleife();
    }};
    const HWND hwnd_ = bereit_.get_future().get();
};

TEST_F(Fenster, WartenVerlangtGenauenTitelUndSichtbarkeit) {
    EXPECT_EQ(FensterWarten(kTitel, kFrist, GetCurrentProcessId()), hwnd_);
    for (const wchar_t* titel : {L"Treiber-Test", L"treiber-testfenster", L"Treiber-Testfenster "})
        EXPECT_EQ(FensterWarten(titel, 100), nullptr) << titel;
    ShowWindowAsync(hwnd_, SW_HIDE);
    EXPECT_TRUE(FensterVerschwindenWarten(hwnd_, kFrist));
    EXPECT_EQ(FensterWarten(kTitel, 100), nullptr);
}

TEST_F(Fenster, KnopfKlickenVergleichtOhneMnemonikUndGroßschreibung) {
    const std::pair<const wchar_t*, int> kFälle[] = {
        {L"Ja", kJa}, {L"ja", kJa},         {L"&JA", kJa},       {L"NEIN", kNein},         {L"J", 0},
        {L"Ja ", 0},  {L"Später", 0}, {L"Versteckt", 0}, {kLangerText.c_str(), 0}, {L"", 0}};
    for (const auto& [text, id] : kFälle) {
        const int vorher = id ? gKlicks[id - kJa].load() : 0;
        EXPECT_EQ(KnopfKlicken(hwnd_, text), id != 0) << text;
        EXPECT_TRUE(id == 0 || Bis([&] { return gKlicks[id - kJa] > vorher; })) << text;
    }
}

TEST_F(Fenster, TexteDerSteuerelemente) {
    const std::pair<int, std::optional<std::wstring>> kFälle[] = {
        {kJa, L"&Ja"}, {kVersteckt, L"Versteckt"}, {kText, kLangerText}, {999, std::nullopt}};
    for (const auto& [id, soll] : kFälle) EXPECT_EQ(SteuerelementText(hwnd_, id), soll) << id;
    EXPECT_EQ(AlleTexte(hwnd_), (std::vector<std::wstring>{L"&Ja", L"Nein", L"&Öffnen", L"Später", kLangerText}));
}

TEST_F(Fenster, KlickÖffnetModaleMeldungOhneZuBlockieren) {
    ASSERT_TRUE(KnopfKlicken(hwnd_, L"öffnen"));
    const HWND box = FensterWarten(L"Treiber-Frage", kFrist, GetCurrentProcessId());
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(KnopfKlicken(hwnd_, L"Ja")) << "das Fenster hinter der Meldung ist gesperrt";

    const auto eigene = FensterAuflisten(GetCurrentProcessId());
    EXPECT_TRUE(std::ranges::all_of(eigene, [](auto& f) { return f.prozessId == GetCurrentProcessId(); }));
    const auto info = std::ranges::find(eigene, box, &FensterInfo::hwnd);
    ASSERT_NE(info, eigene.end());
    EXPECT_EQ(info->klasse, L"#32770");
    const auto texte = AlleTexte(box);
    EXPECT_NE(std::ranges::find(texte, L"Datei „Grüße.txt“ öffnen?"), texte.end());

    EXPECT_FALSE(KnopfKlicken(box, L"OK"));
    const auto nein = SteuerelementText(box, IDNO);
    ASSERT_TRUE(nein);
    EXPECT_TRUE(KnopfKlicken(box, *nein));
    EXPECT_TRUE(FensterVerschwindenWarten(box, kFrist));
    EXPECT_TRUE(Bis([] { return gAntwort == IDNO; }));
}

// Not a test: the child process the two tests below drive. Its exit code tells the parent
// how often "Nein" was clicked.
TEST(Prozess, DISABLED_Kind) {
    FensterZeigen(kKindTitel);
    Nachrichtenschleife();
    ExitProcess(static_cast<UINT>(gKlicks[kNein - kJa].load()));
}

std::optional<Prozess> KindStarten() {
    std::wstring exe(128, L'\0');
    while (GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size())) >= exe.size())
        exe.resize(exe.size() * 2);
    exe.resize(wcslen(exe.c_str()));
    return Prozess::Starten(exe, L"--gtest_also_run_disabled_tests --gtest_filter=Prozess.DISABLED_Kind");
}

TEST(Prozess, FensterEinesAnderenProzessesBedienen) {
    auto kind = KindStarten();
    ASSERT_TRUE(kind);
    const HWND hwnd = FensterWarten(kKindTitel, kFrist, kind->Id());
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(FensterWarten(kKindTitel, 0, GetCurrentProcessId()), nullptr);
    EXPECT_EQ(SteuerelementText(hwnd, kText), kLangerText);
    EXPECT_TRUE(KnopfKlicken(hwnd, L"nein"));
    // Posted after the click, so the child handles the click first.
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    DWORD code = 0;
    EXPECT_TRUE(kind->EndeWarten(kFrist, &code));
    EXPECT_EQ(code, 1u);
}

TEST(Prozess, ZerstörungBeendetLaufendenProzess) {
    std::unique_ptr<void, decltype(&CloseHandle)> kopie(nullptr, &CloseHandle);
    {
        auto kind = KindStarten();
        ASSERT_TRUE(kind);
        HANDLE roh = nullptr;
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), kind->Handle(), GetCurrentProcess(), &roh,
                                    SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0));
        kopie.reset(roh);
        ASSERT_NE(FensterWarten(kKindTitel, kFrist, kind->Id()), nullptr);
    }
    DWORD code = 0;
    EXPECT_TRUE(ProzessEndeWarten(kopie.get(), 0, &code));
    EXPECT_EQ(code, kBeendetCode);
}

TEST(Pfad, UnixPfadNachWindows) {
    const std::pair<std::string, std::wstring> kFälle[] = {
        {"/a/b c", L"Z:\\a\\b c"}, {"/tmp/Grüße/ä.txt", L"Z:\\tmp\\Grüße\\ä.txt"}, {"/", L"Z:\\"},
        {"rel/x", L"rel\\x"},      {"", L""}};
    for (const auto& [ein, soll] : kFälle) EXPECT_EQ(UnixPfadNachWindows(ein), soll) << ein;
}

}  // namespace
