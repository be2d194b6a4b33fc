// The passenger doors: side buttons, close button, boarding passengers and the closing sequence.
#pragma once

#include "ubahn/cab_record.h"

// The doors' frame step: release, closing sequence, boarding, protest, lamps and messages.
void Tuersteuerung(UBahnCab& cab);
void Tuertaster_druecken(UBahnCab& cab, int key);
void Tuertaster_loslassen(UBahnCab& cab, int key);
void Tuertaster_rechts_druecken(UBahnCab& cab, int key);
void Tuertaster_rechts_loslassen(UBahnCab& cab, int key);
void Tuertaster_links_druecken(UBahnCab& cab, int key);
void Tuertaster_links_loslassen(UBahnCab& cab, int key);
// Beacons: the platform side of the coming stop, doors open at the start, waiting passengers.
void TuerseiteFestlegen(UBahnCab& cab, int side);
void TuerInit(UBahnCab& cab, int side);
void SetFahrgaeste(UBahnCab& cab, int count);
