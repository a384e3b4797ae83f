#pragma once
// A fresh folder below the test prefix's temp folder, removed with everything in it at the end.

#include <windows.h>

#include <string>

class TempOrdner {
public:
    TempOrdner();
    ~TempOrdner();
    TempOrdner(const TempOrdner&) = delete;
    TempOrdner& operator=(const TempOrdner&) = delete;

    const std::wstring& Pfad() const { return pfad_; }
    // Writes a file below the folder and returns its full path.
    std::wstring Datei(const std::wstring& name, const std::string& inhalt = "x") const;

private:
    std::wstring pfad_;
};
