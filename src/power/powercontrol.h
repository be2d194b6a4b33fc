// Power gaps: pick-up points crossing gaps in the supply, and the reminder switch.
#pragma once

#include <cstdint>

#include "cab/cab_system.h"
#include "cab/host.h"
#include "config/fixed_wiring.h"

// Most gap records kept at once: beyond it further announced gaps are not tracked, so a flood of
// absurd beacons cannot grow the list (walked every frame) without limit.
const int kMaxGapRecords = 1024;

// One pick-up point's passage through one announced gap.
struct Gap {
  double start;    // track position (m) at which this pick-up point enters the gap
  int32_t length;  // gap length in m, taken as unsigned when added to start
  bool gapped;     // this pick-up point is inside the gap
  Gap* next;       // next record, or null
};

extern Gap* gaplist;            // the gap records in order of creation
extern int32_t gapRecords;      // number of records in gaplist
extern int32_t pickupPoints;    // number of pick-up points (values of powerpickuppoints)
extern int32_t gappedPickups;   // pick-up points now inside a gap (behaviours 1 and 3)
extern bool reminder;           // the driver's reminder switch is set
extern bool allPickupsCut;      // behaviour 3 holds its notch-0 limit

void InitPowerControl(int brakeMode);
void DestroyPowerControl();
void PowerBeacon(ATS_BEACONDATA beacon);
void CreateGap(int length);
void PowerControl();
void PowerControlKeyPressed(int key);

// This system's row of the table of cab systems.
extern const CabSystemRow kPowerControlRow;
