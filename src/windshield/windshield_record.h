// The windscreen's record: its whole state, private to the module; its tests read it here.
#pragma once

#include <cstdint>

#include "windshield/windshield.h"

// The pause of the intermittent mode.
enum WiperPause : uint8_t {
  kPauseIdle = 0,     // not timed: the wiper at rest starts one
  kPauseRunning = 1,  // timed from holdWiper: the stroke starts when it has run out
};

struct WindshieldRecord {
  int32_t wiper;           // step timer of the wiper motor (tOn); 0 = not started
  WiperPause pause;        // whether the pause of the intermittent mode is being timed
  int32_t holdWiper;       // tOn timer of the pause: the time (ms) it began
  int32_t wiperPosition;   // wiper angle as 0..100
  int32_t wiperDirection;  // change of wiperPosition per step: -1, 0 or +1
  WiperSwitch wiperMode;       // switch: off, intermittent, continuous
  int32_t rain;            // rain intensity 0..100; 0 = dry
  int32_t dropTimer;       // timer of the next drop (tOn)
  int32_t dropInterval;    // ms until the next drop
  // Panel indices of the drops: entries 0..unusedDrops-1 are dry places, the rest up to
  // numberofdrops-1 are drops on the glass.
  int32_t dropList[kMaxDrops];
  int32_t dropListPos[kMaxDrops];  // for drop i, the entry of dropList that holds it
  int32_t unusedDrops;             // drops not on the glass
  // The last wiper step left the wiper switched off at rest, and cleared an element that is not
  // the wiper's own, and the wiper has not been switched on since: while both elements still show
  // what it wrote, a further step changes nothing.
  bool idleStep;
  int32_t idleCleared;  // the drop element that step cleared; kUnwired when it cleared none
  int32_t stepPeriod;   // ms per wiper step, from wiperrate at the start: options stay in a run
};

// The module's record, for its tests.
WindshieldRecord& WindshieldForTesting();
