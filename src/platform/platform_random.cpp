// The library's own random generator: the linear congruential sequence of the Windows C runtime.
#include "platform/platform_random.h"

const uint32_t kRandomMultiplier = 214013;   // the runtime's factor
const uint32_t kRandomIncrement = 2531011;   // the runtime's addend
const int kRandomShift = 16;                 // the number is taken from the state's upper half

// The generator's state; a library never seeded starts as if seeded with 1.
static uint32_t randomState = 1;

int PlatformRandom() {
  randomState = randomState * kRandomMultiplier + kRandomIncrement;  // wraps modulo 2^32
  return static_cast<int>((randomState >> kRandomShift) & kPlatformRandomMax);
}

void PlatformSeedRandom(uint32_t seed) { randomState = seed; }
