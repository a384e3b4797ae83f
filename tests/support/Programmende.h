#pragma once
// No test program ever ends the process: the main() of every test executable puts a recorder in
// place of the program's end. An end that the running test does not expect fails that test; a
// test that expects one holds an ErwartetesProgrammende and reads how often the program ended.

class ErwartetesProgrammende {
public:
    ErwartetesProgrammende();
    ~ErwartetesProgrammende();
    ErwartetesProgrammende(const ErwartetesProgrammende&) = delete;
    ErwartetesProgrammende& operator=(const ErwartetesProgrammende&) = delete;

    [[nodiscard]] int Anzahl() const { return anzahl_; }

    // What main() puts in place of the process end.
    static void Aufzeichnen();

private:
    int anzahl_ = 0;
};
