// Overspeed control: warning, brake and release at configured speeds.
#include "supervision/speedcontrol.h"

#include <cmath>
#include <cstdint>

#include "config/confload.h"
#include "plugin/atsplugin.h"
#include "plugin/tools.h"
#include "ubahn/traincontrol_overhoul.h"

int32_t scSpeed = 0;
bool brakingSequence = false;

// Floats at or beyond these do not fit a 32-bit whole number (2^31 and -2^31).
const float kWholeSpeedCeiling = 2147483648.0f;
const float kWholeSpeedFloor = -2147483648.0f;

// A speed in whole km/h, truncated toward zero; speeds beyond the 32-bit range (infinities
// included) are held at its ends. The caller has ruled out a speed that is not a number.
static int32_t WholeSpeed(float speed) {
  if (speed >= kWholeSpeedCeiling) return INT32_MAX;
  if (speed <= kWholeSpeedFloor) return INT32_MIN;
  return static_cast<int32_t>(speed);
}

void InitSpeedControl() {
  scSpeed = 0;
  brakingSequence = false;
}

void DestroySpeedControl() {}

void CheckSpeed(float speed) {
  if (Opt(OPT_overspeedcontrol) == 0) return;
  // A speed that is not a number tells nothing: lamp, alarm and brake stay as they are.
  if (std::isnan(speed)) return;
  // The control acts only when the whole speed changes.
  if (WholeSpeed(speed) == scSpeed) return;
  scSpeed = WholeSpeed(std::fabs(speed));

  if (Opt(OPT_warningspeed) <= scSpeed) {
    SetPanelOpt(OPT_overspeedindicator, 1);
    SetSoundOpt(OPT_overspeedalarm, SOUND_LOOP);
  }
  if (Opt(OPT_overspeed) <= scSpeed && !brakingSequence) {
    SetPanelOpt(OPT_overspeedindicator, 1);
    SetSoundOpt(OPT_overspeedalarm, SOUND_LOOP);
    SetSound(kSoundOverspeedBrake, SOUND_PLAY);
    OperateBrake(gTrainspecs.BrakeNotches, true);
    brakingSequence = true;
    return;
  }
  if (Opt(OPT_safespeed) >= scSpeed) {
    SetPanelOpt(OPT_overspeedindicator, 0);
    SetSoundOpt(OPT_overspeedalarm, SOUND_STOP);
    if (brakingSequence) OperateBrake(gTrainspecs.BrakeNotches, false);
    brakingSequence = false;
  }
}
