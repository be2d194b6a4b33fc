// The power-gap record: its whole state, private to the module; its tests read it here.
#pragma once

#include <cstdint>

// One pick-up point's passage through one announced gap.
struct Gap {
  double start;    // track position (m) at which this pick-up point enters the gap
  int32_t length;  // gap length in m, taken as unsigned when added to start
  bool gapped;     // this pick-up point is inside the gap
  Gap* next;       // next record, or null
};

struct PowerControlRecord {
  Gap* gaplist;            // the gap records in order of creation
  int32_t gapRecords;      // number of records in gaplist
  int32_t pickupPoints;    // number of pick-up points (values of powerpickuppoints)
  int32_t gappedPickups;   // pick-up points now inside a gap (behaviours 1 and 3)
  bool reminder;           // the driver's reminder switch is set
  bool allPickupsCut;      // behaviour 3 holds its notch-0 limit
  bool listSetUp;         // a start of run has set up the list, so the end of the run frees it
};

// The module's record, for its tests.
PowerControlRecord& PowerControlForTesting();
