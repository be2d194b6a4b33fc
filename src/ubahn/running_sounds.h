// Running, curve and rail-joint sounds, and the speedometer overspeed contact (Deuta).
#pragma once

#include <cstdint>

extern bool schienenstoss;    // a rail joint is being passed
extern bool deuta;            // above 72 km/h and not yet back below 70 km/h
extern bool loesesperrventil; // the overspeed release-lock valve is closed
extern double schienenstossposition;  // Location at the rail-joint beacon, m
extern bool play01, play02, play03, play04, play05;  // knocks of the current joint played
extern int32_t deutatimer;            // start of the current overspeed episode, ms
extern bool kurve_schnell;            // inside a fast curve section
extern bool kurve_langsam;            // inside a slow curve section
extern bool unterdrueckung_schnell;   // fast curve sound silenced below its threshold
extern bool unterdrueckung_langsam;   // slow curve sound silenced below its threshold
extern int32_t Kurve_schnell_timer;   // ms
extern int32_t Kurve_langsam_timer;   // ms
extern bool langsam;                  // the slow running band is sounding
extern bool mittel;                   // the middle running band is sounding
extern bool schnell;                  // the fast running band is sounding
extern int32_t Langsamtimer;          // ms
extern int32_t Mitteltimer;           // ms
extern int32_t Schnelltimer;          // ms

// Start of a run: no rail joint is being passed.
void InitRunningSounds();
void Schienenstoss();
void Deuta();
void Kurvensound_schnell();
void Kurvensound_langsam();
void Fahrsound();
void SetSchienenstoss();
void SetKurvensound_schnell(int on);
void SetKurvensound_langsam(int on);
