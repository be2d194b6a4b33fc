// The key-operated master controller (Fahrschalter) and the Sifa dead-man device.
#include <cassert>
#include <cmath>

#include "ubahn/master_controller.h"

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/vocabulary.h"
#include "config/confload.h"

const float kTripStopSpeed = 7.0f;      // km/h: throwing to neutral faster than this trips the trip stop
const double kSifaWarningPipe = 200.0;  // kPa: the warning sounds only while the pipe holds more
const double kHoldingPipe = 450.0;      // kPa: at or below it the holding brake keeps the train at rest

// Speed limit of the drive button per controller position, km/h; neutral keeps the last one.
const int32_t kKeepVMax = -1;
const int32_t kVMaxByPosition[8] = {25, 15, kKeepVMax, 15, 25, 50, 60, 70};

static void RefreshVMax(MasterController& master) {
  assert(master.fahrschalter >= 0 && master.fahrschalter <= kFahrschalterTop);  // the keys hold it there
  int32_t limit = kVMaxByPosition[master.fahrschalter];
  if (limit != kKeepVMax) master.VMax = limit;
}

static void ShowPositionAndClick(const MasterController& master) {
  SetPanelOpt(OPT_fahrschalterstellung, master.fahrschalter);
  SetSound(kSoundSwitchClick, SOUND_PLAY);
}

void ThrowToNeutralAtStart(UBahnCab& cab) {
  SetPanelOpt(OPT_fahrschalterstellung, cab.master.fahrschalter);
  FahrschalterNull(cab, kKeyFahrschalterNull);
}

void FahrschalterAuf(UBahnCab& cab, int key) {
  // Every key press releases one emergency demand, whoever placed it.
  OperateBrake(EmergencyBrakeNotch(), false);

  if (key == kKeyFahrschalterAuf && cab.master.fahrschalter <= kFahrschalterTop - 1 &&
      cab.master.fahrschalter != kFahrschalterReverse1) {
    cab.master.fahrschalter += 1;
    if (cab.master.fahrschalter == kFahrschalterForward1) {
      cab.master.richtung = kRichtungVorwaerts;
      StartFan(cab.hornFan);
    }
    ShowPositionAndClick(cab.master);
  }
  RefreshVMax(cab.master);
}

void FahrschalterAb(UBahnCab& cab, int key) {
  if (key == kKeyFahrschalterAb && cab.master.fahrschalter > 0 && cab.master.fahrschalter != kFahrschalterForward1) {
    cab.master.fahrschalter -= 1;
    if (cab.master.fahrschalter == kFahrschalterReverse1) {
      cab.master.richtung = kRichtungRueckwaerts;
      StartFan(cab.hornFan);
    }
    ShowPositionAndClick(cab.master);
  }
  RefreshVMax(cab.master);
}

void FahrschalterNull(UBahnCab& cab, int key) {
  if (key != kKeyFahrschalterNull || cab.master.fahrschalter == kFahrschalterNeutral) return;

  cab.master.fahrschalter = kFahrschalterNeutral;
  cab.master.richtung = kRichtungNeutral;

  SetPanelOpt(OPT_fahrschalterstellung, kFahrschalterNeutral);
  SetPanelOpt(OPT_luefter, 0);

  SetSound(kSoundSwitchClick, SOUND_PLAY);
  SetSound(kSoundFanStart, SOUND_STOP);
  SetSound(kSoundFanRunning, SOUND_STOP);
  SetSound(kSoundFanRunDown, SOUND_PLAY);
  SetSound(kSoundBuzzerLoop, SOUND_STOP);
  SetSound(kSoundForcedBraking, SOUND_STOP);

  cab.master.SifaBremst = false;

  // Thrown to neutral at speed: the trip stop trips and its valve vents the pipe.
  if (cab.tripStop.fahrsperre == kFahrsperreScharf && std::fabs(gState.Speed) > kTripStopSpeed) {
    SetSound(kSoundPipeVenting, SOUND_PLAY);
    TripTheTripStop(cab.tripStop);
  }
}

void SifaKeyPressed(UBahnCab& cab, int key) {
  if (!KeyMatches(OPT_sifakey, key)) return;
  cab.master.SifaKey = true;
  if (!cab.master.sifaAn) {
    SetSoundOpt(OPT_sifasound, SOUND_PLAY);
    SetPanelOpt(OPT_sifa, 1);
  }
  if (cab.control.speedSelectorKey) SetPanelOpt(OPT_fahrschalter_sifa_an, 1);
  cab.master.sifaAn = true;
}

void SifaKeyReleased(UBahnCab& cab, int key) {
  if (!KeyMatches(OPT_sifakey, key)) return;
  cab.master.SifaKey = false;
  if (cab.master.sifaAn) {
    SetSoundOpt(OPT_sifasound, SOUND_PLAY);
    SetPanelOpt(OPT_sifa, 0);
  }
  if (cab.control.speedSelectorKey) SetPanelOpt(OPT_fahrschalter_sifa_an, 0);
  cab.master.sifaAn = false;
}

static void BeginForcedBraking(UBahnCab& cab) {
  if (cab.brake.bremsleitungsdruck > kSifaWarningPipe) SetSound(kSoundForcedBraking, SOUND_PLAY);
  cab.master.SifaBremst = true;
}

void SifaFestbremsen(UBahnCab& cab) {
  // Supervision: out of neutral the Sifa key must be held.
  if (!cab.master.sifaAn && !cab.master.SifaBremst && cab.master.fahrschalter != kFahrschalterNeutral) {
    bool standing = gState.Speed == 0.0f;  // a speed that is not a number counts as moving
    if (!standing) BeginForcedBraking(cab);
    bool heldByHoldingBrake = cab.brake.bremsschalter == kBrakeHolding && !(cab.brake.bremsleitungsdruck > kHoldingPipe);
    if (standing && !heldByHoldingBrake && !cab.master.SifaBremst) BeginForcedBraking(cab);
  }

  // Release: the Sifa key held again ends the forced braking.
  if (cab.master.sifaAn) {
    if (cab.master.SifaBremst) {
      OperateBrake(EmergencyBrakeNotch(), false);
      SetSound(kSoundForcedBraking, SOUND_STOP);
      if (cab.brake.bremsschalter == kBrakeFastCharge && cab.brake.bremsleitungsdruck < kPipeReleased) {
        SetSound(kSoundPipeFilling, SOUND_PLAY);
      }
    }
    cab.master.SifaBremst = false;
  }
}
