// British train protection: AWS magnets and TPWS train-stop and overspeed supervision.
#pragma once

#include <cstdint>

#include "cab/host.h"

// Modes of system=: which of AWS and TPWS act.
const int kSystemOff = 0;
const int kSystemAwsOnly = 1;                // the AWS magnets only
const int kSystemAwsAndTpws = 2;             // the AWS magnets and every TPWS sensor
const int kSystemTpwsTrainStopOnly = 3;      // the TPWS train-stop sensor only

// Beacon types of the AWS magnets and TPWS sensors.
const int kBeaconAwsSignalMagnet = 44000;     // clear or caution, by aspect and speed
const int kBeaconAwsPermanentMagnet = 44001;  // always a caution
const int kBeaconTpwsOverspeedSignal = 44002; // overspeed sensor at a signal at danger
const int kBeaconTpwsTrainStop = 44003;       // train-stop sensor at a signal at danger
const int kBeaconTpwsOverspeed = 44004;       // overspeed sensor at a speed restriction

void InitBRSafety();
void DestroyBRSafety();
void BRSafetyKeyPressed(int key);
void BRSafetyKeyReleased(int key);
void BRSafetyReverserMovedOff();

// Track messages and the per-frame supervision (br_safety_track.cpp).
void SetBRSafetyStatus(ATS_BEACONDATA beacon);
void BRSafety();
