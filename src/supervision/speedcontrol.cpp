// Overspeed control: warning, brake and release at configured speeds.
#include "supervision/speedcontrol.h"

#include <cmath>
#include <cstdint>

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/vocabulary.h"
#include "config/confload.h"

int32_t scSpeed = 0;
bool brakingSequence = false;

void InitSpeedControl(int) {
  scSpeed = 0;
  brakingSequence = false;
}

void DestroySpeedControl() {}

void CheckSpeed(float speed) {
  if (Opt(OPT_overspeedcontrol) == 0) return;
  // A speed that is not a number tells nothing: lamp, alarm and brake stay as they are.
  if (std::isnan(speed)) return;
  // The control acts only when the whole speed changes.
  if (TruncToInt(speed) == scSpeed) return;
  scSpeed = TruncToInt(std::fabs(speed));

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

void SpeedControlFrame() { CheckSpeed(gState.Speed); }

const CabSystemRow kSpeedControlRow = {
    SYS_OVERSPEED, true, InitSpeedControl, DestroySpeedControl, SpeedControlFrame, nullptr, nullptr, nullptr,
    nullptr, nullptr};
