// Power gaps: pick-up points crossing gaps in the supply, and the reminder switch.
#pragma once

#include <cstdint>

#include "cab/host.h"

// Beacon type that announces a gap in the conductor rail or overhead line; Optional = length in m.
const int kPowerGapBeacon = 20;

// Most gap records kept at once: beyond it further announced gaps are not tracked, so a flood of
// absurd beacons cannot grow the list (walked every frame) without limit.
const int kMaxGapRecords = 1024;

void InitPowerControl();
void DestroyPowerControl();
void PowerBeacon(ATS_BEACONDATA beacon);
void CreateGap(int length);
void PowerControl();
void PowerControlKeyPressed(int key);
