// German train protection: PZB90 magnets, acknowledgement window and emergency braking.
#pragma once

#include <cstdint>

#include "cab/host.h"
#include "cab/indicator.h"

// Beacon types of the PZB90 track magnets.
const int kBeaconPzbSignalMagnet = 49000;   // at a signal: limit by aspect, or a limit of its own
const int kBeaconPzbWarningMagnet = 49001;  // lamps and sound only, or a speed check

void InitDESafety();
void DestroyDESafety();
void DESafety();
void SetDESafetyStatus(ATS_BEACONDATA beacon);
void DESafetyKeyPressed(int key);
void PZB90Emergency();
