// Cab miscellany: door lamps, horn lamp, custom indicators and the travel meter.
#pragma once

#include <cstdint>

void InitMiscellaneous();
void DestroyMiscellaneous();
void hornSounded(int type);
