// Fuzz target: the input bytes are an observation file. Whatever it holds,
// the reader gives a record or an error; what it reads, it writes back to a
// file that reads to the same record.
#include <cstdio>
#include <cstdlib>

#include "support/FileProperties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string violated = CheckFileProperties(data, size);
    if (!violated.empty()) {
        std::fprintf(stderr, "property violated: %s\n", violated.c_str());
        std::abort();
    }
    return 0;
}
