// German train protection: PZB90 magnets, acknowledgement window and emergency braking.
#pragma once

#include <cstdint>

#include "cab/cab_system.h"
#include "cab/host.h"
#include "cab/indicator.h"
#include "config/fixed_wiring.h"

extern bool active;          // the driver has switched PZB90 on; until then 45 km/h is the limit
extern bool emergency;       // the PZB emergency brake is applied
extern Indicator bluelamp;   // the blue lamp: flashing while off or braking, steady otherwise
extern int32_t pzb90timer;   // kTimerStopped, or the time (ms) the acknowledgement window opened

void InitDESafety(int brakeMode);
void DestroyDESafety();
void DESafety();
void SetDESafetyStatus(ATS_BEACONDATA beacon);
void DESafetyKeyPressed(int key);
void PZB90Emergency();

// This system's row of the table of cab systems.
extern const CabSystemRow kDESafetyRow;
