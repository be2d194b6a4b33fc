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

AwsPhase awsPhase = kAwsIdle;
int32_t awsWarningSince = kTimerStopped;
bool awsStop = false;
bool awsRelease = false;
bool tpwsTrainstop = false;
bool tpwsRelease = false;
StartupTest tpwsStartupTest = kStartupTestNone;
Indicator brakeDemand = {OPT_tpwsindicator, 0, kTimerStopped, false};
int32_t stopTimer = kTimerStopped;
int32_t overrideTimer = kTimerStopped;
Indicator stopOverride = {OPT_tpwsindicator2, 0, kTimerStopped, false};

const int kStartupTestAwsOnly = 1;   // startuptest value: AWS horn test
const int kStartupTestWithTpws = 2;  // startuptest value: AWS horn and TPWS lamp test
const int kBrakeCancelAtStandstill = 0;  // brake cancel mode: reset only at standstill, release at once
const int kBrakeCancelDeferred = 1;      // brake cancel mode: reset at any speed, release at standstill

void InitBRSafety(int) {
  awsPhase = kAwsIdle;
  awsWarningSince = kTimerStopped;
  awsStop = false;
  awsRelease = false;
  tpwsTrainstop = false;
  tpwsRelease = false;
  // Armed for modes 1 and 2; the state keeps only the low 8 bits of what the option says.
  const int32_t mode = Opt(OPT_startuptest);
  tpwsStartupTest = static_cast<StartupTest>(static_cast<uint8_t>(static_cast<uint32_t>(mode < 1 ? mode : 1)));
  SetSoundOpt(OPT_awswarningsound, SOUND_STOP);
  SetSoundOpt(OPT_awsclearsound, SOUND_STOP);
  brakeDemand = NewIndicator(OPT_tpwsindicator, 0);
  stopTimer = kTimerStopped;
  overrideTimer = kTimerStopped;
  stopOverride = NewIndicator(OPT_tpwsindicator2, 0);
}

void DestroyBRSafety() {}

// The acknowledge button: ends the start-up test, silences a pending warning, or releases the AWS brake.
static void AcknowledgeAws() {
  int32_t buttonIndex;
  if (OptFurther(OPT_awsacknowledgekey, 0, &buttonIndex)) SetPanel(buttonIndex, 1);

  if (tpwsStartupTest == kStartupTestRunning) {
    SetPanelOpt(OPT_awsindicator, 1);
    SetSoundOpt(OPT_awswarningsound, SOUND_STOP);
    if (Opt(OPT_startuptest) == kStartupTestWithTpws) {
      SetSoundOpt(OPT_awsclearsound, SOUND_PLAY);
      SetSteady(brakeDemand, 0);
      SetSteady(stopOverride, 0);
      SetPanelOpt(OPT_tpwsindicator3, 0);
    }
    tpwsStartupTest = kStartupTestNone;
  } else if (awsPhase == kAwsWarning) {
    SetPanelOpt(OPT_awsindicator, 1);  // black-and-yellow: the caution was acknowledged
    SetSoundOpt(OPT_awswarningsound, SOUND_STOP);
    awsPhase = kAwsIdle;
  } else if (awsPhase == kAwsBraking &&
             (gState.Speed == 0.0f || Opt(OPT_awsbrakecancel) != kBrakeCancelAtStandstill) && awsStop) {
    if (Opt(OPT_awsbrakecancel) == kBrakeCancelDeferred) {
      awsRelease = true;  // released at the next standstill
    } else {
      OperateBrake(EmergencyBrakeNotch(), false);
      SetPanelOpt(OPT_awsindicator, 0);
      SetSoundOpt(OPT_awswarningsound, SOUND_STOP);
      awsPhase = kAwsIdle;
      awsStop = false;
    }
  }
}

// The reset button: the brake demand lamp turns steady; the brake is released as the mode allows.
static void ResetTpws() {
  SetSteady(brakeDemand, 1);
  const int32_t mode = Opt(OPT_tpwsbrakecancel);
  if (mode == kBrakeCancelAtStandstill) {
    if (gState.Speed != 0.0f) return;
    if (!tOn(stopTimer, gState.Time, TruncToInt(Opt(OPT_tpwsstopdelay) * kMsPerSecond))) return;
  }
  if (mode == kBrakeCancelDeferred) {
    tpwsRelease = true;  // released at standstill once the stop delay has run
  } else {
    OperateBrake(EmergencyBrakeNotch(), false);
    SetSteady(brakeDemand, 0);
    tpwsTrainstop = false;
  }
  SetSoundOpt(OPT_tpwswarningsound, SOUND_STOP);
}

// The override button toggles a train-stop override that lets the next signal at danger pass.
static void ToggleTrainStopOverride() {
  if (overrideTimer == kTimerStopped) {
    RestartAtNow(overrideTimer);
    SetFlashing(stopOverride, 1);
  } else {
    overrideTimer = kTimerStopped;
    SetSteady(stopOverride, 0);
  }
}

void BRSafetyKeyPressed(int key) {
  if (KeyMatches(OPT_awsacknowledgekey, key)) AcknowledgeAws();
  if (KeyMatches(OPT_tpwsresetkey, key) && tpwsTrainstop) ResetTpws();
  if (KeyMatches(OPT_tpwsoverridekey, key) && !tpwsTrainstop && tpwsStartupTest == kStartupTestNone) {
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
  if (tpwsStartupTest != kStartupTestArmed) return;
  SetSoundOpt(OPT_awswarningsound, SOUND_LOOP);
  if (Opt(OPT_startuptest) == kStartupTestWithTpws) {
    SetSteady(brakeDemand, 1);
    SetSteady(stopOverride, 1);
    SetPanelOpt(OPT_tpwsindicator3, 1);
  }
  tpwsStartupTest = kStartupTestRunning;
}

// The driver's controls: the reverser moved off neutral starts an armed start-up test.
void BRSafetyDriverMoved(DriverControl control, int value) {
  if (control == kDriverReverser && value != 0) BRSafetyReverserMovedOff();
}

const CabSystemRow kBRSafetyRow = {
    SYS_AWS_TPWS, true, InitBRSafety, DestroyBRSafety, BRSafety, BRSafetyKeyPressed, BRSafetyKeyReleased,
    SetBRSafetyStatus, nullptr, BRSafetyDriverMoved};
