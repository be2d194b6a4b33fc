// British train protection: AWS magnets and TPWS train-stop and overspeed supervision.
#pragma once

#include <cstdint>

#include "cab/cab_system.h"
#include "cab/host.h"
#include "config/fixed_wiring.h"

// Modes of system=: which of AWS and TPWS act.
const int kSystemOff = 0;
const int kSystemAwsOnly = 1;                // the AWS magnets only
const int kSystemAwsAndTpws = 2;             // the AWS magnets and every TPWS sensor
const int kSystemTpwsTrainStopOnly = 3;      // the TPWS train-stop sensor only

void InitBRSafety(int brakeMode);
void DestroyBRSafety();
void BRSafetyKeyPressed(int key);
void BRSafetyKeyReleased(int key);
void BRSafetyReverserMovedOff();

// Track messages and the per-frame supervision (br_safety_track.cpp).
void SetBRSafetyStatus(ATS_BEACONDATA beacon);
void BRSafety();

void BRSafetyDriverMoved(DriverControl control, int value);
// This system's row of the table of cab systems.
extern const CabSystemRow kBRSafetyRow;
