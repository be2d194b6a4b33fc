// The vigilance device's record: its whole state, private to the module; its tests read it here.
#pragma once

#include <cstdint>

#include "cab/vocabulary.h"

// What the device is doing.
enum VigilancePhase : int32_t {
  kVigilanceSupervising = 0,  // waiting for the interval to run out
  kVigilanceLampLit = 1,      // the lamp asks the driver for a sign of life
  kVigilanceAlarm = 2,        // the alarm sounds
  kVigilanceBraking = 3,      // the emergency brake is demanded
};

struct VigilanceRecord {
  int32_t vigilance;     // tOn timer of the device, ms: each phase is timed from the end of the one before
  VigilancePhase phase;  // the device moves through the phases in order
  NotchValues intervals;  // the interval of each power notch, ms, kept at the start
  float restSpeed;        // km/h at or below which supervision rests (vigilanceinactivespeed), kept at the start
};

// The module's record, for its tests.
VigilanceRecord& VigilanceForTesting();

