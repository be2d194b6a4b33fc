// The U-Bahn train control: the drive button and the reverser.
#pragma once

#include "ubahn/cab_record.h"

// The drive button's power demand for this frame.
void TrainControl(UBahnCab& cab);
// The reverser as the master controller's direction sets it.
void UBahnReverser(UBahnCab& cab);
void TrainControlKeyPressed(UBahnCab& cab, int key);
void TrainControlKeyReleased(UBahnCab& cab, int key);
