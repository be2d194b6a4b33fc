// The U-Bahn cab as one cab system: its start, its frame, its key chain and its beacons.
#pragma once

#include "cab/host.h"

// Every device's start state, the counters read from their files. The handle arbitration is
// started by the entry points before it, whether the cab runs or not.
void StartUBahnCab(int brakeMode);
// The sixteen frame steps (ubahn_cab.cpp).
void UBahnFrameSteps();
// Always inline and called from one place only, the frame cycle, so that the steps cost what
// they cost before they stood behind this interface.
__attribute__((always_inline)) inline void UBahnFrame() { UBahnFrameSteps(); }
// A key down or up offered to every U-Bahn handler, in the order of config/fixed_wiring.def.
void UBahnKeyDown(int key);
void UBahnKeyUp(int key);
// A beacon: doors, passengers, rail joints, curves, destination, trip stop and beacon sounds.
void UBahnBeacon(ATS_BEACONDATA beacon);
// The host's horn: the announcement logic hears it.
void UBahnHorn(int type);
