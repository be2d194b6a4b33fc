// The U-Bahn train control: the start of a run for every device, the drive button and the reverser.
#include "ubahn/train_control.h"

#include <cmath>
#include <cstdint>

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "ubahn/brake.h"
#include "ubahn/brake_pipe.h"
#include "ubahn/doors.h"
#include "ubahn/fixed_elements.h"
#include "ubahn/master_controller.h"
#include "ubahn/running_sounds.h"
#include "ubahn/trip_stop.h"

bool speedSelectorKey = false;
bool fahrschalterAn = false;
bool speedSelectorEngaged = false;
int32_t speedSelectorSetting = 0;
bool startmeldung = true;

int InitTrainControl(int brakeMode) {
  InitHandles();
  InitUBahnDevices();
  return 1;
}

// The devices start in this order; where two of them write one panel element (elements left at
// their default share element 0), the later write stands.
void InitUBahnDevices() {
  speedSelectorKey = false;
  speedSelectorEngaged = false;
  speedSelectorSetting = 0;
  InitMasterController();
  InitBrake();
  InitBrakePipe();
  InitRunningSounds();
  InitDoors();
  SetPanelOpt(OPT_anzeige_init, 0);
  InitTripStop();
}

void DestroyTrainControl() { DestroyHandles(); }

void TrainControl() {
  if (gDriver.Power > 0) startmeldung = false;  // the start message goes once power has been taken
  SetPanelOpt(OPT_anzeige_init, startmeldung ? 1 : 0);

  // Engage: the drive button takes the notch of the master controller position.
  int32_t notch = fahrschalter + 1;
  if (speedSelectorKey && speedSelectorSetting != notch && bremsschalter == kBrakeSlowCharge &&
      bremsleitungsdruck > kPipeReleased && tueren_geschlossen) {
    MovePowerDemand(speedSelectorSetting, notch);
    speedSelectorSetting = notch;
    RearmStoppingSound();
    if (gState.Speed > -2.0f && gState.Speed < 2.0f && !speedSelectorEngaged) {
      SetSound(kSoundStarting, SOUND_PLAY);
    }
    speedSelectorEngaged = true;
  }

  // Cut: above the position's limit, on release, or with the brake controller moved off 1.
  // A speed that is not a number is not above the limit.
  float limit = static_cast<float>(VMax);
  bool keep = !(std::fabs(gState.Speed) > limit) && (speedSelectorKey || !speedSelectorEngaged) &&
              bremsschalter == kBrakeSlowCharge;
  if (!keep) {
    MovePowerDemand(speedSelectorSetting, 0);
    speedSelectorSetting = 0;
    speedSelectorEngaged = false;
  }
}

void UBahnReverser() {
  // In brake controller position 7 the reverser keeps whatever it had.
  if (bremsschalter == kBrakeService) return;
  if (vorwaerts) gHandles.Reverser = 1;
  if (rueckwaerts) gHandles.Reverser = -1;
  if (neutral) gHandles.Reverser = 0;
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

void TrainControlKeyPressed(int key) {
  if (!KeyMatches(OPT_speedselectorkey, key)) return;
  speedSelectorKey = true;
  if (!fahrschalterAn) SetSoundOpt(OPT_fahrtastersound, SOUND_PLAY);
  ShowDriveButton(SifaKey);
  fahrschalterAn = true;
}

void TrainControlKeyReleased(int key) {
  if (!KeyMatches(OPT_speedselectorkey, key)) return;
  speedSelectorKey = false;
  if (fahrschalterAn) SetSoundOpt(OPT_fahrtastersound, SOUND_PLAY);
  SetPanelOpt(OPT_fahrschalter_sifa_an, 0);
  SetPanelOpt(OPT_fahrschalter_sifa_aus, 0);
  fahrschalterAn = false;
}
