#pragma once
// Answers of the operator for one adjustment run of a chain of equilateral
// triangles, one answer a line, in the order the run asks for them. The chain
// starts on A = (0, 0), B = (0, side); every new station is the apex of an
// equilateral triangle on the last two stations, away from the one before, so
// the measured sides fit the known coordinates and the chain closes.
#include <string>
#include <vector>

struct ChainOptions {
    int triangles = 2;
    bool withD = false;       // close on the known side C-D; otherwise on C alone
    bool wideNames = false;   // name every point with three full-width characters
    double side = 100.0;
};

std::vector<std::string> ChainAnswers(const ChainOptions& options);
