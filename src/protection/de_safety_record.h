// The PZB90's record: its whole state, private to the module; its tests read it here.
#pragma once

#include <cstdint>

#include "cab/indicator.h"

struct DESafetyRecord {
  bool active;          // the driver has switched PZB90 on; until then 45 km/h is the limit
  bool emergency;       // the PZB emergency brake is applied
  Indicator bluelamp;   // the blue lamp: flashing while off or braking, steady otherwise
  int32_t pzb90timer;   // kTimerStopped, or the time (ms) the acknowledgement window opened
};

// The module's record, for its tests.
DESafetyRecord& DESafetyForTesting();
