// The handle arbitration: every cab system places and withdraws demands on brake, power and
// reverser, and the handles returned to the host follow from all demands together.
#pragma once

#include <cstdint>

#include "cab/host.h"

extern int32_t reverserLock[3];  // demand counts for reverse, neutral, forward (index position + 1)
extern int32_t* powerLock;       // demand counts per power notch 0..PowerNotches; null when absent
extern int32_t* brakeLock;       // demand counts per brake notch 0..BrakeNotches + 1; null when absent
extern bool tractionInterlock;   // a brake notch above 0 has been applied since the power handle last moved
extern bool initialized;         // the demand tables have been created once

// Demands: the returned brake is the highest notch demanded, the power the lowest notch
// demanded, the reverser neutral before forward before reverse. Notches outside the vehicle's
// range are ignored.
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
// neutral, power 0, brake 0.
void InitHandles();
// Releases the demand tables.
void DestroyHandles();
