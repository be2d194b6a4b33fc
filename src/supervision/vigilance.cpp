// The vigilance device: a lamp, an alarm and a brake unless the driver shows he is awake.
#include "supervision/vigilance.h"

#include <cmath>
#include <cstdint>

#include "config/confload.h"
#include "plugin/atsplugin.h"
#include "plugin/tools.h"
#include "ubahn/traincontrol_overhoul.h"

int32_t vigilance = 0;
int32_t phase = kVigilanceSupervising;

// vigilanceinactivespeed: rest while the reverser is neutral instead of below a speed.
const int32_t kRestWithNeutralReverser = -2;
const int32_t kOptionOn = 1;  // value of the switches vigilancecancellable and vigilanceautorelease

// The lamp goes out, the alarm stops and the interval starts again from now.
static void ResetVigilance() {
  SetPanelOpt(OPT_vigilancelamp, 0);
  SetSoundOpt(OPT_vigilancealarm, SOUND_STOP);
  vigilance = gState.Time;
  phase = kVigilanceSupervising;
}

// The interval for the power notch in use: the first value serves notch 0, each further value
// the next notch, and the last value every notch beyond the list.
static int32_t IntervalForPowerNotch(int32_t notch) {
  int32_t interval = Opt(OPT_vigilanceinterval);
  const OptionNode* node = gOpts[OPT_vigilanceinterval].next;
  for (int32_t n = 0; n < notch && node != nullptr; n++) {
    interval = node->value;
    node = node->next;
  }
  return interval;
}

// Supervision rests while the train stands (or crawls) or, if so configured, while the
// reverser is neutral; the interval is then timed from the moment it resumes.
static bool DeviceRests() {
  const int32_t inactiveSpeed = Opt(OPT_vigilanceinactivespeed);
  if (inactiveSpeed == kRestWithNeutralReverser) return gHandles.Reverser == 0;
  return std::fabs(gState.Speed) <= static_cast<float>(inactiveSpeed);
}

void InitVigilance() {
  vigilance = 0;
  phase = kVigilanceSupervising;
  SetPanelOpt(OPT_vigilancelamp, 0);
  SetSoundOpt(OPT_vigilancealarm, SOUND_STOP);
}

void DestroyVigilance() {}

void CheckVigilance() {
  if (Opt(OPT_vigilance) == 0) return;
  switch (phase) {
    case kVigilanceSupervising:
      if (DeviceRests()) {
        vigilance = gState.Time;
        return;
      }
      if (tOn(vigilance, gState.Time, IntervalForPowerNotch(gHandles.Power))) {
        SetPanelOpt(OPT_vigilancelamp, 1);
        phase = kVigilanceLampLit;
      }
      break;
    case kVigilanceLampLit:
      if (tOn(vigilance, gState.Time, Opt(OPT_vigilancedelay1))) {
        SetSoundOpt(OPT_vigilancealarm, SOUND_LOOP);
        phase = kVigilanceAlarm;
      }
      break;
    case kVigilanceAlarm:
      if (tOn(vigilance, gState.Time, Opt(OPT_vigilancedelay2))) {
        OperateBrake(EmergencyBrakeNotch(), true);
        phase = kVigilanceBraking;
      }
      break;
    case kVigilanceBraking:
      if (Opt(OPT_vigilanceautorelease) == kOptionOn && gState.Speed == 0.0f) {
        ResetVigilance();
        OperateBrake(EmergencyBrakeNotch(), false);
      }
      break;
    default:
      break;
  }
}

void VigilanceKeyPressed(int key, bool isKey) {
  if (Opt(OPT_vigilance) == 0) return;
  const bool vigilanceKey = isKey && key == Opt(OPT_vigilancekey);
  if (phase != kVigilanceBraking) {
    // Before the brake, any sign of life will do, unless only the vigilance key counts.
    if (Opt(OPT_independentvigilance) == 0 || vigilanceKey) ResetVigilance();
    return;
  }
  // Once braking, only the vigilance key releases, and only at a standstill unless the
  // braking may be cancelled on the move.
  if (vigilanceKey && (gState.Speed == 0.0f || Opt(OPT_vigilancecancellable) == kOptionOn)) {
    ResetVigilance();
    OperateBrake(EmergencyBrakeNotch(), false);
  }
}
