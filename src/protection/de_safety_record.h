// The PZB90's record: its whole state, private to the module; its tests read it here.
#pragma once

#include <cstdint>

#include "cab/indicator.h"

// The acknowledgement window of a restrictive magnet.
enum PzbWindow : uint8_t {
  kPzbWindowClosed = 0,  // no acknowledgement pending
  kPzbWindowOpen = 1,    // opened at pzb90timer: the PZB key must close it within 3 s
};

struct DESafetyRecord {
  bool active;          // the driver has switched PZB90 on; until then 45 km/h is the limit
  bool emergency;       // the PZB emergency brake is applied
  Indicator bluelamp;   // the blue lamp: flashing while off or braking, steady otherwise
  PzbWindow window;     // whether an acknowledgement window is open
  int32_t pzb90timer;   // tOn timer of the window: the time (ms) it opened
};

// The module's record, for its tests.
DESafetyRecord& DESafetyForTesting();
