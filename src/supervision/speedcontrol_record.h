// The overspeed control's record: its whole state, private to the module; its tests read it here.
#pragma once

#include <cstdint>

struct SpeedControlRecord {
  int32_t scSpeed;        // whole speed of the last comparison, km/h (magnitude, truncated)
  bool brakingSequence;   // the overspeed brake is applied
};

// The module's record, for its tests.
SpeedControlRecord& SpeedControlForTesting();
