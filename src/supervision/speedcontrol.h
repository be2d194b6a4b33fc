// Overspeed control: warning, brake and release at configured speeds.
#pragma once

#include <cstdint>

#include "cab/cab_system.h"

// Fixed sound element played once when the overspeed brake goes on.
const int kSoundOverspeedBrake = 1;

void InitSpeedControl(int brakeMode);
void DestroySpeedControl();
// Compares the train speed (km/h, negative running backward) with the three thresholds.
void CheckSpeed(float speed);

// The per-frame step: CheckSpeed with this frame's speed.
void SpeedControlFrame();
// This system's row of the table of cab systems.
extern const CabSystemRow kSpeedControlRow;
