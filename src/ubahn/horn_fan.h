// The horn, the traction fan and its buzzer, and the passenger announcements (ELA).
#pragma once

#include <cstdint>

extern bool summer;                  // a buzzer is due
extern int32_t lueftertimer;         // tOn timer of the fan, ms
extern int32_t lueftersummertimer1;  // tOn timer of the buzzer start; kTimerStopped once fired
extern int32_t lueftersummertimer2;  // tOn timer of the buzzer end; kTimerStopped once fired
extern int32_t lueftersummertimer3;  // tOn timer from the buzzer start sound to its loop
extern bool hupe;                    // the horn button is held
extern int32_t huptimer;             // tOn timer from the horn start to its loop, ms
extern int32_t fahrtziel;            // sound element of the destination announcement
extern int32_t wartezeit;            // lockout before the next announcement, ms
extern int32_t ELAtimer;             // time of the last announcement, ms
extern bool luefter_anzeige_an;      // the buzzer display as last shown (for an unwired display)

// Leaving neutral starts the traction fan and arms its buzzer.
void StartFan();
void lueftersound();
void Huploop();
void Hupe_ein(int key);
void Hupe_aus(int key);
void ELA(int key);
void SetFahrtziel(int n);
