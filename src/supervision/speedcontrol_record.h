// The overspeed control's record: its whole state, private to the module; its tests read it here.
#pragma once

#include <cstdint>

// What the overspeed brake is doing.
enum OverspeedBrake : uint8_t {
  kOverspeedBrakeOff = 0,      // not applied
  kOverspeedBrakeApplied = 1,  // applied at the overspeed; released at or below the safe speed
};

struct SpeedControlRecord {
  int32_t scSpeed;                 // whole speed of the last comparison, km/h (magnitude, truncated)
  OverspeedBrake brakingSequence;  // the overspeed brake
};

// The module's record, for its tests.
SpeedControlRecord& SpeedControlForTesting();
