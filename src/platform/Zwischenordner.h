#pragma once
// A fresh folder of this run below the user's temporary folder, for files the program writes
// only for a moment (the options file of a new package, the mail composer's answer). Nobody
// else writes there, and an installed program's own folder is read-only for normal users.

#include <string>

class Zwischenordner {
public:
    Zwischenordner();
    // Deletes the files directly inside (never a subfolder or a link), then the folder if empty.
    ~Zwischenordner();
    Zwischenordner(const Zwischenordner&) = delete;
    Zwischenordner& operator=(const Zwischenordner&) = delete;

    // Empty when the folder could not be made.
    [[nodiscard]] const std::wstring& Pfad() const { return pfad_; }

private:
    std::wstring pfad_;
};
