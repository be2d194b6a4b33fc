// British train protection: AWS magnets and TPWS train-stop and overspeed supervision.
#pragma once

#include <cstdint>

void InitBRSafety();
void DestroyBRSafety();
void BRSafetyKeyPressed(int key);
void BRSafetyKeyReleased(int key);
void BRSafetyReverserMovedOff();
