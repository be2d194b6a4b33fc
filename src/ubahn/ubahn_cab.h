// The U-Bahn cab as one cab system: its start, its frame, its key chain and its beacons.
#pragma once

#include "cab/cab_system.h"
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
// The driver's controls: the host's horn reaches the announcement logic.
void UBahnDriverMoved(DriverControl control, int value);

// This system's row of the table of cab systems; its frame is UBahnFrame, called by the frame
// cycle itself.
extern const CabSystemRow kUBahnCabRow;
