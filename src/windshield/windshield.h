// Windscreen wipers and rain drops.
#pragma once

#include <cstdint>

#include "cab/host.h"

// Beacon type that sets the rain; Optional = intensity 0 (dry) to 100.
const int kRainBeacon = 21;

const int kMaxDrops = 256;  // drop elements at most: the whole panel array

// Wiper switch positions.
enum WiperSwitch : int32_t {
  kWiperOff = 0,           // the wiper rests
  kWiperIntermittent = 1,  // one stroke after each pause of `wiperdelay` ms
  kWiperContinuous = 2,    // one stroke after another
};

void InitWindshield();
void DestroyWindshield();
void AnimateWindshield();
void WindshieldKeyPressed(int key);
void WindshieldBeacon(ATS_BEACONDATA beacon);
