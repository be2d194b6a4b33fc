// The spring-loaded parking brake (Speicherbremse).
#pragma once

#include "ubahn/cab_record.h"

// The frame step: the lamps and the brake follow the buttons with their delays.
void Speicherbremse(UBahnCab& cab);
void Speicherbremse_ein_druecken(UBahnCab& cab, int key);
void Speicherbremse_ein_loslassen(UBahnCab& cab, int key);
void Speicherbremse_aus_druecken(UBahnCab& cab, int key);
void Speicherbremse_aus_loslassen(UBahnCab& cab, int key);
