#include "Laufwerk.h"

#include "UnixProgramm.h"

#include <windows.h>

#include <cstdlib>
#include <optional>

namespace {

// A command of the Linux side; its exit code, nothing when it never ended.
std::optional<int> UnixBefehl(const std::string& befehl) {
    return UnixProgramm::Ausführen({L"sh", L"-c", std::wstring(befehl.begin(), befehl.end())}, 30000).code;
}

}  // namespace

Laufwerk::Laufwerk(wchar_t buchstabe, int megabyte, const std::wstring& ordnerAufC) : buchstabe_(buchstabe) {
    const char* wine = std::getenv("WINEPREFIX");
    const std::string präfix = wine ? wine : "";
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
