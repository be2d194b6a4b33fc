// The U-Bahn train control: the drive button and the reverser.
#include "ubahn/train_control.h"

#include <cmath>
#include <cstdint>

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/vocabulary.h"
#include "config/confload.h"

void TrainControl(UBahnCab& cab) {
  if (gDriver.Power > 0) cab.control.startmeldung = false;  // the start message goes once power has been taken
  SetPanelOpt(OPT_anzeige_init, cab.control.startmeldung ? 1 : 0);

  // Engage: the drive button takes the notch of the master controller position.
  int32_t notch = cab.master.fahrschalter + 1;
  if (cab.control.speedSelectorKey && cab.control.speedSelectorSetting != notch && cab.brake.bremsschalter == kBrakeSlowCharge &&
      cab.brake.bremsleitungsdruck > kPipeReleased && cab.doors.tueren_geschlossen) {
    MovePowerDemand(cab.control.speedSelectorSetting, notch);
    cab.control.speedSelectorSetting = notch;
    RearmStoppingSound(cab.brake);
    if (gState.Speed > -2.0f && gState.Speed < 2.0f && !cab.control.speedSelectorEngaged) {
      SetSound(kSoundStarting, SOUND_PLAY);
    }
    cab.control.speedSelectorEngaged = true;
  }

  // Cut: above the position's limit, on release, or with the brake controller moved off 1.
  // A speed that is not a number is not above the limit.
  float limit = static_cast<float>(cab.master.VMax);
  bool keep = !(std::fabs(gState.Speed) > limit) && (cab.control.speedSelectorKey || !cab.control.speedSelectorEngaged) &&
              cab.brake.bremsschalter == kBrakeSlowCharge;
  if (!keep) {
    MovePowerDemand(cab.control.speedSelectorSetting, 0);
    cab.control.speedSelectorSetting = 0;
    cab.control.speedSelectorEngaged = false;
  }
}

void UBahnReverser(UBahnCab& cab) {
  // In brake controller position 7 the reverser keeps whatever it had.
  if (cab.brake.bremsschalter == kBrakeService) return;
  switch (cab.master.richtung) {
    case kRichtungVorwaerts: gHandles.Reverser = 1; break;
    case kRichtungRueckwaerts: gHandles.Reverser = -1; break;
    case kRichtungNeutral: gHandles.Reverser = 0; break;
  }
}

// The drive-button picture: with or without the Sifa key held.
static void ShowDriveButton(bool withSifa) {
  if (withSifa) {
    SetPanelOpt(OPT_fahrschalter_sifa_an, 1);
    SetPanelOpt(OPT_fahrschalter_sifa_aus, 0);
  } else {
    SetPanelOpt(OPT_fahrschalter_sifa_aus, 1);
    SetPanelOpt(OPT_fahrschalter_sifa_an, 0);
  }
}

void TrainControlKeyPressed(UBahnCab& cab, int key) {
  if (!KeyMatches(OPT_speedselectorkey, key)) return;
  cab.control.speedSelectorKey = true;
  if (!cab.control.fahrschalterAn) SetSoundOpt(OPT_fahrtastersound, SOUND_PLAY);
  ShowDriveButton(cab.master.SifaKey);
  cab.control.fahrschalterAn = true;
}

void TrainControlKeyReleased(UBahnCab& cab, int key) {
  if (!KeyMatches(OPT_speedselectorkey, key)) return;
  cab.control.speedSelectorKey = false;
  if (cab.control.fahrschalterAn) SetSoundOpt(OPT_fahrtastersound, SOUND_PLAY);
  SetPanelOpt(OPT_fahrschalter_sifa_an, 0);
  SetPanelOpt(OPT_fahrschalter_sifa_aus, 0);
  cab.control.fahrschalterAn = false;
}
