// German train protection: PZB90 magnets, acknowledgement window and emergency braking.
#include "protection/de_safety.h"

void InitDESafety() {}
void DestroyDESafety() {}
