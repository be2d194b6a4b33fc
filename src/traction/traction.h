// Traction models: steam (cut-off, boiler, injector) and diesel (gears, fuel, temperature).
#pragma once

#include <cstdint>

void InitTraction();
void DestroyTraction();
