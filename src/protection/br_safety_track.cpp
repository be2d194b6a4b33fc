// British train protection: AWS magnets and TPWS sensors on the track, and the per-frame supervision.
#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/indicator.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "protection/br_safety.h"

const int kAwsClearAspect = 3;  // an AWS signal magnet above this aspect is a clear magnet
const int kAwsIndicatorAppearOnHorn = 1;

// Clear magnet: the bell rings and the indicator goes black. An AWS brake already applied is left
// applied: the AWS stays braking so the acknowledge button and the standstill release can still
// take it off.
static void AwsClear() {
  SetPanelOpt(OPT_awsindicator, 0);
  SetSoundOpt(OPT_awswarningsound, SOUND_STOP);
  SetSoundOpt(OPT_awsclearsound, SOUND_PLAY);
  if (!awsStop) awsPhase = kAwsIdle;
}

// Caution magnet: the horn sounds and a warning starts unless one is pending or the brake is on.
static void AwsCaution() {
  SetPanelOpt(OPT_awsindicator, Opt(OPT_awsindicatorappear) == kAwsIndicatorAppearOnHorn ? 1 : 0);
  SetSoundOpt(OPT_awswarningsound, SOUND_PLAY);
  SetSoundOpt(OPT_awsclearsound, SOUND_STOP);
  if (awsPhase == kAwsIdle) {
    awsPhase = kAwsWarning;
    RestartAtNow(awsWarningSince);
  }
}

static void TriggerTpws() {
  SetFlashing(brakeDemand, 1);
  SetSoundOpt(OPT_tpwswarningsound, SOUND_LOOP);
  OperateBrake(EmergencyBrakeNotch(), true);
  tpwsTrainstop = true;
  stopTimer = kTimerStopped;
  tpwsRelease = false;
}

// An armed override is used up by the next train-stop sensor, which then demands no brake.
static void ConsumeOverride() {
  overrideTimer = kTimerStopped;
  SetSteady(stopOverride, 0);
}

static bool AtDanger(const ATS_BEACONDATA& beacon) { return beacon.Signal <= 0; }

// Strictly faster than a whole-km/h limit; a speed that is not a number is never faster.
static bool Faster(int32_t limit) { return gState.Speed > static_cast<float>(limit); }

void SetBRSafetyStatus(ATS_BEACONDATA beacon) {
  const int system = Opt(OPT_system);
  if (beacon.Type < kBeaconAwsSignalMagnet || beacon.Type > kBeaconSpeedRestriction) return;
  if (system == kSystemOff || !(gState.Speed >= 0.0f)) return;  // nothing acts when running backwards

  if ((system == kSystemAwsOnly || system == kSystemAwsAndTpws) &&
      (beacon.Type == kBeaconAwsSignalMagnet || beacon.Type == kBeaconAwsPermanentMagnet)) {
    if (beacon.Type == kBeaconAwsSignalMagnet && beacon.Signal > kAwsClearAspect && Faster(Opt(OPT_awsminspeed))) {
      AwsClear();
    } else {
      AwsCaution();
    }
  }

  if (system == kSystemAwsAndTpws && !tpwsTrainstop) {
    if (overrideTimer != kTimerStopped) {
      if (beacon.Type == kBeaconSignalTrainStop) ConsumeOverride();
    } else if ((beacon.Type == kBeaconSpeedRestriction && Faster(beacon.Optional)) ||
               (beacon.Type == kBeaconSignalOverspeed && AtDanger(beacon) && Faster(beacon.Optional)) ||
               (beacon.Type == kBeaconSignalTrainStop && AtDanger(beacon))) {
      TriggerTpws();
    }
  }

  if (system == kSystemTpwsTrainStopOnly && beacon.Type == kBeaconSignalTrainStop && !tpwsTrainstop) {
    if (overrideTimer != kTimerStopped) {
      ConsumeOverride();
    } else if (AtDanger(beacon)) {
      TriggerTpws();
    }
  }
}

void BRSafety() {
  if (Opt(OPT_system) == kSystemOff) return;

  // The warning was not acknowledged in time: the AWS brake applies; horn and indicator stay.
  if (awsPhase == kAwsWarning && tOn(awsWarningSince, gState.Time, Opt(OPT_awsdelay)) && !awsStop) {
    awsPhase = kAwsBraking;
    awsStop = true;
    OperateBrake(EmergencyBrakeNotch(), true);
    awsRelease = false;
  }

  ShowIndicator(brakeDemand);
  ShowIndicator(stopOverride);

  if (gState.Speed == 0.0f) {
    if (stopTimer == kTimerStopped) RestartAtNow(stopTimer);
    if (awsRelease) {
      OperateBrake(EmergencyBrakeNotch(), false);
      SetPanelOpt(OPT_awsindicator, 0);
      awsPhase = kAwsIdle;
      awsStop = false;
      awsRelease = false;
    }
    if (tpwsRelease && tOn(stopTimer, gState.Time, TruncToInt(Opt(OPT_tpwsstopdelay) * kMsPerSecond))) {
      OperateBrake(EmergencyBrakeNotch(), false);
      SetSteady(brakeDemand, 0);
      tpwsTrainstop = false;
      tpwsRelease = false;
    }
  }

  // An armed override that no train-stop sensor has used lapses after its lifetime.
  if (overrideTimer != kTimerStopped &&
      tOn(overrideTimer, gState.Time, TruncToInt(Opt(OPT_tpwsoverridelifetime) * kMsPerSecond))) {
    overrideTimer = kTimerStopped;
    SetSteady(stopOverride, 0);
  }
}
