// A stand-in gcc for a fake tool-chain tree: "gcc -v" prints a real tool chain's configuration report to
// standard error, as gcc does; anything else fails like a gcc given no input file.
#include "StandinGccReport.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "-v") == 0)
    {
        std::fputs(standinGccReport, stderr);
        return 0;
    }
    std::fputs("gcc: fatal error: no input files\ncompilation terminated.\n", stderr);
    return 1;
}
