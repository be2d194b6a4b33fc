// The handle arbitration: every cab system places and withdraws demands on brake, power and
// reverser, and the handles returned to the host follow from all demands together.
#pragma once

#include <cstdint>

#include "cab/host.h"
#include "config/option_kinds.h"

// Demands are counted in sets: one common set, used by the driver's handles, the U-Bahn cab and
// every system without a set of its own, and one set of its own for each further system that
// runs. The returned brake is the highest notch with a count above 0 in any set, the power the
// lowest, the reverser neutral if demanded in any set, then forward, then reverse; with no
// demand anywhere a handle stays where it was. Notches outside the vehicle's range are ignored.
// Each call below counts in the set chosen last by UseDemandsOf.
void OperateReverser(int position, bool apply);
void OperatePower(int notch, bool apply);
void OperateBrake(int notch, bool apply);
// A demand moved from one notch to another: the same as withdrawing `from` and then placing
// `to`, in one step.
void MovePowerDemand(int from, int to);
void MoveBrakeDemand(int from, int to);

// The driver's handles: each moves the driver's own demand.
void SetReverserHandle(int position);
void SetPowerHandle(int notch);
void SetBrakeHandle(int notch);

// The emergency notch of the vehicle (BrakeNotches + 1), computed without overflow: a vehicle
// claiming INT32_MAX notches gets -1, which every demand table ignores.
int EmergencyBrakeNotch();

// New demand tables for the vehicle as it is described now, with the driver's handles at
// neutral, power 0, brake 0; only the common set, and it is the one counted in.
void InitHandles();
// A set of its own for a further cab system that runs (not the U-Bahn cab, not the shell),
// made after InitHandles for the vehicle as it is described now.
void GiveOwnDemands(CabSystem system);
// The set counted in from now on: the system's own if it has one, otherwise the common set.
void UseDemandsOf(CabSystem system);
// The same in two steps, for a caller that switches sets every frame: the set a system counts in
// (valid until the next InitHandles, GiveOwnDemands or DestroyHandles), and counting in it.
struct DemandSet;
DemandSet* DemandsOf(CabSystem system);
void CountIn(DemandSet* set);
// Releases the demand tables.
void DestroyHandles();
