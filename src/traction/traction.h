// Traction models: steam (cut-off, boiler, injector) and diesel (gears, fuel, temperature).
#pragma once

#include <cstdint>

#include "cab/cab_system.h"
#include "cab/host.h"
#include "config/fixed_wiring.h"

// Values of option `traction`.
const int kTractionSteam = 1;   // steam locomotive: cut-off, boiler, injector, tender water
const int kTractionDiesel = 2;  // diesel with a mechanical gearbox: fuel, gears, engine speed

const int kFuelZoneEntry = 1;        // Optional of the entry marker
const int32_t kOneSecond = 1000;     // ms: tick of heating, fuel, injector and steam use
const int32_t kAutoGearPeriod = 2000;  // ms between two automatic gear decisions
const int32_t kEngineSpeedFull = 1000;  // top of the engine speed scale (tachometer)

// ---- Operations ----

void InitTraction(int brakeMode);
void DestroyTraction();
void TractionSetData(ATS_BEACONDATA beacon);
void TractionKeyPressed(int key);
void RunTraction();


// This system's row of the table of cab systems.
extern const CabSystemRow kTractionRow;
