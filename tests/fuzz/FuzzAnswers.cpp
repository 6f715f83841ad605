// Fuzz target: the input bytes are the operator's answers, one per line; the
// real run sequence runs against them as trilat-replay does.
#include <cstdio>
#include <cstdlib>

#include "support/AnswerProperties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string violated = CheckAnswerProperties(data, size);
    if (!violated.empty()) {
        std::fprintf(stderr, "property violated: %s\n", violated.c_str());
        std::abort();
    }
    return 0;
}
