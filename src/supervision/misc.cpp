// Cab miscellany: door lamps, horn lamp, custom indicators and the travel meter.
#include "supervision/misc.h"

void InitMiscellaneous() {}
void DestroyMiscellaneous() {}
void hornSounded(int type) {}
