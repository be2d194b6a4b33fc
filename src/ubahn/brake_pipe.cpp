// The brake pipe and the supply pipe: their pressures, stepped every 50 ms, and their gauges.
#include "ubahn/brake_pipe.h"

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "ubahn/brake.h"
#include "ubahn/fixed_elements.h"
#include "ubahn/master_controller.h"
#include "ubahn/running_sounds.h"
#include "ubahn/trip_stop.h"

double bremsleitungsdruck = 300.0;
double druck_hilfsvariable = 300.0;
double fuellleitungsdruck = 500.0;
double fuellleitungsdruck_hilf = 500.0;
int32_t luftbremstimer2 = 0;

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
static void DrawSupply(double target) {
  if (fuellleitungsdruck > target) {
    fuellleitungsdruck -= kSupplyDrawPerStep;
    fuellleitungsdruck_hilf = fuellleitungsdruck;
  } else {
    fuellleitungsdruck_hilf = target;
  }
}

static bool MayCharge(double p) {
  return p <= kFullSupplyPressure && !loesesperrventil_fahrsperre && !loesesperrventil && SifaKey &&
         fahrschalter != kFahrschalterNeutral;
}

// One pipe step: the controller's rule, then every valve that is open adds its venting.
static void PipeStep(double p, double& w) {
  if (p > 0.0 && bremsschalter == kBrakeEmergency) {
    w -= kVentEmergency;
  } else if (p > 0.0 && bremsschalter == kBrakeService) {
    w -= (SifaBremst && p >= kPipeSifaServiceFloor) ? kVentServiceSifa : kVentService;
  } else if (MayCharge(p) && bremsschalter == kBrakeFastCharge) {
    w += kFastChargeBase - kFastChargeSlope * p;
    DrawSupply(p / kFastSupplyDivisor + kFastSupplyBase);
  } else if (MayCharge(p) && (bremsschalter == kBrakeSlowCharge ||
                              (bremsschalter >= kBrakeElectric1 && bremsschalter <= kBrakeLastSlowCharge))) {
    w += kSlowChargeBase - kSlowChargeSlope * p;
    DrawSupply(p / kSlowSupplyDivisor + kSlowSupplyBase);
  }

  if (p > kPipeHoldingFloor && festhaltebremse) w -= SifaBremst ? kVentHoldingSifa : kVentHolding;
  if (p >= 0.0 && SifaBremst && fahrschalter != kFahrschalterNeutral) w -= kVentSifa;
  if (p >= kPipeOverspeedFloor && deuta && loesesperrventil) w -= kVentOverspeed;
  if (p >= 0.0 && !fahrsperre && loesesperrventil_fahrsperre) w -= kVentTripValve;

  RestartAtNow(luftbremstimer2);
}

void InitBrakePipe() {
  bremsleitungsdruck = kStartPipePressure;
  druck_hilfsvariable = kStartPipePressure;
  fuellleitungsdruck = kFullSupplyPressure;
  RestartAtNow(luftbremstimer2);
}

void DelayPipeStep() { RestartAtNow(luftbremstimer2); }

void bremsleitung() {
  double p = bremsleitungsdruck;
  double w = druck_hilfsvariable;

  if (tOn(luftbremstimer2, gState.Time, kPipeStepMs)) PipeStep(p, w);

  // The air brake lifts once the pipe is charged far enough for the controller position.
  if ((w > kPipeReleased && bremsschalter <= kBrakeFastCharge) ||
      (w > kPipeHoldingFloor && bremsschalter >= kBrakeElectric2)) {
    LiftAirBrake();
  }

  if (w < 0.0) w = 0.0;
  if (w > kFullSupplyPressure) w = kFullSupplyPressure;

  bool charging = (bremsschalter == kBrakeSlowCharge || bremsschalter == kBrakeFastCharge) && SifaKey;
  if (!charging) fuellleitungsdruck_hilf = kFullSupplyPressure;

  druck_hilfsvariable = w;
  bremsleitungsdruck = w;
  fuellleitungsdruck = fuellleitungsdruck_hilf;

  SetPanelOpt(OPT_bremsleitungsdruck, TruncToInt(bremsleitungsdruck));
  SetPanelOpt(OPT_fuellleitungsdruck, TruncToInt(fuellleitungsdruck));
}
