#pragma once
// The chains the benchmarks measure, and the program state at the stages of a
// run that they start from.
#include <string>
#include <vector>

#include "state/ProgramState.h"
#include "support/ChainGenerator.h"
#include "rules/Platform.h"

namespace bench {

// A realistic chain of n triangles: coordinates of millions of metres, sides
// of about 3 km, closing on C with an external azimuth and an orientation
// angle (all three conditions), every step an advance. A session over it
// answers 7n prompts (about 115 000 for n = 16382).
// noiseMm < 0: BenchNoiseMm(n).
chain::GeneratedChain BenchChain(int n, double noiseMm = -1);

// The side noise of the benchmark chains [mm]: 2 mm up to 1000 triangles, less
// beyond, so that the misclosures stay in the range one linearised adjustment
// removes (the closure check refuses the result otherwise). The lateral error
// of a chain grows about as n^1.5, so the noise shrinks as (1000/n)^1.5.
double BenchNoiseMm(int n);

// A platform that answers nothing and shows nothing: the computation phases
// write their fields into it.
class SilentPlatform : public Platform {
public:
    std::optional<std::string> PromptBox(const std::string&) override { return std::nullopt; }
    std::size_t QuestionBox(const std::string&, const std::vector<std::string>& buttons) override
    {
        return buttons.empty() ? 0 : buttons.size() - 1;
    }
    void MessageBox(const std::string&) override {}
    void SetFieldText(int, const std::string&) override {}
    void PrintReport(const Report&) override {}
};

// The state after every input of the run was entered (the entry phases
// replayed from the chain's answers), ready for the computation.
ProgramState EnteredState(const chain::GeneratedChain& c);

// The computation of a run, approximate chain to adjusted coordinates and
// their closure on C.
void RunComputation(ProgramState& s, Platform& p);

// The state after a whole completed run, as the print command reads it.
ProgramState CompletedState(const chain::GeneratedChain& c);

// Occurrences of the elementary functions in one RunComputation of the chain,
// counted from the code of the phases (the cosine of an exact right angle, which
// the phases take as a limit, is counted too).
struct ElementaryCounts {
    long sqrt = 0, atan = 0, sin = 0, cos = 0;
    long Total() const { return sqrt + atan + sin + cos; }
};
ElementaryCounts CountElementaryFunctions(const ProgramState& entered);

}  // namespace bench
