// German train protection: PZB90 magnets, acknowledgement window and emergency braking.
#pragma once

#include <cstdint>

void InitDESafety();
void DestroyDESafety();
