// A U-Bahn cab brought to its start state for the driving-control tests: defaults, an eight-notch
// vehicle, the demand tables made, and every panel element the controls write wired to an element
// of its own, so a test can read exactly the lamp or picture it means.
#pragma once

#include <cstdint>

#include "config/confload.h"
#include "cab/handles_testing.h"
#include "plugin/atsplugin.h"
#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/indicator.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "ubahn/testing.h"

// Panel elements used by the tests.
const int kPanelPosition = 10;       // master controller position
const int kPanelBrake1 = 11;         // brake controller picture, positions 0 to 6
const int kPanelBrake2 = 12;         // brake controller picture, positions 5 to 8
const int kPanelHoldingButton = 13;  // holding-brake button
const int kPanelE4 = 14;
const int kPanelBrakeLamp = 15;
const int kPanelNotch = 16;          // brake notch display
const int kPanelPipe = 17;           // brake-pipe gauge
const int kPanelSupply = 18;         // supply-pipe gauge
const int kPanelStartMessage = 19;
const int kPanelTripStop = 20;
const int kPanelSifa = 21;
const int kPanelDriveWithSifa = 22;
const int kPanelDriveWithoutSifa = 23;
const int kPanelBuzzer = 24;
const int kPanelEffectiveReverser = 25;

const int kSifaKey = 30;         // key number of the Sifa key
const int kDriveButton = 31;     // key number of the drive button
const int kSoundSifa = 40;       // sound element of the Sifa key
const int kSoundDriveButton = 41;

// Wires the elements above; the options stay as the defaults have them otherwise.
inline void WireCab() {
  gOpts[OPT_fahrschalterstellung].value = kPanelPosition;
  gOpts[OPT_bremsschalter1].value = kPanelBrake1;
  gOpts[OPT_bremsschalter2].value = kPanelBrake2;
  gOpts[OPT_festhaltebremse].value = kPanelHoldingButton;
  gOpts[OPT_leuchtmelder_e4].value = kPanelE4;
  gOpts[OPT_leuchtmelder_bremse].value = kPanelBrakeLamp;
  gOpts[OPT_travelmeter100].value = kPanelNotch;
  gOpts[OPT_bremsleitungsdruck].value = kPanelPipe;
  gOpts[OPT_fuellleitungsdruck].value = kPanelSupply;
  gOpts[OPT_anzeige_init].value = kPanelStartMessage;
  gOpts[OPT_fahrsperre].value = kPanelTripStop;
  gOpts[OPT_sifa].value = kPanelSifa;
  gOpts[OPT_fahrschalter_sifa_an].value = kPanelDriveWithSifa;
  gOpts[OPT_fahrschalter_sifa_aus].value = kPanelDriveWithoutSifa;
  gOpts[OPT_luefter].value = kPanelBuzzer;
  gOpts[OPT_sifakey].value = kSifaKey;
  gOpts[OPT_sifasound].value = kSoundSifa;
}

// Fresh arrays, default options wired as above, an eight-notch vehicle at rest at time 1000,
// and the start state the cab takes at every run start. State of the neighbouring devices
// (doors, trip stop, spring brake, overspeed contact) is put to "nothing in the way".
inline void StartCab(int brakeNotches = 8, int powerNotches = 8) {
  Load();
  ScrapConfig();
  SetDefaults();
  WireCab();
  gTrainspecs = ATS_VEHICLESPEC{brakeNotches, powerNotches, 0, 0, 3};
  gState = ATS_VEHICLESTATE{};
  gState.Time = 1000;
  gHandles = ATS_HANDLES{};

  TestCab().master.fahrschalter = 2;
  TestCab().master.VMax = 0;
  TestCab().master.sifaAn = false;
  TestCab().control.startmeldung = true;
  TestCab().control.fahrschalterAn = false;
  TestCab().brake.anhaltesound = false;
  TestCab().brake.ebremstimer = 0;
  TestCab().tripStop.fahrsperre = kFahrsperreScharf;
  TestCab().sounds.deuta = kDeutaRuhe;
  TestCab().springBrake.federspeicher_aktiv = false;
  TestCab().hornFan.summer = kBuzzerOver;

  DestroyTrainControl();
  InitTrainControl(0);
  Load();  // the tests read only what the controls write from here on
}

// The demand count at a brake or power notch (the tables must exist).
inline int32_t BrakeCount(int notch) { return BrakeDemandCount(notch); }
inline int32_t PowerCount(int notch) { return PowerDemandCount(notch); }
