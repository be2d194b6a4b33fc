// The vigilance device: a lamp, an alarm and a brake unless the driver shows he is awake.
#include "supervision/vigilance.h"

#include <cassert>
#include <cmath>
#include <cstdint>

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "supervision/vigilance_record.h"

// A run starts supervising with the timer armed at the first frame; nothing survives the start.
constexpr VigilanceRecord kVigilanceAtStart = {0, kVigilanceSupervising, {OPT_vigilanceinterval, {}, 0}, 0.0f};

static VigilanceRecord device = kVigilanceAtStart;

VigilanceRecord& VigilanceForTesting() { return device; }

// vigilanceinactivespeed: rest while the reverser is neutral instead of below a speed.
const int32_t kRestWithNeutralReverser = -2;
const int32_t kOptionOn = 1;  // value of the switches vigilancecancellable and vigilanceautorelease

// The lamp goes out, the alarm stops and the interval starts again from now.
static void ResetVigilance() {
  SetPanelOpt(OPT_vigilancelamp, 0);
  SetSoundOpt(OPT_vigilancealarm, SOUND_STOP);
  RestartAtNow(device.vigilance);
  device.phase = kVigilanceSupervising;
}

// Supervision rests while the train stands (or crawls) or, if so configured, while the
// reverser is neutral; the interval is then timed from the moment it resumes.
static bool DeviceRests() {
  if (Opt(OPT_vigilanceinactivespeed) == kRestWithNeutralReverser) return gHandles.Reverser == 0;
  return std::fabs(gState.Speed) <= device.restSpeed;
}

void InitVigilance(int) {
  device = kVigilanceAtStart;
  device.intervals = KeepNotchValues(OPT_vigilanceinterval);
  device.restSpeed = static_cast<float>(Opt(OPT_vigilanceinactivespeed));
  SetPanelOpt(OPT_vigilancelamp, 0);
  SetSoundOpt(OPT_vigilancealarm, SOUND_STOP);
}

void DestroyVigilance() {}

// The phases once the lamp is lit: the alarm, the brake and its automatic release. Out of
// line: a supervising frame saves no registers for them.
__attribute__((noinline)) static void RunWarning() {
  assert(device.phase != kVigilanceSupervising);  // CheckVigilance supervises
  if (device.phase == kVigilanceLampLit) {
    if (tOn(device.vigilance, gState.Time, Opt(OPT_vigilancedelay1))) {
      SetSoundOpt(OPT_vigilancealarm, SOUND_LOOP);
      device.phase = kVigilanceAlarm;
    }
  } else if (device.phase == kVigilanceAlarm) {
    if (tOn(device.vigilance, gState.Time, Opt(OPT_vigilancedelay2))) {
      OperateBrake(EmergencyBrakeNotch(), true);
      device.phase = kVigilanceBraking;
    }
  } else if (Opt(OPT_vigilanceautorelease) == kOptionOn && gState.Speed == 0.0f) {  // braking
    ResetVigilance();
    OperateBrake(EmergencyBrakeNotch(), false);
  }
}

void CheckVigilance() {
  if (Opt(OPT_vigilance) == 0) return;
  if (device.phase != kVigilanceSupervising) {
    RunWarning();
    return;
  }
  if (DeviceRests()) {
    RestartAtNow(device.vigilance);
    return;
  }
  // The first interval serves power notch 0, each further one the next notch, the last every
  // notch beyond the list.
  if (tOn(device.vigilance, gState.Time, NotchValueAt(device.intervals, gHandles.Power))) {
    SetPanelOpt(OPT_vigilancelamp, 1);
    device.phase = kVigilanceLampLit;
  }
}

void VigilanceKeyPressed(int key, bool isKey) {
  if (Opt(OPT_vigilance) == 0) return;
  const bool vigilanceKey = isKey && KeyMatches(OPT_vigilancekey, key);
  if (device.phase != kVigilanceBraking) {
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

void VigilanceKeyDown(int key) { VigilanceKeyPressed(key, true); }

// Every move of a driver's control is a sign of life.
void VigilanceDriverMoved(DriverControl, int value) { VigilanceKeyPressed(value, false); }

const CabSystemRow kVigilanceRow = {
    SYS_VIGILANCE, true, InitVigilance, DestroyVigilance, CheckVigilance, VigilanceKeyDown, nullptr, nullptr,
    nullptr, VigilanceDriverMoved};
