// British train protection: AWS magnets and TPWS train-stop and overspeed supervision.
#pragma once

#include <cstdint>

#include "cab/cab_system.h"
#include "cab/host.h"
#include "cab/indicator.h"
#include "config/fixed_wiring.h"

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

// Modes of system=: which of AWS and TPWS act.
const int kSystemOff = 0;
const int kSystemAwsOnly = 1;                // the AWS magnets only
const int kSystemAwsAndTpws = 2;             // the AWS magnets and every TPWS sensor
const int kSystemTpwsTrainStopOnly = 3;      // the TPWS train-stop sensor only

extern AwsPhase awsPhase;        // the AWS moves idle, warning, braking, and back to idle
extern int32_t awsWarningSince;  // tOn timer of the warning: the time (ms) it began; read only while warning
extern bool awsStop;             // the AWS brake demand is applied
extern bool awsRelease;          // the AWS brake was acknowledged; release at the next standstill
extern bool tpwsTrainstop;       // a TPWS brake demand is applied
extern bool tpwsRelease;         // the TPWS brake was reset; release after the stop delay at standstill
extern StartupTest tpwsStartupTest;  // start-up test phase
extern Indicator brakeDemand;    // TPWS brake demand lamp
extern int32_t stopTimer;        // standstill timer of the TPWS stop delay; kTimerStopped when not started
extern int32_t overrideTimer;    // kTimerStopped, or the time (ms) the train-stop override was armed
extern Indicator stopOverride;   // train-stop override lamp

void InitBRSafety(int brakeMode);
void DestroyBRSafety();
void BRSafetyKeyPressed(int key);
void BRSafetyKeyReleased(int key);
void BRSafetyReverserMovedOff();

// Track messages and the per-frame supervision (br_safety_track.cpp).
void SetBRSafetyStatus(ATS_BEACONDATA beacon);
void BRSafety();

// Shared by both files of the module.
const double kMsPerSecond = 1000.0;  // the TPWS times are set in seconds

void BRSafetyDriverMoved(DriverControl control, int value);
// This system's row of the table of cab systems.
extern const CabSystemRow kBRSafetyRow;
