// The AWS/TPWS record: its whole state, private to the module, shared by its two files and read
// by its tests.
#pragma once

#include <cstdint>

#include "cab/indicator.h"

// What the AWS is doing.
enum AwsPhase : uint8_t {
  kAwsIdle = 0,     // no warning pending
  kAwsWarning = 1,  // a caution magnet sounded the horn; the driver must acknowledge in time
  kAwsBraking = 2,  // the acknowledgement time ran out: the AWS brake is applied
};

// Start-up test phases. A negative startuptest leaves a value none of these (its low 8 bits):
// then no test runs.
enum StartupTest : uint8_t {
  kStartupTestNone = 0,     // no test, or the test is over
  kStartupTestArmed = 1,    // waiting for the reverser to leave neutral
  kStartupTestRunning = 2,  // horn sounding, waiting for the AWS acknowledgement
};

struct BRSafetyRecord {
  AwsPhase awsPhase;        // the AWS moves idle, warning, braking, and back to idle
  int32_t awsWarningSince;  // tOn timer of the warning: the time (ms) it began; read only while warning
  bool awsStop;             // the AWS brake demand is applied
  bool awsRelease;          // the AWS brake was acknowledged; release at the next standstill
  bool tpwsTrainstop;       // a TPWS brake demand is applied
  bool tpwsRelease;         // the TPWS brake was reset; release after the stop delay at standstill
  StartupTest tpwsStartupTest;  // start-up test phase
  Indicator brakeDemand;    // TPWS brake demand lamp
  int32_t stopTimer;        // standstill timer of the TPWS stop delay; kTimerStopped when not started
  int32_t overrideTimer;    // kTimerStopped, or the time (ms) the train-stop override was armed
  Indicator stopOverride;   // train-stop override lamp
};

// The module's record: for the track file and the tests.
BRSafetyRecord& BRSafetyState();

const double kMsPerSecond = 1000.0;  // the TPWS times are set in seconds
