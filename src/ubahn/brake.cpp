// The brake controller (Bremsschalter) with the brake pipe and supply pipe it works on: electric,
// air and holding brake, the pipe pressures stepped every 50 ms, their lamps, gauges and sounds.
#include <cassert>
#include <cmath>

#include "ubahn/brake.h"

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"

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

// The start of a run shows the controller in position 0.
void ShowBrakeControllerAtStart() {
  SetPanelOpt(OPT_bremsschalter1, 0);
  SetPanelOpt(OPT_bremsschalter2, 0);
}

void RearmStoppingSound(Brake& brake) { brake.anhaltesound = false; }

static void ShowBrakeController(const Brake& brake) {
  if (brake.bremsschalter <= kBrakeHolding) SetPanelOpt(OPT_bremsschalter1, brake.bremsschalter);
  if (brake.bremsschalter >= kFirstSecondPicture) {
    SetPanelOpt(OPT_bremsschalter2, brake.bremsschalter - kFirstSecondPicture);
  }
}

// The filling sound in position 2, when the pipe can really be charged.
static bool PipeWillFill(const UBahnCab& cab) {
  return cab.brake.bremsschalter == kBrakeFastCharge && cab.brake.bremsleitungsdruck < kPipeReleased &&
         cab.tripStop.fahrsperre == kFahrsperreScharf && cab.sounds.deuta != kDeutaBremst && cab.master.SifaKey;
}

void BremsschalterBremsen(UBahnCab& cab, int key) {
  if (key != kKeyBrakeApply || cab.brake.bremsschalter > kBrakeService) return;
  cab.brake.bremsschalter += 1;
  ShowBrakeController(cab.brake);

  SetSound(kSoundSwitchClick, SOUND_PLAY);
  SetSound(kSoundPipeVenting, SOUND_STOP);
  SetSound(kSoundPipeFilling, SOUND_STOP);

  if (cab.brake.bremsschalter == kBrakeEmergency && cab.brake.bremsleitungsdruck > kPipeEmpty) {
    SetSound(kSoundEmergencyVenting, SOUND_PLAY);
  }
  if (cab.brake.bremsschalter == kBrakeService && cab.brake.bremsleitungsdruck > kPipeEmpty) {
    SetSound(kSoundPipeVenting, SOUND_PLAY);
  }
  if (PipeWillFill(cab)) SetSound(kSoundPipeFilling, SOUND_PLAY);

  RestartAtNow(cab.brake.luftbremstimer2);  // a controller move: the next pipe step comes a full step after it
}

void BremsschalterLoesen(UBahnCab& cab, int key) {
  if (key != kKeyBrakeRelease || cab.brake.bremsschalter < 1) return;
  cab.brake.bremsschalter -= 1;
  ShowBrakeController(cab.brake);

  SetSound(kSoundPipeVenting, SOUND_STOP);
  SetSound(kSoundPipeFilling, SOUND_STOP);
  SetSound(kSoundSwitchClick, SOUND_PLAY);

  if (cab.brake.bremsschalter == kBrakeService && cab.brake.bremsleitungsdruck > kPipeEmpty) {
    SetSound(kSoundPipeVenting, SOUND_PLAY);
  }
  if (PipeWillFill(cab)) SetSound(kSoundPipeFilling, SOUND_PLAY);

  RestartAtNow(cab.brake.luftbremstimer2);  // a controller move: the next pipe step comes a full step after it
}

void FesthaltebremseKeyPressed(UBahnCab& cab, int key) {
  if (key != kKeyHoldingBrake || cab.brake.bremsschalter != kBrakeHolding || cab.brake.festhaltebremsekey) return;
  SetSound(kSoundHoldingButton, SOUND_PLAY);
  if (!cab.brake.festhaltebremse && cab.brake.bremsleitungsdruck > kPipeHoldingButton) {
    SetSound(kSoundPipeFilling, SOUND_PLAY);
  }
  SetPanelOpt(OPT_festhaltebremse, 1);
  cab.brake.festhaltebremsekey = true;
  cab.brake.festhaltebremse = true;
}

void FesthaltebremseKeyReleased(UBahnCab& cab, int key) {
  if (key != kKeyHoldingBrake || cab.brake.bremsschalter != kBrakeHolding || !cab.brake.festhaltebremsekey) return;
  SetSound(kSoundHoldingButton, SOUND_PLAY);
  SetPanelOpt(OPT_festhaltebremse, 0);
  cab.brake.festhaltebremsekey = false;
}

// The notch the air brake gives for the pipe pressure, 0 to 9.
static int32_t AirBrakeNotch(double pipe) {
  int32_t notch = TruncToInt((kAirBrakeFullPipe - pipe) / kAirBrakeKpaPerNotch - 0.5);
  if (notch > kTopNotch) notch = kTopNotch;
  assert(notch >= 0);  // the pipe never rises above the full pipe
  return notch;
}

void UBahnBremse(UBahnCab& cab) {
  float speed = gState.Speed;
  float magnitude = std::fabs(speed);
  double pipe = cab.brake.bremsleitungsdruck;

  const int32_t lastNotch = cab.brake.bremsstufe;  // last frame's demand, moved to this frame's at the end

  // Leaving position 6 releases the holding brake.
  if (cab.brake.bremsschalter != kBrakeHolding) {
    cab.brake.festhaltebremse = false;
    SetPanelOpt(OPT_festhaltebremse, 0);
    cab.brake.festhaltebremsekey = false;
  }

  if (cab.brake.bremsschalter == kBrakeService || cab.brake.bremsschalter == kBrakeEmergency || cab.master.SifaBremst ||
      (pipe < kPipeReleased && cab.brake.bremsschalter <= kBrakeFastCharge)) {
    cab.brake.luftbremse = true;
  }

  if (magnitude > kElectricBrakeSpeed) cab.brake.ebremse = true;

  if (cab.brake.bremsschalter <= kBrakeFastCharge && pipe > kPipeReleased) cab.brake.bremsstufe = 0;

  // Electric brake steps in positions 3 to 6.
  if (!cab.brake.festhaltebremse && cab.brake.bremsschalter >= kBrakeElectric1 && cab.brake.bremsschalter <= kBrakeHolding) {
    cab.brake.bremsstufe = pipe > kPipeFullElectric ? cab.brake.bremsschalter - 2 : cab.brake.bremsschalter - 1;
  }

  // Holding: brake the train to rest and keep it there.
  if ((cab.brake.festhaltebremse && pipe < kPipeFullElectric) ||
      (cab.brake.bremsschalter == kBrakeHolding && pipe < kPipeHoldingStart)) {
    if (magnitude > kHoldingHighSpeed) {
      cab.brake.bremsstufe = kHoldingHighNotch;
    } else if (cab.brake.ebremse && tOn(cab.brake.ebremstimer, gState.Time, kHoldingStepMs)) {
      cab.brake.bremsstufe = cab.brake.bremsstufe >= kHoldingTopNotch ? kHoldingTopNotch : cab.brake.bremsstufe + 1;
      RestartAtNow(cab.brake.ebremstimer);
      if (speed < kStoppingSoundSpeed && !cab.brake.anhaltesound && !cab.brake.luftbremse) {
        SetSound(kSoundStopping, SOUND_PLAY);
        cab.brake.anhaltesound = true;
      }
    }
    if (!cab.brake.ebremse) cab.brake.bremsstufe = 1;
  }

  // Released near standstill: the electric brake is dropped.
  if (pipe > kPipeReleased && magnitude < kRestSpeed) {
    if (cab.brake.ebremse && speed > kRestSoundSpeed) SetSound(kSoundStopping, SOUND_PLAY);
    cab.brake.ebremse = false;
    cab.brake.bremsstufe = 0;
  }

  // The air brake: the notch follows the pipe, and no traction while it is in force.
  if (cab.brake.luftbremse || (cab.springBrake.federspeicher_aktiv && cab.brake.bremsschalter <= kBrakeFastCharge)) {
    cab.brake.bremsstufe = AirBrakeNotch(pipe);
    gHandles.Reverser = 0;
  }

  if (cab.springBrake.federspeicher_aktiv && cab.brake.bremsstufe <= kTopNotch - kSpringBrakeExtra) {
    cab.brake.bremsstufe += kSpringBrakeExtra;
    if (speed < kSpringBrakeSpeed && cab.brake.bremsschalter >= kBrakeElectric1 &&
        cab.brake.bremsschalter <= kBrakeHolding) {
      cab.brake.bremsstufe = kSpringBrakeHoldNotch;
    }
  }

  MoveBrakeDemand(lastNotch, cab.brake.bremsstufe);

  bool driving = cab.master.fahrschalter != kFahrschalterNeutral;
  SetPanelOpt(OPT_leuchtmelder_e4, cab.brake.bremsschalter == kBrakeHolding && driving ? 1 : 0);
  SetPanelOpt(OPT_travelmeter100, cab.brake.bremsstufe);

  if (pipe < kPipeBrakeLamp && driving) SetPanelOpt(OPT_leuchtmelder_bremse, 1);
  if (pipe > kPipeReleased || !driving) SetPanelOpt(OPT_leuchtmelder_bremse, 0);
}

const int32_t kPipeStepMs = 50;  // one pipe step at most every 50 ms, and only in a frame

// Venting per step, kPa.
const double kVentEmergency = 100.0;
const double kVentService = 3.0;
const double kVentServiceSifa = 50.0;  // position 7 during Sifa forced braking, down to 300 kPa
const double kVentHolding = 2.0;
const double kVentHoldingSifa = 50.0;
const double kVentSifa = 30.0;
const double kVentOverspeed = 10.0;
const double kVentTripValve = 30.0;

// Pipe pressures, kPa.
const double kPipeHoldingFloor = 440.0;    // the holding brake vents no further; the air brake lifts above it
const double kPipeOverspeedFloor = 400.0;  // the overspeed valve vents no further
const double kPipeSifaServiceFloor = 300.0;

// Charging: the step is base - slope * p, so it slows as the pipe fills.
const double kFastChargeBase = 15.0;
const double kFastChargeSlope = 0.028;
const double kSlowChargeBase = 4.0;
const double kSlowChargeSlope = 0.0074;

// The supply pipe while the brake pipe is charged: it falls 2 kPa per step to a target that
// rises with the brake pipe.
const double kSupplyDrawPerStep = 2.0;
const double kFastSupplyDivisor = 5.0;
const double kFastSupplyBase = 400.0;
const double kSlowSupplyDivisor = 20.0;
const double kSlowSupplyBase = 475.0;

// The supply pipe follows its target down by 2 kPa per step, or takes it when it is higher.
static void DrawSupply(Brake& brake, double target) {
  if (brake.fuellleitungsdruck > target) {
    brake.fuellleitungsdruck -= kSupplyDrawPerStep;
    brake.fuellleitungsdruck_hilf = brake.fuellleitungsdruck;
  } else {
    brake.fuellleitungsdruck_hilf = target;
  }
}

static bool MayCharge(const UBahnCab& cab) {
  return cab.tripStop.fahrsperre == kFahrsperreScharf && cab.sounds.deuta != kDeutaBremst && cab.master.SifaKey &&
         cab.master.fahrschalter != kFahrschalterNeutral;
}

// One pipe step: the controller's rule, then every valve that is open adds its venting.
static void PipeStep(UBahnCab& cab, double p, double& w) {
  assert(p >= 0.0 && p <= kFullSupplyPressure);  // bremsleitung holds the pipe within its range
  if (p > 0.0 && cab.brake.bremsschalter == kBrakeEmergency) {
    w -= kVentEmergency;
  } else if (p > 0.0 && cab.brake.bremsschalter == kBrakeService) {
    w -= (cab.master.SifaBremst && p >= kPipeSifaServiceFloor) ? kVentServiceSifa : kVentService;
  } else if (MayCharge(cab) && cab.brake.bremsschalter == kBrakeFastCharge) {
    w += kFastChargeBase - kFastChargeSlope * p;
    DrawSupply(cab.brake, p / kFastSupplyDivisor + kFastSupplyBase);
  } else if (MayCharge(cab) && (cab.brake.bremsschalter == kBrakeSlowCharge ||
                              (cab.brake.bremsschalter >= kBrakeElectric1 && cab.brake.bremsschalter <= kBrakeLastSlowCharge))) {
    w += kSlowChargeBase - kSlowChargeSlope * p;
    DrawSupply(cab.brake, p / kSlowSupplyDivisor + kSlowSupplyBase);
  }

  if (p > kPipeHoldingFloor && cab.brake.festhaltebremse) w -= cab.master.SifaBremst ? kVentHoldingSifa : kVentHolding;
  if (cab.master.SifaBremst && cab.master.fahrschalter != kFahrschalterNeutral) w -= kVentSifa;
  if (p >= kPipeOverspeedFloor && cab.sounds.deuta == kDeutaBremst) w -= kVentOverspeed;
  if (cab.tripStop.fahrsperre == kFahrsperreAusgeloest) w -= kVentTripValve;

  RestartAtNow(cab.brake.luftbremstimer2);
}

void bremsleitung(UBahnCab& cab) {
  double p = cab.brake.bremsleitungsdruck;
  double w = cab.brake.druck_hilfsvariable;

  if (tOn(cab.brake.luftbremstimer2, gState.Time, kPipeStepMs)) PipeStep(cab, p, w);

  // The air brake lifts once the pipe is charged far enough for the controller position.
  if ((w > kPipeReleased && cab.brake.bremsschalter <= kBrakeFastCharge) ||
      (w > kPipeHoldingFloor && cab.brake.bremsschalter >= kBrakeElectric2)) {
    cab.brake.luftbremse = false;
  }

  if (w < 0.0) w = 0.0;
  if (w > kFullSupplyPressure) w = kFullSupplyPressure;

  bool charging = (cab.brake.bremsschalter == kBrakeSlowCharge || cab.brake.bremsschalter == kBrakeFastCharge) && cab.master.SifaKey;
  if (!charging) cab.brake.fuellleitungsdruck_hilf = kFullSupplyPressure;

  cab.brake.druck_hilfsvariable = w;
  cab.brake.bremsleitungsdruck = w;
  cab.brake.fuellleitungsdruck = cab.brake.fuellleitungsdruck_hilf;

  SetPanelOpt(OPT_bremsleitungsdruck, TruncToInt(cab.brake.bremsleitungsdruck));
  SetPanelOpt(OPT_fuellleitungsdruck, TruncToInt(cab.brake.fuellleitungsdruck));
}
