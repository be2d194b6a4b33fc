// Running, curve and rail-joint sounds, and the speedometer overspeed contact (Deuta).
#pragma once

#include "ubahn/cab_record.h"

// Frame steps.
void Schienenstoss(UBahnCab& cab);
void Deuta(UBahnCab& cab);
void Kurvensound_schnell(UBahnCab& cab);
void Kurvensound_langsam(UBahnCab& cab);
void Fahrsound(UBahnCab& cab);
// Beacons: a rail joint, and the start (on not 0) or end of a curve section.
void SetSchienenstoss(UBahnCab& cab);
void SetKurvensound_schnell(UBahnCab& cab, int on);
void SetKurvensound_langsam(UBahnCab& cab, int on);
