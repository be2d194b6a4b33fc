// The key-operated master controller (Fahrschalter) and the Sifa dead-man device.
#include <cmath>

#include "config/confload.h"
#include "plugin/tools.h"
#include "ubahn/traincontrol_overhoul.h"

int32_t fahrschalter = 2;
bool vorwaerts = false;
bool rueckwaerts = false;
bool neutral = true;
int32_t VMax = 0;
bool SifaKey = false;
bool sifaAn = false;
bool SifaBremst = false;

// Fixed sound elements of the controller and the Sifa.
const int kSoundSwitchClick = 5;
const int kSoundTripValve = 7;
const int kSoundPipeFilling = 8;
const int kSoundFanStart = 9;
const int kSoundFanRunning = 10;
const int kSoundFanRunDown = 11;
const int kSoundBuzzer = 12;
const int kSoundSifaWarning = 78;

const int kFahrschalterTop = 7;         // forward, fifth step
const int kFahrschalterForward1 = 3;    // forward, first step
const int kFahrschalterReverse1 = 1;    // reverse, first step
const float kTripStopSpeed = 7.0f;      // km/h: throwing to neutral faster than this trips the trip stop
const double kSifaWarningPipe = 200.0;  // kPa: the warning sounds only while the pipe holds more
const int kBrakeHolding = 6;            // brake controller position of the holding brake
const double kHoldingPipe = 450.0;      // kPa: at or below it the holding brake keeps the train at rest

// Speed limit of the drive button per controller position, km/h; neutral keeps the last one.
const int32_t kKeepVMax = -1;
const int32_t kVMaxByPosition[8] = {25, 15, kKeepVMax, 15, 25, 50, 60, 70};

static void RefreshVMax() {
  if (fahrschalter < 0 || fahrschalter > kFahrschalterTop) return;
  int32_t limit = kVMaxByPosition[fahrschalter];
  if (limit != kKeepVMax) VMax = limit;
}

// Leaving neutral starts the traction fan and arms its buzzer.
static void StartFan() {
  SetSound(kSoundFanStart, SOUND_PLAY);
  lueftertimer = gState.Time;
  lueftersummertimer1 = gState.Time;
  lueftersummertimer2 = gState.Time;
  summer = true;
}

static void ShowPositionAndClick() {
  SetPanelOpt(OPT_fahrschalterstellung, fahrschalter);
  SetSound(kSoundSwitchClick, SOUND_PLAY);
}

void FahrschalterAuf(int key) {
  // Every key press releases one emergency demand, whoever placed it.
  OperateBrake(EmergencyBrakeNotch(), false);

  if (key == kKeyFahrschalterAuf && fahrschalter <= kFahrschalterTop - 1 &&
      fahrschalter != kFahrschalterReverse1) {
    fahrschalter += 1;
    if (fahrschalter == kFahrschalterForward1) {
      vorwaerts = true;
      neutral = false;
      StartFan();
    }
    ShowPositionAndClick();
  }
  RefreshVMax();
}

void FahrschalterAb(int key) {
  if (key == kKeyFahrschalterAb && fahrschalter > 0 && fahrschalter != kFahrschalterForward1) {
    fahrschalter -= 1;
    if (fahrschalter == kFahrschalterReverse1) {
      rueckwaerts = true;
      neutral = false;
      StartFan();
    }
    ShowPositionAndClick();
  }
  RefreshVMax();
}

void FahrschalterNull(int key) {
  if (key != kKeyFahrschalterNull || fahrschalter == kFahrschalterNeutral) return;

  fahrschalter = kFahrschalterNeutral;
  neutral = true;
  vorwaerts = false;
  rueckwaerts = false;

  SetPanelOpt(OPT_fahrschalterstellung, kFahrschalterNeutral);
  SetPanelOpt(OPT_luefter, 0);

  SetSound(kSoundSwitchClick, SOUND_PLAY);
  SetSound(kSoundFanStart, SOUND_STOP);
  SetSound(kSoundFanRunning, SOUND_STOP);
  SetSound(kSoundFanRunDown, SOUND_PLAY);
  SetSound(kSoundBuzzer, SOUND_STOP);
  SetSound(kSoundSifaWarning, SOUND_STOP);

  SifaBremst = false;

  // Thrown to neutral at speed: the trip stop trips and its valve vents the pipe.
  if (fahrsperre && std::fabs(gState.Speed) > kTripStopSpeed) {
    SetSound(kSoundTripValve, SOUND_PLAY);
    fahrsperre = false;
    loesesperrventil_fahrsperre = true;
    SetPanelOpt(OPT_fahrsperre, 0);
  }
}

// The Sifa key's number; -1 matches no key.
static bool IsSifaKey(int key) {
  int32_t sifaKey = Opt(OPT_sifakey);
  return sifaKey != -1 && key == sifaKey;
}

void SifaKeyPressed(int key) {
  if (!IsSifaKey(key)) return;
  SifaKey = true;
  if (!sifaAn) {
    SetSoundOpt(OPT_sifasound, SOUND_PLAY);
    SetPanelOpt(OPT_sifa, 1);
  }
  if (speedSelectorKey) SetPanelOpt(OPT_fahrschalter_sifa_an, 1);
  sifaAn = true;
}

void SifaKeyReleased(int key) {
  if (!IsSifaKey(key)) return;
  SifaKey = false;
  if (sifaAn) {
    SetSoundOpt(OPT_sifasound, SOUND_PLAY);
    SetPanelOpt(OPT_sifa, 0);
  }
  if (speedSelectorKey) SetPanelOpt(OPT_fahrschalter_sifa_an, 0);
  sifaAn = false;
}

static void BeginForcedBraking() {
  if (bremsleitungsdruck > kSifaWarningPipe) SetSound(kSoundSifaWarning, SOUND_PLAY);
  SifaBremst = true;
}

void SifaFestbremsen() {
  // Supervision: out of neutral the Sifa key must be held.
  if (!sifaAn && !SifaBremst && fahrschalter != kFahrschalterNeutral) {
    bool standing = gState.Speed == 0.0f;  // a speed that is not a number counts as moving
    if (!standing) BeginForcedBraking();
    bool heldByHoldingBrake = bremsschalter == kBrakeHolding && !(bremsleitungsdruck > kHoldingPipe);
    if (standing && !heldByHoldingBrake && !SifaBremst) BeginForcedBraking();
  }

  // Release: the Sifa key held again ends the forced braking.
  if (sifaAn) {
    if (SifaBremst) {
      OperateBrake(EmergencyBrakeNotch(), false);
      SetSound(kSoundSifaWarning, SOUND_STOP);
      if (bremsschalter == 2 && bremsleitungsdruck < kPipeReleased) {
        SetSound(kSoundPipeFilling, SOUND_PLAY);
      }
    }
    SifaBremst = false;
  }
}
