// trilat-chain-answers N [--with-d] [--wide-names]: writes the answers of one
// run over a chain of N equilateral triangles, one a line.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ChainAnswers.h"

int main(int argc, char** argv)
{
    ChainOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--with-d")
            options.withD = true;
        else if (arg == "--wide-names")
            options.wideNames = true;
        else
            options.triangles = std::atoi(argv[i]);
    }
    for (const std::string& line : ChainAnswers(options)) std::printf("%s\n", line.c_str());
    return 0;
}
