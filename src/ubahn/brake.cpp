// The brake controller (Bremsschalter): electric, air and holding brake and their lamps and sounds.
#include <cmath>

#include "ubahn/brake.h"

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "ubahn/brake_pipe.h"
#include "ubahn/fixed_elements.h"
#include "ubahn/master_controller.h"
#include "ubahn/running_sounds.h"
#include "ubahn/spring_brake.h"
#include "ubahn/trip_stop.h"

int32_t bremsschalter = 0;
int32_t bremsstufe = 0;
bool festhaltebremse = false;
bool festhaltebremsekey = false;
bool luftbremse = true;
bool ebremse = false;
bool anhaltesound = false;
int32_t ebremstimer = 0;

const int kFirstSecondPicture = 5;  // positions 5 to 8 are drawn by the second picture as 0 to 3

// Pipe pressures, kPa.
const double kPipeEmpty = 10.0;          // at or below it no venting is heard
const double kPipeFullElectric = 460.0;  // above it the electric brake steps one notch lighter
const double kPipeHoldingStart = 470.0;  // below it position 6 holds the train
const double kPipeHoldingButton = 450.0; // above it the holding button is heard filling
const double kPipeBrakeLamp = 450.0;     // below it the brake lamp comes on

// Speeds, km/h.
const float kElectricBrakeSpeed = 5.0f;  // above it the electric brake becomes available
const float kHoldingHighSpeed = 10.0f;   // above it holding brakes at notch 5
const float kStoppingSoundSpeed = 5.0f;  // below it the stopping sound plays
const float kRestSpeed = 4.0f;           // below it a released brake drops the electric brake
const float kRestSoundSpeed = 3.0f;      // above it dropping the electric brake is heard
const float kSpringBrakeSpeed = 10.0f;   // below it the spring brake holds at notch 8

const int kHoldingHighNotch = 5;
const int kHoldingTopNotch = 8;
const int kTopNotch = 9;
const int32_t kHoldingStepMs = 100;  // the holding notch rises every 100 ms

// Air-brake notch by pipe pressure: notch n begins at 489 - 22 n kPa.
const double kAirBrakeFullPipe = 500.0;
const double kAirBrakeKpaPerNotch = 22.0;

const int kSpringBrakeExtra = 2;    // the spring brake adds two notches
const int kSpringBrakeHoldNotch = 8;

void InitBrake() {
  SetPanelOpt(OPT_bremsschalter1, 0);
  SetPanelOpt(OPT_bremsschalter2, 0);
  bremsschalter = 0;
  bremsstufe = 0;
  festhaltebremse = false;
  festhaltebremsekey = false;
  ebremse = false;
  luftbremse = true;
}

void LiftAirBrake() { luftbremse = false; }

void RearmStoppingSound() { anhaltesound = false; }

static void ShowBrakeController() {
  if (bremsschalter <= kBrakeHolding) SetPanelOpt(OPT_bremsschalter1, bremsschalter);
  if (bremsschalter >= kFirstSecondPicture) {
    SetPanelOpt(OPT_bremsschalter2, bremsschalter - kFirstSecondPicture);
  }
}

// The filling sound in position 2, when the pipe can really be charged.
static bool PipeWillFill() {
  return bremsschalter == kBrakeFastCharge && bremsleitungsdruck < kPipeReleased &&
         !loesesperrventil_fahrsperre && !loesesperrventil && SifaKey;
}

void BremsschalterBremsen(int key) {
  if (key != kKeyBrakeApply || bremsschalter > kBrakeService) return;
  bremsschalter += 1;
  ShowBrakeController();

  SetSound(kSoundSwitchClick, SOUND_PLAY);
  SetSound(kSoundPipeVenting, SOUND_STOP);
  SetSound(kSoundPipeFilling, SOUND_STOP);

  if (bremsschalter == kBrakeEmergency && bremsleitungsdruck > kPipeEmpty) {
    SetSound(kSoundEmergencyVenting, SOUND_PLAY);
  }
  if (bremsschalter == kBrakeService && bremsleitungsdruck > kPipeEmpty) {
    SetSound(kSoundPipeVenting, SOUND_PLAY);
  }
  if (PipeWillFill()) SetSound(kSoundPipeFilling, SOUND_PLAY);

  DelayPipeStep();
}

void BremsschalterLoesen(int key) {
  if (key != kKeyBrakeRelease || bremsschalter < 1) return;
  bremsschalter -= 1;
  ShowBrakeController();

  SetSound(kSoundPipeVenting, SOUND_STOP);
  SetSound(kSoundPipeFilling, SOUND_STOP);
  SetSound(kSoundSwitchClick, SOUND_PLAY);

  if (bremsschalter == kBrakeService && bremsleitungsdruck > kPipeEmpty) {
    SetSound(kSoundPipeVenting, SOUND_PLAY);
  }
  if (PipeWillFill()) SetSound(kSoundPipeFilling, SOUND_PLAY);

  DelayPipeStep();
}

void FesthaltebremseKeyPressed(int key) {
  if (key != kKeyHoldingBrake || bremsschalter != kBrakeHolding || festhaltebremsekey) return;
  SetSound(kSoundHoldingButton, SOUND_PLAY);
  if (!festhaltebremse && bremsleitungsdruck > kPipeHoldingButton) {
    SetSound(kSoundPipeFilling, SOUND_PLAY);
  }
  SetPanelOpt(OPT_festhaltebremse, 1);
  festhaltebremsekey = true;
  festhaltebremse = true;
}

void FesthaltebremseKeyReleased(int key) {
  if (key != kKeyHoldingBrake || bremsschalter != kBrakeHolding || !festhaltebremsekey) return;
  SetSound(kSoundHoldingButton, SOUND_PLAY);
  SetPanelOpt(OPT_festhaltebremse, 0);
  festhaltebremsekey = false;
}

// The notch the air brake gives for the pipe pressure, 0 to 9.
static int32_t AirBrakeNotch(double pipe) {
  int32_t notch = TruncToInt((kAirBrakeFullPipe - pipe) / kAirBrakeKpaPerNotch - 0.5);
  if (notch > kTopNotch) notch = kTopNotch;
  if (notch < 0) notch = 0;
  return notch;
}

void UBahnBremse() {
  float speed = gState.Speed;
  float magnitude = std::fabs(speed);
  double pipe = bremsleitungsdruck;

  const int32_t lastNotch = bremsstufe;  // last frame's demand, moved to this frame's at the end

  // Leaving position 6 releases the holding brake.
  if (bremsschalter != kBrakeHolding) {
    festhaltebremse = false;
    SetPanelOpt(OPT_festhaltebremse, 0);
    festhaltebremsekey = false;
  }

  if (bremsschalter == kBrakeService || bremsschalter == kBrakeEmergency || SifaBremst ||
      (pipe < kPipeReleased && bremsschalter <= kBrakeFastCharge)) {
    luftbremse = true;
  }

  if (magnitude > kElectricBrakeSpeed) ebremse = true;

  if (bremsschalter <= kBrakeFastCharge && pipe > kPipeReleased) bremsstufe = 0;

  // Electric brake steps in positions 3 to 6.
  if (!festhaltebremse && bremsschalter >= kBrakeElectric1 && bremsschalter <= kBrakeHolding) {
    bremsstufe = pipe > kPipeFullElectric ? bremsschalter - 2 : bremsschalter - 1;
  }

  // Holding: brake the train to rest and keep it there.
  if ((festhaltebremse && pipe < kPipeFullElectric) ||
      (bremsschalter == kBrakeHolding && pipe < kPipeHoldingStart)) {
    if (magnitude > kHoldingHighSpeed) {
      bremsstufe = kHoldingHighNotch;
    } else if (ebremse && tOn(ebremstimer, gState.Time, kHoldingStepMs)) {
      bremsstufe = bremsstufe >= kHoldingTopNotch ? kHoldingTopNotch : bremsstufe + 1;
      RestartAtNow(ebremstimer);
      if (speed < kStoppingSoundSpeed && !anhaltesound && !luftbremse) {
        SetSound(kSoundStopping, SOUND_PLAY);
        anhaltesound = true;
      }
    }
    if (!ebremse) bremsstufe = 1;
  }

  // Released near standstill: the electric brake is dropped.
  if (pipe > kPipeReleased && magnitude < kRestSpeed) {
    if (ebremse && speed > kRestSoundSpeed) SetSound(kSoundStopping, SOUND_PLAY);
    ebremse = false;
    bremsstufe = 0;
  }

  // The air brake: the notch follows the pipe, and no traction while it is in force.
  if (luftbremse || (federspeicher_aktiv && bremsschalter <= kBrakeFastCharge)) {
    bremsstufe = AirBrakeNotch(pipe);
    gHandles.Reverser = 0;
  }

  if (federspeicher_aktiv && bremsstufe <= kTopNotch - kSpringBrakeExtra) {
    bremsstufe += kSpringBrakeExtra;
    if (speed < kSpringBrakeSpeed && bremsschalter >= kBrakeElectric1 &&
        bremsschalter <= kBrakeHolding) {
      bremsstufe = kSpringBrakeHoldNotch;
    }
  }

  MoveBrakeDemand(lastNotch, bremsstufe);

  bool driving = fahrschalter != kFahrschalterNeutral;
  SetPanelOpt(OPT_leuchtmelder_e4, bremsschalter == kBrakeHolding && driving ? 1 : 0);
  SetPanelOpt(OPT_travelmeter100, bremsstufe);

  if (pipe < kPipeBrakeLamp && driving) SetPanelOpt(OPT_leuchtmelder_bremse, 1);
  if (pipe > kPipeReleased || !driving) SetPanelOpt(OPT_leuchtmelder_bremse, 0);
}
