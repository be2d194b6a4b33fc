// The U-Bahn cab as one cab system: its start, its frame, its key chain and its beacons.
#pragma once

#include "cab/host.h"

// Every device's start state, the counters read from their files. The handle arbitration is
// started by the entry points before it, whether the cab runs or not.
void StartUBahnCab(int brakeMode);
// The sixteen frame steps, in an order they rely on: the reverser set by UBahnReverser may be
// forced to neutral by UBahnBremse in the same frame; the pipe left by bremsleitung is read by
// the control steps of the next frame.
void UBahnFrame();
// A key down or up offered to every U-Bahn handler, in the order of config/fixed_wiring.def.
void UBahnKeyDown(int key);
void UBahnKeyUp(int key);
// A beacon: doors, passengers, rail joints, curves, destination, trip stop and beacon sounds.
void UBahnBeacon(ATS_BEACONDATA beacon);
// The host's horn: the announcement logic hears it.
void UBahnHorn(int type);
