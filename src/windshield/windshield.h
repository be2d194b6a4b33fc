// Windscreen wipers and rain drops.
#pragma once

#include <cstdint>

#include "cab/cab_system.h"
#include "cab/host.h"
#include "config/fixed_wiring.h"

const int kMaxDrops = 256;  // drop elements at most: the whole panel array

// Wiper switch positions.
const int kWiperOff = 0;
const int kWiperIntermittent = 1;
const int kWiperContinuous = 2;

extern int32_t wiper;           // step timer of the wiper motor (tOn); 0 = not started
extern int32_t holdWiper;       // pause timer of the intermittent mode; kTimerStopped = not running
extern int32_t wiperPosition;   // wiper angle as 0..100
extern int32_t wiperDirection;  // change of wiperPosition per step: -1, 0 or +1
extern int32_t wiperMode;       // switch: off, intermittent, continuous
extern int32_t rain;            // rain intensity 0..100; 0 = dry
extern int32_t dropTimer;       // timer of the next drop (tOn)
extern int32_t dropInterval;    // ms until the next drop
// Panel indices of the drops: entries 0..unusedDrops-1 are dry places, the rest up to
// numberofdrops-1 are drops on the glass.
extern int32_t dropList[kMaxDrops];
extern int32_t dropListPos[kMaxDrops];  // for drop i, the entry of dropList that holds it
extern int32_t unusedDrops;             // drops not on the glass

void InitWindshield(int brakeMode);
void DestroyWindshield();
void AnimateWindshield();
void WindshieldKeyPressed(int key);
void WindshieldBeacon(ATS_BEACONDATA beacon);

// This system's row of the table of cab systems.
extern const CabSystemRow kWindshieldRow;
