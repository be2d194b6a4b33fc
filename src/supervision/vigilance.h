// The vigilance device: a lamp, an alarm and a brake unless the driver shows he is awake.
#pragma once

#include <cstdint>

#include "cab/cab_system.h"

void InitVigilance(int brakeMode);
void DestroyVigilance();
// The per-frame step: lamp, alarm and brake as the intervals run out.
void CheckVigilance();
// A sign of life: a host key (isKey true) or a handle movement or horn blast (isKey false,
// key is then the notch, position or horn type and is not compared).
void VigilanceKeyPressed(int key, bool isKey);

// A host key, and a driver's control moved: the signs of life of VigilanceKeyPressed.
void VigilanceKeyDown(int key);
void VigilanceDriverMoved(DriverControl control, int value);
// This system's row of the table of cab systems.
extern const CabSystemRow kVigilanceRow;
