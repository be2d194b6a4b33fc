// British train protection: AWS magnets and TPWS sensors on the track, and the per-frame supervision.
#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/indicator.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "protection/br_safety.h"
#include "protection/br_safety_record.h"

const int kAwsClearAspect = 3;  // an AWS signal magnet above this aspect is a clear magnet
const int kAwsIndicatorAppearOnHorn = 1;

// Clear magnet: the bell rings and the indicator goes black. An AWS brake already applied is left
// applied: the AWS stays braking so the acknowledge button and the standstill release can still
// take it off.
static void AwsClear(BRSafetyRecord& aws) {
  SetPanelOpt(OPT_awsindicator, 0);
  SetSoundOpt(OPT_awswarningsound, SOUND_STOP);
  SetSoundOpt(OPT_awsclearsound, SOUND_PLAY);
  if (!AwsBrakeApplied(aws)) aws.awsPhase = kAwsIdle;
}

// Caution magnet: the horn sounds and a warning starts unless one is pending or the brake is on.
static void AwsCaution(BRSafetyRecord& aws) {
  SetPanelOpt(OPT_awsindicator, Opt(OPT_awsindicatorappear) == kAwsIndicatorAppearOnHorn ? 1 : 0);
  SetSoundOpt(OPT_awswarningsound, SOUND_PLAY);
  SetSoundOpt(OPT_awsclearsound, SOUND_STOP);
  if (aws.awsPhase == kAwsIdle) {
    aws.awsPhase = kAwsWarning;
    RestartAtNow(aws.awsWarningSince);
  }
}

void StartStandstill(BRSafetyRecord& aws) {
  RestartAtNow(aws.stopTimer);
  aws.standstill = kStandstillTimed;
}

static void TriggerTpws(BRSafetyRecord& aws) {
  SetFlashing(aws.brakeDemand, 1);
  SetSoundOpt(OPT_tpwswarningsound, SOUND_LOOP);
  OperateBrake(EmergencyBrakeNotch(), true);
  aws.tpwsPhase = kTpwsBraking;
  aws.standstill = kStandstillUntimed;
}

// An armed override is used up by the next train-stop sensor, which then demands no brake.
static void ConsumeOverride(BRSafetyRecord& aws) {
  aws.override = kOverrideOff;
  SetSteady(aws.stopOverride, 0);
}

static bool AtDanger(const ATS_BEACONDATA& beacon) { return beacon.Signal <= 0; }

// Strictly faster than a whole-km/h limit; a speed that is not a number is never faster.
static bool Faster(int32_t limit) { return gState.Speed > static_cast<float>(limit); }

void SetBRSafetyStatus(ATS_BEACONDATA beacon) {
  BRSafetyRecord& aws = BRSafetyState();
  const int system = Opt(OPT_system);
  if (beacon.Type < kBeaconAwsSignalMagnet || beacon.Type > kBeaconSpeedRestriction) return;
  if (system == kSystemOff || !(gState.Speed >= 0.0f)) return;  // nothing acts when running backwards

  if ((system == kSystemAwsOnly || system == kSystemAwsAndTpws) &&
      (beacon.Type == kBeaconAwsSignalMagnet || beacon.Type == kBeaconAwsPermanentMagnet)) {
    if (beacon.Type == kBeaconAwsSignalMagnet && beacon.Signal > kAwsClearAspect && Faster(Opt(OPT_awsminspeed))) {
      AwsClear(aws);
    } else {
      AwsCaution(aws);
    }
  }

  if (system == kSystemAwsAndTpws && !TpwsBrakeApplied(aws)) {
    if (aws.override == kOverrideArmed) {
      if (beacon.Type == kBeaconSignalTrainStop) ConsumeOverride(aws);
    } else if ((beacon.Type == kBeaconSpeedRestriction && Faster(beacon.Optional)) ||
               (beacon.Type == kBeaconSignalOverspeed && AtDanger(beacon) && Faster(beacon.Optional)) ||
               (beacon.Type == kBeaconSignalTrainStop && AtDanger(beacon))) {
      TriggerTpws(aws);
    }
  }

  if (system == kSystemTpwsTrainStopOnly && beacon.Type == kBeaconSignalTrainStop && !TpwsBrakeApplied(aws)) {
    if (aws.override == kOverrideArmed) {
      ConsumeOverride(aws);
    } else if (AtDanger(beacon)) {
      TriggerTpws(aws);
    }
  }
}

void BRSafety() {
  if (Opt(OPT_system) == kSystemOff) return;
  BRSafetyRecord& aws = BRSafetyState();

  // The warning was not acknowledged in time: the AWS brake applies; horn and indicator stay.
  if (aws.awsPhase == kAwsWarning && tOn(aws.awsWarningSince, gState.Time, Opt(OPT_awsdelay))) {
    aws.awsPhase = kAwsBraking;
    OperateBrake(EmergencyBrakeNotch(), true);
  }

  ShowIndicator(aws.brakeDemand);
  ShowIndicator(aws.stopOverride);

  if (gState.Speed == 0.0f) {
    if (aws.standstill == kStandstillUntimed) StartStandstill(aws);
    if (aws.awsPhase == kAwsReleasing) {
      OperateBrake(EmergencyBrakeNotch(), false);
      SetPanelOpt(OPT_awsindicator, 0);
      aws.awsPhase = kAwsIdle;
    }
    if (aws.tpwsPhase == kTpwsReleasing && StopDelayRunOut(aws)) {
      OperateBrake(EmergencyBrakeNotch(), false);
      SetSteady(aws.brakeDemand, 0);
      aws.tpwsPhase = kTpwsClear;
    }
  }

  // An armed override that no train-stop sensor has used lapses after its lifetime.
  if (aws.override == kOverrideArmed &&
      tOn(aws.overrideTimer, gState.Time, TruncToInt(Opt(OPT_tpwsoverridelifetime) * kMsPerSecond))) {
    aws.override = kOverrideOff;
    SetSteady(aws.stopOverride, 0);
  }
}
