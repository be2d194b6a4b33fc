// German train protection: PZB90 magnets, acknowledgement window and emergency braking.
#pragma once

#include <cstdint>

#include "cab/cab_system.h"
#include "cab/host.h"
#include "cab/indicator.h"
#include "config/fixed_wiring.h"

void InitDESafety(int brakeMode);
void DestroyDESafety();
void DESafety();
void SetDESafetyStatus(ATS_BEACONDATA beacon);
void DESafetyKeyPressed(int key);
void PZB90Emergency();

// This system's row of the table of cab systems.
extern const CabSystemRow kDESafetyRow;
