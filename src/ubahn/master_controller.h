// The key-operated master controller (Fahrschalter) and the Sifa dead-man device.
#pragma once

#include "ubahn/cab_record.h"

// The start of a run shows the position as it was and throws the controller to neutral, with
// everything a throw to neutral does (at speed it trips the trip stop).
void ThrowToNeutralAtStart(UBahnCab& cab);
void FahrschalterAuf(UBahnCab& cab, int key);
void FahrschalterAb(UBahnCab& cab, int key);
void FahrschalterNull(UBahnCab& cab, int key);
void SifaKeyPressed(UBahnCab& cab, int key);
void SifaKeyReleased(UBahnCab& cab, int key);
// Sifa supervision: forced braking out of neutral without the key, ended by the key.
void SifaFestbremsen(UBahnCab& cab);
