// Windscreen wipers and rain drops.
#pragma once

#include <cstdint>

void InitWindshield();
void DestroyWindshield();
void WindshieldKeyPressed(int key);
