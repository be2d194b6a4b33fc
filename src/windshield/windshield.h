// Windscreen wipers and rain drops.
#pragma once

#include <cstdint>

#include "cab/cab_system.h"
#include "cab/host.h"
#include "config/fixed_wiring.h"

const int kMaxDrops = 256;  // drop elements at most: the whole panel array

// Wiper switch positions.
enum WiperSwitch : int32_t {
  kWiperOff = 0,           // the wiper rests
  kWiperIntermittent = 1,  // one stroke after each pause of `wiperdelay` ms
  kWiperContinuous = 2,    // one stroke after another
};

void InitWindshield(int brakeMode);
void DestroyWindshield();
void AnimateWindshield();
void WindshieldKeyPressed(int key);
void WindshieldBeacon(ATS_BEACONDATA beacon);

// This system's row of the table of cab systems.
extern const CabSystemRow kWindshieldRow;
