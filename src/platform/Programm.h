#pragma once
// The program's identity (title and version) and the few program-wide values that more than
// one layer reads. Lives at the bottom so that every layer can use it.

#include <string>
#include <vector>

namespace Programm {

const std::wstring& Titel();   // "Ladewerk"
int Major();
int Minor();
int Revision();
std::wstring VersionKurz();    // "1.10": captions and the version written into packages
std::wstring VersionLang();    // "1.10.50"
std::wstring Rechtshinweis();  // the legal notice of the version resource

// Ends the process, unless something else has been put in its place: test programs record
// the end instead, so that a fault which would end the program fails the test that caused it
// and the tests after it still run.
using Prozessende = void (*)();
void ProzessendeSetzen(Prozessende ende);
void ProzessBeenden();

// Something the program writes only for a while (a partial copy, the working folder of an
// opening): held on the stack around the work that makes it. If Windows ends the program in the
// middle of that work (logoff, shutdown), ÜberbleibselLöschen removes it before the process goes.
class Überbleibsel {
public:
    explicit Überbleibsel(std::wstring pfad);
    ~Überbleibsel();
    Überbleibsel(const Überbleibsel&) = delete;
    Überbleibsel& operator=(const Überbleibsel&) = delete;

    // The handle the work writes through at the moment: closed first, or the file could not go.
    void OffenIn(void* handle) { offen_ = handle; }

private:
    friend void ÜberbleibselLöschen();
    std::wstring pfad_;
    void* offen_ = nullptr;
};

// Removes every Überbleibsel alive, newest first: a folder with the files directly in it. Only
// for the end of the process, since the work that holds them cannot go on afterwards.
void ÜberbleibselLöschen();

// Folder of the running program, without a trailing '\'; empty when the system cannot say.
std::wstring Ordner();

// Characters that package creation replaces in file names; filled once at start.
extern std::vector<std::wstring> UngültigeZeichen;

}  // namespace Programm
