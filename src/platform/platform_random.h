// The library's pseudo-random numbers: the sequence of the Windows C runtime's rand, drawn by the
// library itself, so that the Windows and the Linux build give the same numbers.
#pragma once

#include <cstdint>

const int kPlatformRandomMax = 32767;  // the largest number PlatformRandom gives

// The next number, 0 to kPlatformRandomMax. The sequence is that of the Windows C runtime's rand
// never seeded: it starts as if seeded with 1 when the library is loaded and is never seeded by
// the library, so a host's own use of its runtime's generator does not change the library's draws.
int PlatformRandom();
// Starts the sequence anew as the runtime's srand(seed) would; for tests.
void PlatformSeedRandom(uint32_t seed);
