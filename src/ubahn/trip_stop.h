// The trip stop (Fahrsperre) with its button, and the persistent counters.
#pragma once

#include "cab/host.h"
#include "ubahn/cab_record.h"

// The start of a run reads the counters from their files and counts kilometres from here.
void ReadCounters(TripStop& tripStop);
void ShowTripStopAtStart();
// Every beacon: the trip points trip it or, with the button held below 7 km/h, are overridden.
void Fahrsperre(UBahnCab& cab, ATS_BEACONDATA beacon);
void Fahrsperre_druecken(UBahnCab& cab, int key);
void Fahrsperre_loslassen(UBahnCab& cab, int key);
void Fahrsperrenupdate(UBahnCab& cab);
void KilometerUndFahrsperrenzaehlwerk(UBahnCab& cab);
