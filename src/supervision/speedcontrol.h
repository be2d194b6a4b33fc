// Overspeed control: warning, brake and release at configured speeds.
#pragma once

#include <cstdint>

// Fixed sound element played once when the overspeed brake goes on.
const int kSoundOverspeedBrake = 1;

void InitSpeedControl();
void DestroySpeedControl();
// Compares the train speed (km/h, negative running backward) with the three thresholds.
void CheckSpeed(float speed);
