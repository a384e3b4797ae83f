#pragma once
// Runs a program of the Linux side when the program runs under Wine. Wine starts Unix programs
// but gives no process handle to wait on, so a shell runs the program and leaves its exit code
// in a file of this run. The program is looked up on the desktop session's PATH.

#include <optional>
#include <string>
#include <vector>

namespace UnixProgramm {

// The Unix path of a Windows path; empty when Wine knows none (or this is not Wine).
std::wstring Pfad(const std::wstring& windowsPfad);

struct Ablauf {
    unsigned long startfehler = 0;  // Windows error number when the shell could not be started
    std::optional<int> code;        // exit code, 127 when the shell cannot find the program;
                                    // nothing when it has not ended in time
};

// argumente[0] is the program. Waits at most wartezeitMs; the program's windows stay painted.
Ablauf Ausführen(const std::vector<std::wstring>& argumente, unsigned long wartezeitMs);

// One argument of a command line, quoted so that the usual splitting gives it back unchanged.
std::wstring Befehlszeilenargument(const std::wstring& argument);

}  // namespace UnixProgramm
