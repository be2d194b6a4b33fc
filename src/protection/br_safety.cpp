// British train protection: AWS/TPWS state, its start of run and the driver's buttons and start-up test.
#include "protection/br_safety.h"

#include <climits>

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/indicator.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "protection/br_safety_record.h"

// A run starts with everything idle and dark; nothing survives the start. The start-up test's
// phase follows from the option at the start.
constexpr BRSafetyRecord kBRSafetyAtStart = {
    kAwsIdle, 0, kTpwsClear, kStartupTestNone,
    {OPT_tpwsindicator, kUnwired, 0, kLampSteady, 0, false, false, 0, 0},
    kStandstillUntimed, 0, kOverrideOff, 0, {OPT_tpwsindicator2, kUnwired, 0, kLampSteady, 0, false, false, 0, 0}};

static BRSafetyRecord aws = kBRSafetyAtStart;

BRSafetyRecord& BRSafetyState() { return aws; }

const int kStartupTestAwsOnly = 1;   // startuptest value: AWS horn test
const int kStartupTestWithTpws = 2;  // startuptest value: AWS horn and TPWS lamp test
const int kBrakeCancelAtStandstill = 0;  // brake cancel mode: reset only at standstill, release at once
const int kBrakeCancelDeferred = 1;      // brake cancel mode: reset at any speed, release at standstill

// Armed for modes 1 and 2. The phase is read from the low 8 bits of the option (or 1), so a
// negative value may still arm or run the test; most negative values refuse it.
static StartupTest StartupTestAtStart(int32_t mode) {
  const uint8_t low = static_cast<uint8_t>(
      static_cast<uint32_t>(mode < kStartupTestAwsOnly ? mode : kStartupTestArmed));
  if (low == kStartupTestNone || low == kStartupTestArmed || low == kStartupTestRunning) {
    return static_cast<StartupTest>(low);
  }
  return kStartupTestRefused;
}

void InitBRSafety(int) {
  aws = kBRSafetyAtStart;
  aws.tpwsStartupTest = StartupTestAtStart(Opt(OPT_startuptest));
  SetSoundOpt(OPT_awswarningsound, SOUND_STOP);
  SetSoundOpt(OPT_awsclearsound, SOUND_STOP);
  aws.brakeDemand = NewIndicator(OPT_tpwsindicator, 0);
  aws.stopOverride = NewIndicator(OPT_tpwsindicator2, 0);
}

void DestroyBRSafety() {}

// A standstill not yet timed counts as one that began at this clock time, ms.
const int32_t kUntimedStandstillFrom = -1;

bool StopDelayRunOut(BRSafetyRecord& aws) {
  const int32_t delay = TruncToInt(Opt(OPT_tpwsstopdelay) * kMsPerSecond);
  if (aws.standstill == kStandstillUntimed) {
    if (TimeDiff(gState.Time, kUntimedStandstillFrom) < delay) return false;
    // Run out: the standstill is timed from here on, one delay after that start. A delay of 0
    // leaves it untimed, so that the next standstill frame times it afresh.
    aws.stopTimer = static_cast<int32_t>(static_cast<uint32_t>(kUntimedStandstillFrom) + static_cast<uint32_t>(delay));
    if (delay != 0) aws.standstill = kStandstillTimed;
    return true;
  }
  return tOn(aws.stopTimer, gState.Time, delay);
}

// Arms the train-stop override at this frame's time.
static void ArmOverride(BRSafetyRecord& aws) {
  RestartAtNow(aws.overrideTimer);
  aws.override = kOverrideArmed;
}

// The acknowledge button: ends the start-up test, silences a pending warning, or releases the AWS brake.
static void AcknowledgeAws() {
  int32_t buttonIndex;
  if (OptFurther(OPT_awsacknowledgekey, 0, &buttonIndex)) SetPanel(buttonIndex, 1);

  if (aws.tpwsStartupTest == kStartupTestRunning) {
    SetPanelOpt(OPT_awsindicator, 1);
    SetSoundOpt(OPT_awswarningsound, SOUND_STOP);
    if (Opt(OPT_startuptest) == kStartupTestWithTpws) {
      SetSoundOpt(OPT_awsclearsound, SOUND_PLAY);
      SetSteady(aws.brakeDemand, 0);
      SetSteady(aws.stopOverride, 0);
      SetPanelOpt(OPT_tpwsindicator3, 0);
    }
    aws.tpwsStartupTest = kStartupTestNone;
  } else if (aws.awsPhase == kAwsWarning) {
    SetPanelOpt(OPT_awsindicator, 1);  // black-and-yellow: the caution was acknowledged
    SetSoundOpt(OPT_awswarningsound, SOUND_STOP);
    aws.awsPhase = kAwsIdle;
  } else if (AwsBrakeApplied(aws) &&
             (gState.Speed == 0.0f || Opt(OPT_awsbrakecancel) != kBrakeCancelAtStandstill)) {
    if (Opt(OPT_awsbrakecancel) == kBrakeCancelDeferred) {
      aws.awsPhase = kAwsReleasing;  // released at the next standstill
    } else {
      OperateBrake(EmergencyBrakeNotch(), false);
      SetPanelOpt(OPT_awsindicator, 0);
      SetSoundOpt(OPT_awswarningsound, SOUND_STOP);
      aws.awsPhase = kAwsIdle;
    }
  }
}

// The reset button: the brake demand lamp turns steady; the brake is released as the mode allows.
static void ResetTpws() {
  SetSteady(aws.brakeDemand, 1);
  const int32_t mode = Opt(OPT_tpwsbrakecancel);
  if (mode == kBrakeCancelAtStandstill) {
    if (gState.Speed != 0.0f) return;
    if (!StopDelayRunOut(aws)) return;
  }
  if (mode == kBrakeCancelDeferred) {
    aws.tpwsPhase = kTpwsReleasing;  // released at standstill once the stop delay has run
  } else {
    OperateBrake(EmergencyBrakeNotch(), false);
    SetSteady(aws.brakeDemand, 0);
    aws.tpwsPhase = kTpwsClear;
  }
  SetSoundOpt(OPT_tpwswarningsound, SOUND_STOP);
}

// The override button toggles a train-stop override that lets the next signal at danger pass.
static void ToggleTrainStopOverride() {
  if (aws.override == kOverrideOff) {
    ArmOverride(aws);
    SetFlashing(aws.stopOverride, 1);
  } else {
    aws.override = kOverrideOff;
    SetSteady(aws.stopOverride, 0);
  }
}

void BRSafetyKeyPressed(int key) {
  if (KeyMatches(OPT_awsacknowledgekey, key)) AcknowledgeAws();
  if (KeyMatches(OPT_tpwsresetkey, key) && TpwsBrakeApplied(aws)) ResetTpws();
  if (KeyMatches(OPT_tpwsoverridekey, key) && !TpwsBrakeApplied(aws) && aws.tpwsStartupTest == kStartupTestNone) {
    ToggleTrainStopOverride();
  }
}

void BRSafetyKeyReleased(int key) {
  int32_t buttonIndex;
  if (KeyMatches(OPT_awsacknowledgekey, key) && OptFurther(OPT_awsacknowledgekey, 0, &buttonIndex)) {
    SetPanel(buttonIndex, 0);
  }
}

// The first move out of neutral starts the start-up test: horn until acknowledged, TPWS lamps lit.
void BRSafetyReverserMovedOff() {
  if (aws.tpwsStartupTest != kStartupTestArmed) return;
  SetSoundOpt(OPT_awswarningsound, SOUND_LOOP);
  if (Opt(OPT_startuptest) == kStartupTestWithTpws) {
    SetSteady(aws.brakeDemand, 1);
    SetSteady(aws.stopOverride, 1);
    SetPanelOpt(OPT_tpwsindicator3, 1);
  }
  aws.tpwsStartupTest = kStartupTestRunning;
}

// The driver's controls: the reverser moved off neutral starts an armed start-up test.
void BRSafetyDriverMoved(DriverControl control, int value) {
  if (control == kDriverReverser && value != 0) BRSafetyReverserMovedOff();
}

const CabSystemRow kBRSafetyRow = {
    SYS_AWS_TPWS, true, InitBRSafety, DestroyBRSafety, BRSafety, BRSafetyKeyPressed, BRSafetyKeyReleased,
    SetBRSafetyStatus, nullptr, BRSafetyDriverMoved};
