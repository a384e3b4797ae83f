#include "Laufwerk.h"

#include "Handles.h"

#include <windows.h>

namespace {

std::string Umgebung(const char* name) {
    const DWORD länge = GetEnvironmentVariableA(name, nullptr, 0);
    if (länge == 0) return {};
    std::string wert(länge, '\0');
    wert.resize(GetEnvironmentVariableA(name, wert.data(), länge));
    return wert;
}

std::optional<std::string> DateiLesen(const std::wstring& pfad) {
    const Handles::Datei datei(CreateFileW(pfad.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
    if (!datei) return std::nullopt;
    std::string inhalt(256, '\0');
    DWORD gelesen = 0;
    if (!ReadFile(datei.Get(), inhalt.data(), static_cast<DWORD>(inhalt.size()), &gelesen, nullptr)) return std::nullopt;
    inhalt.resize(gelesen);
    return inhalt;
}

}  // namespace

std::optional<int> UnixBefehl(const std::string& befehl) {
    static int nummer = 0;
    const std::string marke = "lw-befehl-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++nummer);
    const std::wstring markeWindows = L"C:\\" + std::wstring(marke.begin(), marke.end());
    // Written under a temporary name and renamed, so the marker is never seen half-written.
    const std::string skript = "(" + befehl + ") >/dev/null 2>&1; echo $? > \"$WINEPREFIX/drive_c/" + marke +
                               ".t\"; mv \"$WINEPREFIX/drive_c/" + marke + ".t\" \"$WINEPREFIX/drive_c/" + marke + "\"";
    // Wine splits the command line by the Windows rules before it starts the Linux program.
    std::string zeile = "Z:\\bin\\sh -c \"";
    for (const char z : skript) zeile += z == '"' ? std::string("\\\"") : std::string(1, z);
    zeile += '"';
    STARTUPINFOA start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION prozess{};
    if (!CreateProcessA(nullptr, zeile.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &prozess))
        return std::nullopt;
    if (prozess.hProcess) CloseHandle(prozess.hProcess);
    if (prozess.hThread) CloseHandle(prozess.hThread);
    for (int versuch = 0; versuch < 600; ++versuch) {
        if (const auto inhalt = DateiLesen(markeWindows)) {
            DeleteFileW(markeWindows.c_str());
            return std::atoi(inhalt->c_str());
        }
        Sleep(50);
    }
    return std::nullopt;
}

Laufwerk::Laufwerk(wchar_t buchstabe, int megabyte, const std::wstring& ordnerAufC) : buchstabe_(buchstabe) {
    const std::string präfix = Umgebung("WINEPREFIX");
    if (präfix.empty()) {
        fehler_ = "WINEPREFIX ist nicht gesetzt: kein Wine-Präfix, in dem ein Laufwerk angelegt werden kann";
        return;
    }
    const char klein = static_cast<char>(buchstabe | 0x20);
    ordner_ = präfix + "/lw-laufwerk-" + klein;
    if (ordnerAufC.size() > 3 && (ordnerAufC[0] | 0x20) == L'c' && ordnerAufC[1] == L':') {
        // Test folders have ASCII names.
        ordner_ = präfix + "/dosdevices/c:";
        for (const wchar_t z : ordnerAufC.substr(2)) ordner_ += z == L'\\' ? '/' : static_cast<char>(z);
    }
    const std::string verweis = präfix + "/dosdevices/" + klein + ":";
    if (UnixBefehl("mkdir -p '" + ordner_ + "'") != 0) {
        fehler_ = "Ordner " + ordner_ + " kann nicht angelegt werden";
        return;
    }
    if (megabyte > 0) {
        if (UnixBefehl("mount -t tmpfs -o size=" + std::to_string(megabyte) + "m lwtest '" + ordner_ + "'") != 0) {
            fehler_ = "tmpfs kann nicht eingehängt werden (mount braucht root und CAP_SYS_ADMIN)";
            return;
        }
        eingehängt_ = true;
    }
    if (UnixBefehl("ln -sfn '" + ordner_ + "' '" + verweis + "'") != 0) {
        fehler_ = "Laufwerksverweis " + verweis + " kann nicht angelegt werden";
        return;
    }
    bereit_ = GetFileAttributesW((Wurzel() + L"\\").c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!bereit_) fehler_ = "Laufwerk ist nach dem Anlegen nicht erreichbar";
}

bool Laufwerk::Schreibschützen() {
    return eingehängt_ && UnixBefehl("mount -o remount,ro '" + ordner_ + "'") == 0;
}

Laufwerk::~Laufwerk() {
    if (ordner_.empty()) return;
    const char klein = static_cast<char>(buchstabe_ | 0x20);
    std::string befehl = "rm -f \"$WINEPREFIX/dosdevices/" + std::string(1, klein) + ":\"";
    if (eingehängt_) befehl += "; umount '" + ordner_ + "' || umount -l '" + ordner_ + "'";
    UnixBefehl(befehl);
}
