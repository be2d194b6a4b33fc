// The U-Bahn cab: handle arbitration, master controller and Sifa, brakes, pipe, doors, trip stop,
// spring brake and sounds. One module; each device lives in a file of its own named after it.
#pragma once

#include <cstdint>

#include "plugin/atsplugin.h"

// ---- Handle arbitration and drive button (handles.cpp) ----

extern ATS_HANDLES gDriver;      // the driver's own handle positions
extern int32_t reverserLock[3];  // demand counts for reverse, neutral, forward (index position + 1)
extern int32_t* powerLock;       // demand counts per power notch 0..PowerNotches; null when absent
extern int32_t* brakeLock;       // demand counts per brake notch 0..BrakeNotches + 1; null when absent
extern bool tractionInterlock;   // a brake notch above 0 has been applied since the power handle last moved
extern bool initialized;         // the demand tables have been created once

extern bool speedSelectorKey;         // the drive button is held
extern bool fahrschalterAn;           // the drive button's press sound has played (key-repeat guard)
extern bool speedSelectorEngaged;     // the drive button is driving
extern int32_t speedSelectorSetting;  // power notch the drive button demands; 0 when not driving
extern bool startmeldung;             // the start message shows until power is first taken

void OperateReverser(int position, bool apply);
void OperatePower(int notch, bool apply);
void OperateBrake(int notch, bool apply);
void SetReverserHandle(int position);
void SetPowerHandle(int notch);
void SetBrakeHandle(int notch);
int InitTrainControl(int brakeMode);
void DestroyTrainControl();
void TrainControl();
void UBahnReverser();
void TrainControlKeyPressed(int key);
void TrainControlKeyReleased(int key);

// The emergency notch of the vehicle (BrakeNotches + 1), computed without overflow: a vehicle
// claiming INT32_MAX notches gets -1, which every demand table ignores.
int EmergencyBrakeNotch();

// ---- Master controller and Sifa (master_controller.cpp) ----

extern int32_t fahrschalter;  // master controller position 0..7; 2 is neutral
extern bool vorwaerts;        // forward chosen
extern bool rueckwaerts;      // reverse chosen
extern bool neutral;          // no direction chosen
extern int32_t VMax;          // speed limit of the controller position, km/h
extern bool SifaKey;          // the Sifa (dead-man) key is held
extern bool sifaAn;           // the Sifa key's press has been handled (key-repeat guard)
extern bool SifaBremst;       // the Sifa has forced an emergency braking

const int kKeyFahrschalterAuf = 5;    // master controller one step up
const int kKeyFahrschalterAb = 6;     // master controller one step down
const int kKeyFahrschalterNull = 7;   // master controller thrown to neutral
const int kFahrschalterNeutral = 2;   // the master controller's neutral position

void FahrschalterAuf(int key);
void FahrschalterAb(int key);
void FahrschalterNull(int key);
void SifaKeyPressed(int key);
void SifaKeyReleased(int key);
void SifaFestbremsen();

// ---- Brake controller and brake application (brake.cpp) ----

extern int32_t bremsschalter;   // brake controller position 0..8
extern int32_t bremsstufe;      // brake notch the U-Bahn brake demands
extern bool festhaltebremse;    // the holding brake is applied
extern bool festhaltebremsekey; // the holding-brake button is held
extern bool luftbremse;         // the air brake is in force
extern bool ebremse;            // the electric brake is available
extern bool anhaltesound;       // the stopping sound has played at this stop
extern int32_t ebremstimer;     // ms

void BremsschalterBremsen(int key);
void BremsschalterLoesen(int key);
void FesthaltebremseKeyPressed(int key);
void FesthaltebremseKeyReleased(int key);
void UBahnBremse();

// ---- Brake pipe and supply pressures (brake_pipe.cpp) ----

extern double bremsleitungsdruck;       // brake-pipe pressure, kPa
extern double druck_hilfsvariable;      // kPa
extern double fuellleitungsdruck;       // supply-pipe pressure, kPa
extern double fuellleitungsdruck_hilf;  // kPa
extern int32_t luftbremstimer2;         // ms

const double kStartPipePressure = 300.0;   // kPa in the pipe at the start of a run: braked
const double kFullSupplyPressure = 500.0;  // kPa in the supply pipe at rest; also the pipe's ceiling
const double kPipeReleased = 490.0;        // kPa above which the brakes count as released

void bremsleitung();

// ---- Doors and passengers (doors.cpp) ----

extern bool tueren_geschlossen;  // all doors closed: the drive button may give power
extern int32_t fahrgaeste;       // passengers still to board
extern int32_t tuerstatus_rechts;    // right door side: 0 closed, 1 closing, 2 warning, 3 requested, 4 released
extern int32_t tuerstatus_links;     // left door side, the same states
extern bool tueren_rechts_offen;     // the right doors have actually opened at this stop
extern bool tueren_links_offen;      // the left doors have actually opened at this stop
extern bool freigabe;                // a door release is pending; the closing sequence waits
extern bool tuertaster_gedrueckt;    // the close button is held
extern int32_t tuerseite;            // platform side of the coming stop: 1 right, 2 left
extern bool einsteigen;              // boarding has started at this stop
extern bool randale;                 // the protest timer is armed while standing with closed doors
extern int32_t tuerschliesstimer;    // tOn timer of the closing warning and closing, ms
extern int32_t einsteigetimer;       // tOn timer of boarding, ms
extern int32_t Randaletimer;         // tOn timer of the waiting passengers' protest, ms
extern bool tuermessage_einklemm_an; // the blocked-doors message as last shown (for an unwired display)

void Tuersteuerung();
void Tuertaster_druecken(int key);
void Tuertaster_loslassen(int key);
void Tuertaster_rechts_druecken(int key);
void Tuertaster_rechts_loslassen(int key);
void Tuertaster_links_druecken(int key);
void Tuertaster_links_loslassen(int key);
void TuerseiteFestlegen(int side);
void TuerInit(int side);
void SetFahrgaeste(int count);

// ---- Trip stop and counters (trip_stop.cpp) ----

extern bool fahrsperre;                   // the trip stop is armed (true) or tripped (false)
extern bool loesesperrventil_fahrsperre;  // the trip stop's release-lock valve is closed
extern bool fahrsperre_gedrueckt;         // the trip-stop button is held
extern bool fsp_gerade_eingeschaltet;     // the last reset started a remote spring-brake release
extern int32_t zaehlwerk1;                // resets of a tripped trip stop
extern int32_t zaehlwerk2;                // overrides: trip beacons passed with the button held
extern int32_t kilometerzaehler;          // kilometres run
extern double nulllage;                   // Location where the last kilometre was counted, m

void Fahrsperre(ATS_BEACONDATA beacon);
void Fahrsperre_druecken(int key);
void Fahrsperre_loslassen(int key);
void Fahrsperrenupdate();
void KilometerUndFahrsperrenzaehlwerk();

// ---- Spring-loaded parking brake (spring_brake.cpp) ----

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

// ---- Running sounds and speedometer contact (running_sounds.cpp) ----

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

void Schienenstoss();
void Deuta();
void Kurvensound_schnell();
void Kurvensound_langsam();
void Fahrsound();
void SetSchienenstoss();
void SetKurvensound_schnell(int on);
void SetKurvensound_langsam(int on);

// ---- Horn, fan, buzzer and announcements (horn_fan.cpp) ----

extern bool summer;                  // a buzzer is due
extern int32_t lueftertimer;         // tOn timer of the fan, ms
extern int32_t lueftersummertimer1;  // tOn timer of the buzzer start; -1 once fired
extern int32_t lueftersummertimer2;  // tOn timer of the buzzer end; -1 once fired
extern int32_t lueftersummertimer3;  // tOn timer from the buzzer start sound to its loop
extern bool hupe;                    // the horn button is held
extern int32_t huptimer;             // tOn timer from the horn start to its loop, ms
extern int32_t fahrtziel;            // sound element of the destination announcement
extern int32_t wartezeit;            // lockout before the next announcement, ms
extern int32_t ELAtimer;             // time of the last announcement, ms
extern bool luefter_anzeige_an;      // the buzzer display as last shown (for an unwired display)

void lueftersound();
void Huploop();
void Hupe_ein(int key);
void Hupe_aus(int key);
void ELA(int key);
void SetFahrtziel(int n);
