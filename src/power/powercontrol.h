// Power gaps: pick-up points crossing gaps in the supply, and the reminder switch.
#pragma once

#include <cstdint>

void InitPowerControl();
void DestroyPowerControl();
void PowerControlKeyPressed(int key);
