// The brake pipe and the supply pipe and their pressures.
#pragma once

#include <cstdint>

extern double bremsleitungsdruck;       // brake-pipe pressure, kPa
extern double druck_hilfsvariable;      // kPa
extern double fuellleitungsdruck;       // supply-pipe pressure, kPa
extern double fuellleitungsdruck_hilf;  // kPa
extern int32_t luftbremstimer2;         // ms

const double kStartPipePressure = 300.0;   // kPa in the pipe at the start of a run: braked
const double kFullSupplyPressure = 500.0;  // kPa in the supply pipe at rest; also the pipe's ceiling
const double kPipeReleased = 490.0;        // kPa above which the brakes count as released

// Start of a run: the pipe braked, the supply pipe full, the next step due 50 ms from now.
void InitBrakePipe();
// A controller move: the next pipe step comes a full step after it.
void DelayPipeStep();
void bremsleitung();
