// Power gaps: pick-up points crossing gaps in the supply, and the reminder switch.
#pragma once

#include <cstdint>

#include "cab/cab_system.h"
#include "cab/host.h"
#include "config/fixed_wiring.h"

// Most gap records kept at once: beyond it further announced gaps are not tracked, so a flood of
// absurd beacons cannot grow the list (walked every frame) without limit.
const int kMaxGapRecords = 1024;

void InitPowerControl(int brakeMode);
void DestroyPowerControl();
void PowerBeacon(ATS_BEACONDATA beacon);
void CreateGap(int length);
void PowerControl();
void PowerControlKeyPressed(int key);

// This system's row of the table of cab systems.
extern const CabSystemRow kPowerControlRow;
