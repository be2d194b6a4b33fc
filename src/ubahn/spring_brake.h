// The spring-loaded parking brake (Speicherbremse).
#pragma once

#include <cstdint>

extern bool federspeicher_aktiv;  // the spring brake is applied
extern bool speicherbremse_ein;                 // applying is commanded
extern bool speicherbremse_aus;                 // releasing is commanded
extern bool speicherbremse_ein_gedrueckt;       // the apply button is held
extern bool speicherbremse_aus_gedrueckt;       // the release button is held, or a remote release runs
extern bool speicherbremse_aus_langegedrueckt;  // the release was held long enough to finish by itself
extern bool speicherbremse_LM_rot;              // the red lamp is due to be lit
extern bool speicherbremse_LM_gelb;             // the yellow lamp is due to be lit
extern int32_t Speicherbremsentimer_rot;        // tOn timer of the red lamp and the brake, ms
extern int32_t Speicherbremsentimer_gelb;       // tOn timer of the yellow lamp, ms
extern int32_t Speicherbremseaustimer;          // tOn timer of the long release press, ms

void Speicherbremse();
void Speicherbremse_ein_druecken(int key);
void Speicherbremse_ein_loslassen(int key);
void Speicherbremse_aus_druecken(int key);
void Speicherbremse_aus_loslassen(int key);
void Speicherbremse_fernaus_druecken();   // remote release started by a trip-stop reset
void Speicherbremse_fernaus_loslassen();  // remote release ended with the trip-stop button
