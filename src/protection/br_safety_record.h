// The AWS/TPWS record: its whole state, private to the module, shared by its two files and read
// by its tests.
#pragma once

#include <cstdint>

#include "cab/indicator.h"

// What the AWS is doing.
enum AwsPhase : uint8_t {
  kAwsIdle = 0,     // no warning pending
  kAwsWarning = 1,  // a caution magnet sounded the horn; the driver must acknowledge in time
  kAwsBraking = 2,  // the acknowledgement time ran out: the AWS brake demand is applied (`awsStop`)
  kAwsReleasing = 3,  // still braking, acknowledged under the deferred cancel: released at the next standstill
};

// What the TPWS brake is doing.
enum TpwsPhase : uint8_t {
  kTpwsClear = 0,      // no TPWS brake demand
  kTpwsBraking = 1,    // a sensor applied the TPWS brake demand (`tpwsTrainstop`)
  kTpwsReleasing = 2,  // still braking, reset under the deferred cancel: released at standstill after the stop delay
};

// Start-up test phases.
enum StartupTest : uint8_t {
  kStartupTestNone = 0,     // no test, or the test is over
  kStartupTestArmed = 1,    // waiting for the reverser to leave neutral
  kStartupTestRunning = 2,  // horn sounding, waiting for the AWS acknowledgement
  kStartupTestRefused = 3,  // a startuptest none of whose low 8 bits read 0, 1 or 2: no test
                            // runs and the override button is refused until the next start
};

// The standstill timer of the TPWS stop delay.
enum TpwsStandstill : uint8_t {
  kStandstillUntimed = 0,  // not started since the TPWS brake was applied
  kStandstillTimed = 1,    // stopTimer holds the time the first standstill began
};

// The train-stop override.
enum TpwsOverride : uint8_t {
  kOverrideOff = 0,    // not armed
  kOverrideArmed = 1,  // armed at overrideTimer: the next train-stop sensor is let pass
};

struct BRSafetyRecord {
  AwsPhase awsPhase;        // the AWS moves idle, warning, braking (then perhaps releasing), and back to idle
  int32_t awsWarningSince;  // tOn timer of the warning: the time (ms) it began; read only while warning
  TpwsPhase tpwsPhase;      // the TPWS brake moves clear, braking (then perhaps releasing), and back to clear
  StartupTest tpwsStartupTest;  // start-up test phase
  Indicator brakeDemand;    // TPWS brake demand lamp
  TpwsStandstill standstill;  // whether the stop delay is being timed
  int32_t stopTimer;        // tOn timer of the stop delay: the time (ms) the standstill began
  TpwsOverride override;    // whether the train-stop override is armed
  int32_t overrideTimer;    // tOn timer of the override's lifetime: the time (ms) it was armed
  Indicator stopOverride;   // train-stop override lamp
};

// The AWS brake demand is applied (`awsStop`), whether or not its release waits for a standstill.
inline bool AwsBrakeApplied(const BRSafetyRecord& aws) {
  return aws.awsPhase == kAwsBraking || aws.awsPhase == kAwsReleasing;
}

// The TPWS brake demand is applied (`tpwsTrainstop`), whether or not its release waits for the stop delay.
inline bool TpwsBrakeApplied(const BRSafetyRecord& aws) {
  return aws.tpwsPhase == kTpwsBraking || aws.tpwsPhase == kTpwsReleasing;
}

// The module's record: for the track file and the tests.
BRSafetyRecord& BRSafetyState();

const double kMsPerSecond = 1000.0;  // the TPWS times are set in seconds

// Times the stop delay from this frame on (br_safety_track.cpp).
void StartStandstill(BRSafetyRecord& aws);
// Whether the stop delay `tpwsstopdelay` has run out on the standstill timer (br_safety.cpp).
bool StopDelayRunOut(BRSafetyRecord& aws);
