#include "UArgumentosTeste.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<std::string> Originais;
std::vector<char*> Ponteiros;
}

int ArgcOriginal() { return static_cast<int>(Originais.size()); }
char** ArgvOriginal() { return Ponteiros.data(); }

int main(int argc, char** argv)
{
    // GoogleTest takes its own flags out of argv; the platform tests compare against the
    // command line as the program received it.
    Originais.assign(argv, argv + argc);
    for (std::string& argumento : Originais) Ponteiros.push_back(argumento.data());
    Ponteiros.push_back(nullptr);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
