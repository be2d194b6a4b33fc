// Overspeed control: warning, brake and release at configured speeds.
#include "supervision/speedcontrol.h"

void InitSpeedControl() {}
void DestroySpeedControl() {}
