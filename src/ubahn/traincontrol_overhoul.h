// The U-Bahn cab started together with the handle arbitration, as a run starts them.
#pragma once

#include "ubahn/ubahn_cab.h"

// Start of a run: new demand tables, then the cab's start state.
int InitTrainControl(int brakeMode);
// The demand tables go.
void DestroyTrainControl();
