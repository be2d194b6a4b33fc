// The vigilance device: a lamp, an alarm and a brake unless the driver shows he is awake.
#pragma once

#include <cstdint>

void InitVigilance();
void DestroyVigilance();
// The per-frame step: lamp, alarm and brake as the intervals run out.
void CheckVigilance();
// A sign of life: a host key (isKey true) or a handle movement or horn blast (isKey false,
// key is then the notch, position or horn type and is not compared).
void VigilanceKeyPressed(int key, bool isKey);
