// The cab miscellany's record: its whole state, private to the module; its tests read it here.
#pragma once

#include <cstdint>

// The horn lamp's time-out.
enum HornLamp : uint8_t {
  kHornLampIdle = 0,    // no blast since the start of the run
  kHornLampTiming = 1,  // hornTimer times the lamp from the last blast
};

struct MiscRecord {
  bool doorOpen;          // the doors are open
  int8_t doorSide;        // side whose doors are released: 0 none, -1 or 1 one side, 2 both
  HornLamp hornLamp;      // whether the horn lamp's time-out runs
  int32_t hornTimer;      // tOn timer of the horn lamp: the time (ms) of the last blast
  int32_t hornDuration;   // how long the horn lamp stays lit after the last blast, ms
  double travelUnit;      // the travel meter's unit in kilometres (1, or a mile), kept at the start
};

// The module's record, for its tests.
MiscRecord& MiscForTesting();
