// Traction models: steam (cut-off, boiler, injector) and diesel (gears, fuel, temperature).
#include "traction/traction.h"

void InitTraction() {}
void DestroyTraction() {}
