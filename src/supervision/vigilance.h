// The vigilance device: a lamp, an alarm and a brake unless the driver shows he is awake.
#pragma once

#include <cstdint>

void InitVigilance();
void DestroyVigilance();
void VigilanceKeyPressed(int key, bool isKey);
