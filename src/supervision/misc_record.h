// The cab miscellany's record: its whole state, private to the module; its tests read it here.
#pragma once

#include <cstdint>

struct MiscRecord {
  bool doorOpen;          // the doors are open
  int8_t doorSide;        // side whose doors are released: 0 none, -1 or 1 one side, 2 both
  int32_t hornTimer;      // tOn timer of the horn lamp, ms; kTimerStopped while no blast has been made
  int32_t hornDuration;   // how long the horn lamp stays lit after the last blast, ms
};

// The module's record, for its tests.
MiscRecord& MiscForTesting();
