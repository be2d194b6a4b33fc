// Power gaps: pick-up points crossing gaps in the supply, and the reminder switch.
#include "power/powercontrol.h"

void InitPowerControl() {}
void DestroyPowerControl() {}
void PowerControlKeyPressed(int key) {}
