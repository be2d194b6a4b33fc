// The key-operated master controller (Fahrschalter) and the Sifa dead-man device.
#include <cmath>

#include "ubahn/master_controller.h"

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "ubahn/brake.h"
#include "ubahn/brake_pipe.h"
#include "ubahn/fixed_elements.h"
#include "ubahn/horn_fan.h"
#include "ubahn/train_control.h"
#include "ubahn/trip_stop.h"

int32_t fahrschalter = kFahrschalterNeutral;
bool vorwaerts = false;
bool rueckwaerts = false;
bool neutral = true;
int32_t VMax = 0;
bool SifaKey = false;
bool sifaAn = false;
bool SifaBremst = false;

const float kTripStopSpeed = 7.0f;      // km/h: throwing to neutral faster than this trips the trip stop
const double kSifaWarningPipe = 200.0;  // kPa: the warning sounds only while the pipe holds more
const double kHoldingPipe = 450.0;      // kPa: at or below it the holding brake keeps the train at rest

// Speed limit of the drive button per controller position, km/h; neutral keeps the last one.
const int32_t kKeepVMax = -1;
const int32_t kVMaxByPosition[8] = {25, 15, kKeepVMax, 15, 25, 50, 60, 70};

static void RefreshVMax() {
  if (fahrschalter < 0 || fahrschalter > kFahrschalterTop) return;
  int32_t limit = kVMaxByPosition[fahrschalter];
  if (limit != kKeepVMax) VMax = limit;
}

static void ShowPositionAndClick() {
  SetPanelOpt(OPT_fahrschalterstellung, fahrschalter);
  SetSound(kSoundSwitchClick, SOUND_PLAY);
}

void InitMasterController() {
  SifaKey = false;
  SetPanelOpt(OPT_fahrschalterstellung, fahrschalter);
  FahrschalterNull(kKeyFahrschalterNull);
  fahrschalter = kFahrschalterNeutral;
  SifaBremst = false;
  vorwaerts = false;
  rueckwaerts = false;
  neutral = true;
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
  SetSound(kSoundBuzzerLoop, SOUND_STOP);
  SetSound(kSoundForcedBraking, SOUND_STOP);

  SifaBremst = false;

  // Thrown to neutral at speed: the trip stop trips and its valve vents the pipe.
  if (fahrsperre && std::fabs(gState.Speed) > kTripStopSpeed) {
    SetSound(kSoundPipeVenting, SOUND_PLAY);
    Fahrsperre_ausloesen();
  }
}

void SifaKeyPressed(int key) {
  if (!KeyMatches(OPT_sifakey, key)) return;
  SifaKey = true;
  if (!sifaAn) {
    SetSoundOpt(OPT_sifasound, SOUND_PLAY);
    SetPanelOpt(OPT_sifa, 1);
  }
  if (speedSelectorKey) SetPanelOpt(OPT_fahrschalter_sifa_an, 1);
  sifaAn = true;
}

void SifaKeyReleased(int key) {
  if (!KeyMatches(OPT_sifakey, key)) return;
  SifaKey = false;
  if (sifaAn) {
    SetSoundOpt(OPT_sifasound, SOUND_PLAY);
    SetPanelOpt(OPT_sifa, 0);
  }
  if (speedSelectorKey) SetPanelOpt(OPT_fahrschalter_sifa_an, 0);
  sifaAn = false;
}

static void BeginForcedBraking() {
  if (bremsleitungsdruck > kSifaWarningPipe) SetSound(kSoundForcedBraking, SOUND_PLAY);
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
      SetSound(kSoundForcedBraking, SOUND_STOP);
      if (bremsschalter == kBrakeFastCharge && bremsleitungsdruck < kPipeReleased) {
        SetSound(kSoundPipeFilling, SOUND_PLAY);
      }
    }
    SifaBremst = false;
  }
}
