// The vigilance device: a lamp, an alarm and a brake unless the driver shows he is awake.
#include "supervision/vigilance.h"

void InitVigilance() {}
void DestroyVigilance() {}
void VigilanceKeyPressed(int key, bool isKey) {}
