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

// ---- State (traction.cpp) ----

extern int32_t hpTemperature;       // engine temperature, never below 0
extern int32_t tempTimer;           // 1-second timer of the heating
extern int32_t fuel;                // diesel fuel, or the steam tender's water
extern bool fuelFill;               // the train stands in a fuelling zone
extern int32_t fuelTimer;           // 1-second timer of consumption and filling
extern int32_t gear;                // engaged gear, 0 neutral to `gears`
extern int32_t gears;               // number of gears: the number of values of `gearratios`
extern int32_t gear_maxPower;       // power limit notch the gearbox holds
extern int32_t gearLoopTimer;       // delay before the gear loop restarts; kTimerStopped when not running
extern int32_t autoTimer;           // 2-second timer of automatic gear changes
extern int32_t cutoff;              // steam cut-off, percent; negative in reverse
extern int32_t cutoffChangeTimer;   // rate limit of the cut-off keys
extern int32_t stm_reverser;        // reverser position (-1, 0, 1) the steam engine holds
extern int32_t stm_power;           // power limit notch the steam engine holds
extern int32_t stm_boilerPressure;  // boiler pressure
extern int32_t stm_boilerWater;     // boiler water level
extern int32_t boilingTimer;        // timer of water turning into steam
extern int32_t drainTimer;          // 1-second timer of steam use
extern bool stm_injector;           // the injector is feeding
extern int32_t injectorTimer;       // 1-second timer of the injector
extern bool stm_blowOff;            // the safety valves are blowing off
extern bool automatic;              // automatic cut-off and injector (steam) or gears (diesel)

// ---- Operations ----

void InitTraction(int brakeMode);
void DestroyTraction();
void IncreaseTemperature(int delta);
void ChangeGear(int newGear);
void TractionSetData(ATS_BEACONDATA beacon);
void TractionKeyPressed(int key);
void RunTraction();

// The diesel steps of one frame (traction_diesel.cpp) and the steam steps (traction_steam.cpp).
void RunDiesel();
void RunSteam();

// ---- Arithmetic shared by the model files (traction.cpp) ----

// The notch the heating and fuel tables are read at: the power notch while the train is
// driven (reverser set, no brake), otherwise 0.
int32_t NotchIndex();
// Moves a power limit: releases the old notch and applies the new one when they differ.
void MovePowerLimit(int32_t& held, int32_t wanted);

// This system's row of the table of cab systems.
extern const CabSystemRow kTractionRow;
