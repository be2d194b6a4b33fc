// Traction set-up, engine temperature, gearbox changes, the driver's traction keys, the fuelling
// zone and the frame step that runs the chosen model.
#include "traction/traction.h"

#include <cmath>
#include <limits>

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"

int32_t hpTemperature = 0;
int32_t tempTimer = 0;
int32_t fuel = 0;
bool fuelFill = false;
int32_t fuelTimer = 0;
int32_t gear = 0;
int32_t gears = 0;
int32_t gear_maxPower = 0;
int32_t gearLoopTimer = kTimerStopped;
int32_t autoTimer = 0;
int32_t cutoff = 0;
int32_t cutoffChangeTimer = 0;
int32_t stm_reverser = 0;
int32_t stm_power = 0;
int32_t stm_boilerPressure = 0;
int32_t stm_boilerWater = 0;
int32_t boilingTimer = 0;
int32_t drainTimer = 0;
bool stm_injector = false;
int32_t injectorTimer = 0;
bool stm_blowOff = false;
bool automatic = false;

// ---- Arithmetic ----

int32_t NotchIndex() {
  return (gHandles.Reverser != 0 && gHandles.Brake == 0) ? gHandles.Power : 0;
}

void MovePowerLimit(int32_t& held, int32_t wanted) {
  if (wanted == held) return;
  MovePowerDemand(held, wanted);
  held = wanted;
}

// ---- Start of a run ----

void InitTraction(int) {
  hpTemperature = 0;
  RestartAtNow(tempTimer);
  SetPanelOpt(OPT_thermometer, 0);

  fuel = Opt(OPT_fuelstartamount);
  SetPanelOpt(OPT_fuelindicator, fuel);
  fuelFill = false;
  RestartAtNow(fuelTimer);

  // The gearbox starts in neutral; a diesel with gears is held at notch 0 until the model runs.
  gear = 0;
  gears = TruncToInt(1 + static_cast<int64_t>(OptFurtherCount(OPT_gearratios)));
  gear_maxPower = 0;
  if (Opt(OPT_traction) == kTractionDiesel && Opt(OPT_gearratios) > 0) OperatePower(0, true);

  // The steam engine starts with the cut-off in mid gear: no direction, no power.
  gearLoopTimer = kTimerStopped;
  cutoff = 0;
  RestartAtNow(cutoffChangeTimer);
  stm_reverser = 0;
  stm_power = 0;
  if (Opt(OPT_traction) == kTractionSteam) {
    OperateReverser(0, true);
    OperatePower(0, true);
  }
  SetPanelOpt(OPT_cutoffindicator, cutoff);

  stm_boilerPressure = Opt(OPT_boilermaxpressure);
  stm_boilerWater = Opt(OPT_boilermaxwaterlevel);
  RestartAtNow(boilingTimer);
  RestartAtNow(drainTimer);
  RestartAtNow(injectorTimer);
  stm_injector = false;
  stm_blowOff = false;
  automatic = false;
}

void DestroyTraction() {}

// ---- Engine temperature ----

void IncreaseTemperature(int delta) {
  int64_t temperature = static_cast<int64_t>(hpTemperature) + delta;
  hpTemperature = TruncToInt(temperature < 0 ? 0 : temperature);
  SetPanelOpt(OPT_thermometer, hpTemperature);

  bool warm = hpTemperature >= Opt(OPT_overheatwarn);
  SetPanelOpt(OPT_overheatindicator, warm ? 1 : 0);
  SetSoundOpt(OPT_overheatalarm, warm ? SOUND_LOOP : SOUND_STOP);

  // The overheat cut is latched: each call in the hot state adds a demand that nothing lifts
  // before the next start of a run.
  if (hpTemperature >= Opt(OPT_overheat) && Opt(OPT_overheatresult) == 1) OperatePower(0, true);
}

// ---- Gearbox ----

void ChangeGear(int newGear) {
  if (newGear == gear) return;

  int32_t downSound;
  if (OptFurther(OPT_gearchangesound, 0, &downSound) && newGear < gear) {
    SetSound(downSound, SOUND_PLAY);
  } else if (Opt(OPT_gearchangesound) != kUnwired) {
    SetSoundOpt(OPT_gearchangesound, SOUND_PLAY);
  }

  gear = newGear;
  SetPanelOpt(OPT_gearindicator, gear);

  // The engine's gear loop falls silent during the change and restarts after its delay.
  int32_t loopDelay;
  if (Opt(OPT_gearloopsound) != kUnwired && OptFurther(OPT_gearloopsound, 0, &loopDelay)) {
    gearLoopTimer = (newGear != 0) ? gState.Time : kTimerStopped;
    SetSoundOpt(OPT_gearloopsound, SOUND_STOP);
  }
}

// ---- Fuelling zone ----

void TractionSetData(ATS_BEACONDATA beacon) {
  if (beacon.Type != kBeaconFuelZone) return;
  // The markers read the other way round when the train passes them backwards.
  if (gState.Speed > 0.0f) {
    fuelFill = (beacon.Optional == kFuelZoneEntry);
  } else if (gState.Speed < 0.0f) {
    fuelFill = (beacon.Optional != kFuelZoneEntry);
  }
}

// ---- Driver's keys ----

// One cut-off step, held within cutoffmin..cutoffmax.
static void StepCutoff(int step) {
  int64_t wanted = static_cast<int64_t>(cutoff) + step;
  if (wanted > Opt(OPT_cutoffmax)) {
    wanted = Opt(OPT_cutoffmax);
  } else if (wanted < Opt(OPT_cutoffmin)) {
    wanted = Opt(OPT_cutoffmin);
  }
  cutoff = TruncToInt(wanted);
}

void TractionKeyPressed(int key) {
  // The reversing screw turns at most one step per period; any key restarts the period.
  if (tOn(cutoffChangeTimer, gState.Time, Opt(OPT_cutoffchangespeed))) {
    RestartAtNow(cutoffChangeTimer);
    int step = 0;
    if (KeyMatches(OPT_cutoffincreasekey, key)) {
      step = 1;
    } else if (KeyMatches(OPT_cutoffdecreasekey, key)) {
      step = -1;
    }
    StepCutoff(step);
  }

  if (KeyMatches(OPT_injectortogglekey, key)) {
    RestartAtNow(injectorTimer);
    stm_injector = !stm_injector;
    SetPanelOpt(OPT_injectorindicator, stm_injector ? 1 : 0);
  }

  // Manual gear changes only with the power handle off.
  if (KeyMatches(OPT_geardownkey, key) && gear >= 1 && gDriver.Power == 0) ChangeGear(gear - 1);
  if (KeyMatches(OPT_gearupkey, key) && gear < gears && gDriver.Power == 0) ChangeGear(gear + 1);

  if (KeyMatches(OPT_automatic, key)) {
    automatic = !automatic;
    SetPanelOpt(OPT_automaticindicator, automatic ? 1 : 0);
  }
}

// ---- Frame step ----

void RunTraction() {
  if (Opt(OPT_heatingpart) == 1 && tOn(tempTimer, gState.Time, kOneSecond)) {
    IncreaseTemperature(OptAt(OPT_heatingrate, NotchIndex()));
  }

  if (Opt(OPT_traction) == kTractionDiesel) {
    RunDiesel();
  } else if (Opt(OPT_traction) == kTractionSteam) {
    RunSteam();
  }

  if (Opt(OPT_ammeter) != kUnwired) {
    bool driven = gHandles.Reverser != 0 && gHandles.Brake == 0;
    SetPanelOpt(OPT_ammeter, driven ? OptAt(OPT_ammetervalues, gHandles.Power) : 0);
  }
}

const CabSystemRow kTractionRow = {
    SYS_TRACTION, true, InitTraction, DestroyTraction, RunTraction, TractionKeyPressed, nullptr, TractionSetData,
    nullptr, nullptr};
