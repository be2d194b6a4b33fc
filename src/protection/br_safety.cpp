// British train protection: AWS magnets and TPWS train-stop and overspeed supervision.
#include "protection/br_safety.h"

void InitBRSafety() {}
void DestroyBRSafety() {}
void BRSafetyKeyPressed(int key) {}
void BRSafetyKeyReleased(int key) {}
void BRSafetyReverserMovedOff() {}
