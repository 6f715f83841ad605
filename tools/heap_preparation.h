#pragma once
// The heap of a batch command prepared once at its start for the observation
// file it is about to read: one piece, on huge pages where the file is large.
// Only the command's main calls it; the libraries allocate as usual.

// Prepares the heap for reading, adjusting and writing the observation file
// at `path` (nothing where the file cannot be looked at). Call it once, before
// the file is read.
void PrepareHeapFor(const char* path);
