// bench_answers N [NOISE_MM]: writes the operator's answers for one run over
// the benchmark chain of N triangles, one per line, for trilat-replay.
// NOISE_MM: the side noise instead of the benchmarks' own.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "BenchChains.h"

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: bench_answers N [NOISE_MM] > answers\n");
        return 2;
    }
    const int n = std::atoi(argv[1]);
    try {
        const double noise = argc == 3 ? std::atof(argv[2]) : bench::BenchNoiseMm(n);
        const chain::GeneratedChain c = bench::BenchChain(n, noise);
        std::string out;
        for (const std::string& line : c.answers) out.append(line).append("\n");
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fprintf(stderr, "bench_answers: N = %d, noise %.4g mm, %zu answers\n", n, noise, c.answers.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_answers: %s\n", e.what());
        return 1;
    }
    return 0;
}
