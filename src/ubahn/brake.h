// The brake controller (Bremsschalter): electric, air and holding brake.
#pragma once

#include <cstdint>

extern int32_t bremsschalter;   // brake controller position 0..8
extern int32_t bremsstufe;      // brake notch the U-Bahn brake demands
extern bool festhaltebremse;    // the holding brake is applied
extern bool festhaltebremsekey; // the holding-brake button is held
extern bool luftbremse;         // the air brake is in force
extern bool ebremse;            // the electric brake is available
extern bool anhaltesound;       // the stopping sound has played at this stop
extern int32_t ebremstimer;     // ms

// Start of a run: controller in position 0, no notch, holding brake off, air brake in force.
void InitBrake();
// The air brake lifts: the pipe is charged far enough for the controller position.
void LiftAirBrake();
// The stopping sound may play again at the next stop.
void RearmStoppingSound();
void BremsschalterBremsen(int key);
void BremsschalterLoesen(int key);
void FesthaltebremseKeyPressed(int key);
void FesthaltebremseKeyReleased(int key);
void UBahnBremse();
