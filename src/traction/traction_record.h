// The traction record: its whole state, private to the module, handed by the frame step to the
// steam and diesel models; its tests read it here. Also the engine parts the models share.
#pragma once

#include <cstdint>

#include "cab/vocabulary.h"
#include "traction/traction.h"

// The engine's gear loop after a gear change.
enum GearLoopWait : uint8_t {
  kGearLoopNotWaiting = 0,  // no restart pending
  kGearLoopWaiting = 1,     // silent since gearLoopTimer; loops again after its delay
};

const int32_t kMsPerMinute = 60000;  // the boiling rate counts units per minute

struct TractionRecord {
  int32_t hpTemperature;       // engine temperature, never below 0
  int32_t tempTimer;           // 1-second timer of the heating
  int32_t fuel;                // diesel fuel, or the steam tender's water
  bool fuelFill;               // the train stands in a fuelling zone
  bool fuelCut;                // the tank ran dry: the engine stands, power held at notch 0
  int32_t fuelTimer;           // 1-second timer of consumption and filling
  int32_t gear;                // engaged gear, 0 neutral to `gears`
  int32_t gears;               // number of gears: the number of values of `gearratios`
  int32_t gear_maxPower;       // power limit notch the gearbox holds
  GearLoopWait gearLoop;       // whether the gear loop waits to restart
  int32_t gearLoopTimer;       // tOn timer of that wait: the time (ms) of the gear change
  int32_t autoTimer;           // 2-second timer of automatic gear changes
  int32_t cutoff;              // steam cut-off, percent; negative in reverse
  int32_t cutoffChangeTimer;   // rate limit of the cut-off keys
  int32_t stm_reverser;        // reverser position (-1, 0, 1) the steam engine holds
  int32_t stm_power;           // power limit notch the steam engine holds
  int32_t stm_boilerPressure;  // boiler pressure
  int32_t stm_boilerWater;     // boiler water level
  int32_t boilingTimer;        // timer of water turning into steam
  int32_t drainTimer;          // 1-second timer of steam use
  bool stm_injector;           // the injector is feeding
  int32_t injectorTimer;       // 1-second timer of the injector
  bool stm_blowOff;            // the safety valves are blowing off
  bool automatic;              // automatic cut-off and injector (steam) or gears (diesel)
  NotchValues ammeterReadings;  // the ammeter's reading per power notch, kept at the start
  // The notches the boiler pressure fed when last worked out, and for which pressure and number
  // of power notches; the options it reads stay as they are through a run.
  bool pressurePowerKnown;      // the three below hold a result
  int32_t pressurePowerFrom;    // the boiler pressure it was worked out for
  int32_t pressurePowerNotches; // the vehicle's power notches it was worked out for
  int32_t pressurePower;        // the notches that pressure feeds
  int32_t boilingPeriod;        // ms from one unit of water boiled to the next, kept at the start
};

// The module's record, for its tests.
TractionRecord& TractionForTesting();

// The diesel steps of one frame (traction_diesel.cpp) and the steam steps (traction_steam.cpp).
void RunDiesel(TractionRecord& t);
void RunSteam(TractionRecord& t);

// ---- Engine parts shared by the models (traction_engine.cpp) ----

// The notch the heating and fuel tables are read at: the power notch while the train is
// driven (reverser set, no brake), otherwise 0.
int32_t NotchIndex();
// Moves a power limit: releases the old notch and applies the new one when they differ.
void MovePowerLimit(int32_t& held, int32_t wanted);
// Heats (or cools) the engine by `delta`, never below 0: thermometer, overheat warning and cut.
void IncreaseTemperature(TractionRecord& t, int delta);
// Engages `newGear`: the change sound, the gear indicator and the pause of the gear loop.
void ChangeGear(TractionRecord& t, int newGear);
