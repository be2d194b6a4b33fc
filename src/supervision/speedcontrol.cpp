// Overspeed control: warning, brake and release at configured speeds.
#include "supervision/speedcontrol.h"

#include <cmath>
#include <cstdint>

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "supervision/speedcontrol_record.h"

// A run starts with no comparison made and no brake applied; nothing survives the start.
constexpr SpeedControlRecord kSpeedControlAtStart = {0, kOverspeedBrakeOff};

static SpeedControlRecord control = kSpeedControlAtStart;

SpeedControlRecord& SpeedControlForTesting() { return control; }

void InitSpeedControl(int) { control = kSpeedControlAtStart; }

void DestroySpeedControl() {}

// Whether a speed beyond the 32-bit range or not a number leaves the control as it is: a speed
// that is not a number tells nothing (lamp, alarm and brake stay as they are), one beyond the
// range counts as its end. Out of line: such speeds are absurd.
__attribute__((noinline)) static bool FarSpeedUnchanged(float speed) {
  return std::isnan(speed) || TruncToInt(speed) == control.scSpeed;
}

void CheckSpeed(float speed) {
  if (Opt(OPT_overspeedcontrol) == 0) return;
  // The control acts only when the whole speed changes.
  if (TruncatesPlainly(speed) ? static_cast<int32_t>(speed) == control.scSpeed : FarSpeedUnchanged(speed)) return;
  control.scSpeed = TruncToInt(std::fabs(speed));

  if (Opt(OPT_warningspeed) <= control.scSpeed) {
    SetPanelOpt(OPT_overspeedindicator, 1);
    SetSoundOpt(OPT_overspeedalarm, SOUND_LOOP);
  }
  if (Opt(OPT_overspeed) <= control.scSpeed && control.brakingSequence == kOverspeedBrakeOff) {
    SetPanelOpt(OPT_overspeedindicator, 1);
    SetSoundOpt(OPT_overspeedalarm, SOUND_LOOP);
    SetSound(kSoundOverspeedBrake, SOUND_PLAY);
    OperateBrake(gTrainspecs.BrakeNotches, true);
    control.brakingSequence = kOverspeedBrakeApplied;
    return;
  }
  if (Opt(OPT_safespeed) >= control.scSpeed) {
    SetPanelOpt(OPT_overspeedindicator, 0);
    SetSoundOpt(OPT_overspeedalarm, SOUND_STOP);
    if (control.brakingSequence == kOverspeedBrakeApplied) OperateBrake(gTrainspecs.BrakeNotches, false);
    control.brakingSequence = kOverspeedBrakeOff;
  }
}

void SpeedControlFrame() { CheckSpeed(gState.Speed); }

const CabSystemRow kSpeedControlRow = {
    SYS_OVERSPEED, true, InitSpeedControl, DestroySpeedControl, SpeedControlFrame, nullptr, nullptr, nullptr,
    nullptr, nullptr};
