// The brake controller (Bremsschalter) with its brake pipe and supply pipe: one device.
#pragma once

#include "ubahn/cab_record.h"

void ShowBrakeControllerAtStart();
void BremsschalterBremsen(UBahnCab& cab, int key);
void BremsschalterLoesen(UBahnCab& cab, int key);
void FesthaltebremseKeyPressed(UBahnCab& cab, int key);
void FesthaltebremseKeyReleased(UBahnCab& cab, int key);
// The brake application: this frame's notch demand, the air brake and the lamps.
void UBahnBremse(UBahnCab& cab);
// One step of the brake pipe and the supply pipe, and their gauges.
void bremsleitung(UBahnCab& cab);
