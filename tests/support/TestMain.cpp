#include "Programm.h"
#include "Programmende.h"

#include <gtest/gtest.h>

namespace {
ErwartetesProgrammende* erwartet = nullptr;
}

ErwartetesProgrammende::ErwartetesProgrammende() { erwartet = this; }

ErwartetesProgrammende::~ErwartetesProgrammende() { erwartet = nullptr; }

void ErwartetesProgrammende::Aufzeichnen() {
    if (erwartet)
        ++erwartet->anzahl_;
    else
        ADD_FAILURE() << "Das Programm hätte sich hier beendet, mitten im Test";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    Programm::ProzessendeSetzen(&ErwartetesProgrammende::Aufzeichnen);
    return RUN_ALL_TESTS();
}
