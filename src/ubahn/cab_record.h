// The U-Bahn cab's state: one record of device records, owned by ubahn_cab and handed to every
// device. Private to src/ubahn; the values given here are the ones the library loads with.
#pragma once

#include <cstdint>

#include "ubahn/fixed_elements.h"

// The drive button of the train control.
struct TrainControlState {
  bool speedSelectorKey = false;     // the drive button is held
  bool fahrschalterAn = false;       // the drive button's press sound has played (key-repeat guard)
  bool speedSelectorEngaged = false; // the drive button is driving
  int32_t speedSelectorSetting = 0;  // power notch the drive button demands; 0 when not driving
  bool startmeldung = true;          // the start message shows until power is first taken
};

// The direction the master controller has chosen.
enum Fahrtrichtung : uint8_t {
  kRichtungNeutral = 0,     // none: the controller stands in neutral
  kRichtungVorwaerts = 1,   // forward: it left neutral upwards, positions 3 to 7
  kRichtungRueckwaerts = 2, // reverse: it left neutral downwards, positions 1 and 0
};

// The key-operated master controller (Fahrschalter) and the Sifa dead-man device.
struct MasterController {
  int32_t fahrschalter = kFahrschalterNeutral;  // controller position 0..7; 2 is neutral
  Fahrtrichtung richtung = kRichtungNeutral;    // the direction chosen
  int32_t VMax = 0;          // speed limit of the controller position, km/h
  bool SifaKey = false;      // the Sifa (dead-man) key is held
  bool sifaAn = false;       // the Sifa key's press has been handled (key-repeat guard)
  bool SifaBremst = false;   // the Sifa has forced an emergency braking
};

const double kStartPipePressure = 300.0;   // kPa in the pipe at the start of a run: braked
const double kFullSupplyPressure = 500.0;  // kPa in the supply pipe at rest; also the pipe's ceiling
const double kPipeReleased = 490.0;        // kPa above which the brakes count as released

// The brake controller (Bremsschalter) with the brake pipe and the supply pipe it works on.
struct Brake {
  int32_t bremsschalter = 0;      // brake controller position 0..8
  int32_t bremsstufe = 0;         // brake notch the U-Bahn brake demands
  bool festhaltebremse = false;   // the holding brake is applied
  bool festhaltebremsekey = false;// the holding-brake button is held
  bool luftbremse = true;         // the air brake is in force
  bool ebremse = false;           // the electric brake is available
  bool anhaltesound = false;      // the stopping sound has played at this stop
  int32_t ebremstimer = 0;        // tOn timer of the holding notch's rise, ms
  double bremsleitungsdruck = kStartPipePressure;       // brake-pipe pressure, kPa
  double druck_hilfsvariable = kStartPipePressure;      // brake-pipe pressure being worked out this frame, kPa
  double fuellleitungsdruck = kFullSupplyPressure;      // supply-pipe pressure, kPa
  double fuellleitungsdruck_hilf = kFullSupplyPressure; // supply-pipe pressure being worked out this frame, kPa
  int32_t luftbremstimer2 = 0;            // time of the last pipe step, ms
};

// What a door side is doing; the panel shows the number.
enum DoorPhase : uint8_t {
  kDoorClosed = 0,     // closed
  kDoorClosing = 1,    // closing: the warning is over and the open doors move
  kDoorWarning = 2,    // the closing warning sounds
  kDoorRequested = 3,  // the side's button asked for its release
  kDoorReleased = 4,   // released below 7 km/h; on the platform side the doors open
};

// One side of the train's doors.
struct DoorSideState {
  DoorPhase tuerstatus = kDoorClosed;  // what the side is doing
  bool tueren_offen = false;           // its doors have actually opened at this stop
};

// What the passengers at a stop are doing; each doing is timed from its start.
enum Fahrgastphase : uint8_t {
  kFahrgaesteWarten = 0,      // nothing timed: no boarding, no protest
  kFahrgaesteEinsteigen = 1,  // boarding through the open doors, one a second
  kFahrgaesteRandale = 2,     // left outside closed doors at a standstill, protesting every 3 s
};

// The passenger doors of both sides, the close button and the boarding passengers.
struct Doors {
  bool tueren_geschlossen = false;   // all doors closed: the drive button may give power
  int32_t fahrgaeste = 0;            // passengers still to board
  DoorSideState rechts;                   // the right side
  DoorSideState links;                    // the left side
  bool freigabe = false;             // a door release is pending; the closing sequence waits
  bool tuertaster_gedrueckt = false; // the close button is held
  int32_t tuerseite = 0;             // platform side of the coming stop: 1 right, 2 left
  Fahrgastphase fahrgastphase = kFahrgaesteWarten;  // what the waiting passengers do
  int32_t tuerschliesstimer = 0;     // tOn timer of the closing warning and closing, ms
  int32_t einsteigetimer = 0;        // tOn timer of boarding, ms
  int32_t Randaletimer = 0;          // tOn timer of the waiting passengers' protest, ms
  bool tuermessage_einklemm_an = false;  // the blocked-doors message as last shown (for an unwired display)
};

// The trip stop itself.
enum FahrsperrePhase : uint8_t {
  kFahrsperreScharf = 0,      // armed: its release-lock valve is shut
  kFahrsperreAusgeloest = 1,  // tripped: its release-lock valve vents the brake pipe until a reset
};

// The trip-stop button.
enum FahrsperreTaster : uint8_t {
  kTasterLos = 0,                    // not held
  kTasterGedrueckt = 1,              // held
  kTasterNachRueckstellung = 2,      // held since it reset the trip stop, which also releases the spring brake from afar
};

// The trip stop (Fahrsperre) with its button, and the counters kept in files.
struct TripStop {
  FahrsperrePhase fahrsperre = kFahrsperreScharf;  // armed or tripped
  FahrsperreTaster fahrsperre_taster = kTasterLos; // the button
  int32_t zaehlwerk1 = 0;        // resets of a tripped trip stop
  int32_t zaehlwerk2 = 0;        // overrides: trip beacons passed with the button held
  int32_t kilometerzaehler = 0;  // kilometres run
  double nulllage = 0.0;         // Location where the last kilometre was counted, m
};

// What the spring brake's buttons have commanded last.
enum SpeicherbremseBefehl : uint8_t {
  kBefehlKeiner = 0,    // nothing since the library was loaded
  kBefehlEinlegen = 1,  // apply: the cylinders vent and the brake comes on
  kBefehlLoesen = 2,    // release: the cylinders fill while the release goes through
};

// The release button of the spring brake, or the remote release of a trip-stop reset.
enum SpeicherbremseAusTaster : uint8_t {
  kAusLos = 0,        // let go
  kAusGedrueckt = 1,  // held: a release goes through while it is held
  kAusLang = 2,       // held long enough for the release to finish by itself
  kAusNachlauf = 3,   // let go after a long press: the release finishes by itself
};

// The spring-loaded parking brake (Speicherbremse).
struct SpringBrake {
  SpeicherbremseBefehl befehl = kBefehlKeiner;     // the command the cylinders follow
  bool federspeicher_aktiv = false;                // the spring brake is applied; its red lamp is due to be lit
  bool speicherbremse_ein_gedrueckt = false;       // the apply button is held
  SpeicherbremseAusTaster speicherbremse_aus_taster = kAusLos;  // the release button, or a remote release
  bool speicherbremse_LM_gelb = false;             // the yellow lamp is due to be lit
  int32_t Speicherbremsentimer_rot = 0;            // tOn timer of the red lamp and the brake, ms
  int32_t Speicherbremsentimer_gelb = 0;           // tOn timer of the yellow lamp, ms
  int32_t Speicherbremseaustimer = 0;              // tOn timer of the long release press, ms
};

// What the fan buzzer is doing. Each of its two steps, start and end, once fired keeps firing
// at every frame (its timer then counts from kBuzzerStepsFrom); the phase says which have fired.
enum BuzzerPhase : uint8_t {
  kBuzzerOver = 0,      // none due: the buzzer has ended, or none has sounded since loading
  kBuzzerWaiting = 1,   // the controller has left neutral and the start delay runs; an unwired display counts as dark
  kBuzzerSounding = 2,  // started: the start sound has played (or the display already showed it), the end is due
};

// Clock time, ms, from which a buzzer step that has fired counts its period: it is due again at
// every frame except while the clock stands between -1 ms and that period.
const int32_t kBuzzerStepsFrom = -1;

// The horn, the traction fan and its buzzer, and the passenger announcements (ELA).
struct HornFan {
  bool hupe = false;                 // the horn button is held
  int32_t huptimer = 0;              // tOn timer from the horn start to its loop, ms
  BuzzerPhase summer = kBuzzerOver;  // what the buzzer is doing
  int32_t lueftertimer = 0;          // tOn timer of the fan, ms
  int32_t lueftersummertimer1 = 0;   // tOn timer of the buzzer start, ms; kBuzzerStepsFrom once fired
  int32_t lueftersummertimer2 = 0;   // tOn timer of the buzzer end, ms; kBuzzerStepsFrom once fired
  int32_t lueftersummertimer3 = 0;   // tOn timer from the buzzer start sound to its loop, ms
  int32_t fahrtziel = 0;             // sound element of the destination announcement
  int32_t wartezeit = 1000;          // lockout before the next announcement, ms
  int32_t ELAtimer = 0;              // time of the last announcement, ms
  bool luefter_anzeige_an = false;   // the buzzer display as last shown (for an unwired display)
};

// One curve kind's sound: inside a section, silenced below its speed, and its loop timer.
struct CurveSound {
  bool kurve = false;           // inside a curve section of this kind
  bool unterdrueckung = true;   // the curve sound is silenced below its threshold
  int32_t timer = 0;            // tOn timer from the start sound to the loop, ms
};

// One running band's sound: sounding, and its loop timer.
struct BandSound {
  bool an = false;    // the band is sounding
  int32_t timer = 0;  // tOn timer from the start sound to the loop, ms
};

// How many of a rail joint's knocks have sounded: the wheelsets knock one after another.
enum KnockPhase : uint8_t {
  kKnocksNone = 0,  // none yet
  kKnocked1 = 1,    // the first wheelset of the first pair
  kKnocked2 = 2,    // the first pair
  kKnocked3 = 3,    // and the first wheelset of the second pair
  kKnocked4 = 4,    // the second pair
  kKnocked5 = 5,    // and the first wheelset of the third pair; the last knock ends the joint
};
const int kKnockCount = 5;  // knocks before the last

// The speedometer's overspeed contact (Deuta).
enum DeutaPhase : uint8_t {
  kDeutaRuhe = 0,     // at rest: not above 72 km/h since the speed was last below 70 km/h
  kDeutaWarnung = 1,  // above 72 km/h: the warning sounds
  kDeutaBremst = 2,   // 300 ms of it: the release-lock valve has closed and vents the brake pipe
};

// Running, curve and rail-joint sounds, and the speedometer's overspeed contact (Deuta).
struct RunningSounds {
  bool schienenstoss = false;          // a rail joint is being passed
  double schienenstossposition = 0.0;  // Location at the rail-joint beacon, m
  KnockPhase knocks = kKnocksNone;     // knocks of the current joint played so far
  DeutaPhase deuta = kDeutaRuhe;       // the overspeed contact and its release-lock valve
  int32_t deutatimer = 0;              // start of the current overspeed episode, ms
  CurveSound kurve_schnell;            // the fast curve sound
  CurveSound kurve_langsam;            // the slow curve sound
  BandSound langsam;                   // the slow running band, 15 to 35 km/h
  BandSound mittel;                    // the middle running band, 35 to 55 km/h
  BandSound schnell;                   // the fast running band, above 55 km/h
};

// The whole cab.
struct UBahnCab {
  TrainControlState control;
  MasterController master;
  Brake brake;
  Doors doors;
  TripStop tripStop;
  SpringBrake springBrake;
  HornFan hornFan;
  RunningSounds sounds;
};

// What one device does to another. Each is defined by the device it acts on.
// The trip stop trips: its valve vents the pipe until it is reset (trip_stop.cpp).
void TripTheTripStop(TripStop& tripStop);
// The drive button takes power: the stopping sound may play again at the next stop (brake.cpp).
void RearmStoppingSound(Brake& brake);
// Leaving neutral starts the traction fan and arms its buzzer (horn_fan.cpp).
void StartFan(HornFan& hornFan);
// A trip-stop reset releases the spring brake from afar while the button is held (spring_brake.cpp).
void Speicherbremse_fernaus_druecken(SpringBrake& springBrake);
void Speicherbremse_fernaus_loslassen(SpringBrake& springBrake);
