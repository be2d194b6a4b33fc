// The trip stop (Fahrsperre) with its button, and the persistent counters.
#pragma once

#include <cstdint>

#include "cab/host.h"

extern bool fahrsperre;                   // the trip stop is armed (true) or tripped (false)
extern bool loesesperrventil_fahrsperre;  // the trip stop's release-lock valve is closed
extern bool fahrsperre_gedrueckt;         // the trip-stop button is held
extern bool fsp_gerade_eingeschaltet;     // the last reset started a remote spring-brake release
extern int32_t zaehlwerk1;                // resets of a tripped trip stop
extern int32_t zaehlwerk2;                // overrides: trip beacons passed with the button held
extern int32_t kilometerzaehler;          // kilometres run
extern double nulllage;                   // Location where the last kilometre was counted, m

// Start of a run: the counters are read from their files and the kilometre count starts here.
void InitTripStop();
// Trips the trip stop: its valve vents the pipe until it is reset.
void Fahrsperre_ausloesen();
void Fahrsperre(ATS_BEACONDATA beacon);
void Fahrsperre_druecken(int key);
void Fahrsperre_loslassen(int key);
void Fahrsperrenupdate();
void KilometerUndFahrsperrenzaehlwerk();
