// Overspeed control: warning, brake and release at configured speeds.
#pragma once

#include <cstdint>

void InitSpeedControl();
void DestroySpeedControl();
