// Windscreen wipers and rain drops.
#include "windshield/windshield.h"

void InitWindshield() {}
void DestroyWindshield() {}
void WindshieldKeyPressed(int key) {}
