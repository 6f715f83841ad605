// Every first touch of a 4 KiB page costs a fault, some microseconds on a
// virtual machine, and a chain of 16382 triangles touches some 11 000 pages of
// heap (about 42 bytes of heap for every byte of its file with --json). So the
// heap grows once, by what the file will need, and where that is more than a
// huge page the new part starts on a 2 MiB boundary and is marked for
// transparent huge pages: one fault then maps 2 MiB, and the processor's
// address translation has 512 times fewer pages to walk. Addresses reserved
// and never touched cost nothing, so the estimate is generous. A small file
// only gets the one growth; its peak stays that of its work.
#include "heap_preparation.h"

#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t HEAP_BYTES_PER_FILE_BYTE = 64;
constexpr std::uintptr_t HUGE_PAGE = std::uintptr_t{2} << 20;       // [bytes]
constexpr std::size_t DEFAULT_TOP_PAD = 128 << 10;                  // glibc's [bytes]
constexpr int MMAP_THRESHOLD_MAX = 32 << 20;                        // glibc's ceiling on 64 bits [bytes]
#ifdef MADV_COLLAPSE
constexpr int MADV_COLLAPSE_HUGE = MADV_COLLAPSE;
#else
constexpr int MADV_COLLAPSE_HUGE = 25;  // Linux 6.1; older kernels refuse it, which costs the small pages only
#endif
constexpr std::size_t GROWTH_REQUEST = 1 << 20;                     // more than the heap's first top [bytes]

std::uintptr_t AlignUp(std::uintptr_t a) { return (a + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1); }

}  // namespace

void PrepareHeapFor(const char* path)
{
    struct stat file {};
    if (stat(path, &file) != 0 || file.st_size <= 0) return;
    const std::size_t need = static_cast<std::size_t>(file.st_size) * HEAP_BYTES_PER_FILE_BYTE;
    if (need > (std::size_t{1} << 30)) return;  // a file this large is not a chain; the usual heap
    // the large arrays of a long chain in the heap too, and nothing handed
    // back to the system before the end
    mallopt(M_MMAP_THRESHOLD, MMAP_THRESHOLD_MAX);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    if (need < HUGE_PAGE) {
        mallopt(M_TOP_PAD, static_cast<int>(need));
        return;
    }
    // The break moved up to the next 2 MiB boundary: malloc takes its next
    // growth from there (the skipped addresses are never touched).
    const auto brk = reinterpret_cast<std::uintptr_t>(sbrk(0));
    if (brk == std::uintptr_t(-1) || sbrk(static_cast<intptr_t>(AlignUp(brk) - brk)) == reinterpret_cast<void*>(-1))
        return;
    mallopt(M_TOP_PAD, static_cast<int>(need));
    void* volatile grow = std::malloc(GROWTH_REQUEST);  // volatile: a malloc freed unused may be left out
    // and its end moved up to the next boundary, so that the last huge page
    // lies whole in the heap
    const auto start = AlignUp(brk), grown = reinterpret_cast<std::uintptr_t>(sbrk(0));
    if (grown != std::uintptr_t(-1) && sbrk(static_cast<intptr_t>(AlignUp(grown) - grown)) != reinterpret_cast<void*>(-1) &&
        madvise(reinterpret_cast<void*>(start), AlignUp(grown) - start, MADV_HUGEPAGE) == 0)
        // malloc wrote its bookkeeping into the first 2 MiB before they were
        // marked, which mapped them in small pages: made one huge page now
        madvise(reinterpret_cast<void*>(start), HUGE_PAGE, MADV_COLLAPSE_HUGE);
    std::free(grow);
    mallopt(M_TOP_PAD, DEFAULT_TOP_PAD);
}
