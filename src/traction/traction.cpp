// Traction set-up, the driver's traction keys, the fuelling zone and the frame step that runs
// the chosen model.
#include "traction/traction.h"

#include <cmath>
#include <limits>

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "traction/traction_record.h"

// The start template. Survives the start: the automatic gearbox's timer, which keeps its
// cadence from the run before (the first decision comes when its period has run out).
constexpr TractionRecord kTractionAtStart = {
    0, 0, 0, false, false, 0, 0, 0, 0, kGearLoopNotWaiting, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, false, 0, false, false,
    {OPT_ammetervalues, {}, 0}, false, 0, 0, 0, 0};

static TractionRecord trac = kTractionAtStart;

TractionRecord& TractionForTesting() { return trac; }

// ---- Start of a run ----

void InitTraction(int) {
  const int32_t keptAutoTimer = trac.autoTimer;
  trac = kTractionAtStart;
  trac.autoTimer = keptAutoTimer;

  trac.hpTemperature = 0;
  RestartAtNow(trac.tempTimer);
  SetPanelOpt(OPT_thermometer, 0);

  trac.fuel = Opt(OPT_fuelstartamount);
  SetPanelOpt(OPT_fuelindicator, trac.fuel);
  trac.fuelFill = false;
  RestartAtNow(trac.fuelTimer);

  // The gearbox starts in neutral; a diesel with gears is held at notch 0 until the model runs.
  trac.gear = 0;
  trac.gears = TruncToInt(1 + static_cast<int64_t>(OptFurtherCount(OPT_gearratios)));
  trac.gear_maxPower = 0;
  if (Opt(OPT_traction) == kTractionDiesel && Opt(OPT_gearratios) > 0) OperatePower(0, true);

  // The steam engine starts with the cut-off in mid gear: no direction, no power.
  trac.gearLoop = kGearLoopNotWaiting;
  trac.cutoff = 0;
  RestartAtNow(trac.cutoffChangeTimer);
  trac.stm_reverser = 0;
  trac.stm_power = 0;
  if (Opt(OPT_traction) == kTractionSteam) {
    OperateReverser(0, true);
    OperatePower(0, true);
  }
  SetPanelOpt(OPT_cutoffindicator, trac.cutoff);

  trac.stm_boilerPressure = Opt(OPT_boilermaxpressure);
  trac.stm_boilerWater = Opt(OPT_boilermaxwaterlevel);
  RestartAtNow(trac.boilingTimer);
  const int32_t boilingRate = Opt(OPT_boilerwatertosteamrate);
  trac.boilingPeriod = boilingRate != 0 ? kMsPerMinute / boilingRate : 0;
  RestartAtNow(trac.drainTimer);
  RestartAtNow(trac.injectorTimer);
  trac.stm_injector = false;
  trac.stm_blowOff = false;
  trac.automatic = false;
  trac.ammeterReadings = KeepNotchValues(OPT_ammetervalues);
}

void DestroyTraction() {}

// ---- Fuelling zone ----

void TractionSetData(ATS_BEACONDATA beacon) {
  if (beacon.Type != kBeaconFuelZone) return;
  // The markers read the other way round when the train passes them backwards.
  if (gState.Speed > 0.0f) {
    trac.fuelFill = (beacon.Optional == kFuelZoneEntry);
  } else if (gState.Speed < 0.0f) {
    trac.fuelFill = (beacon.Optional != kFuelZoneEntry);
  }
}

// ---- Driver's keys ----

// One cut-off step, held within cutoffmin..cutoffmax.
static void StepCutoff(int step) {
  int64_t wanted = static_cast<int64_t>(trac.cutoff) + step;
  if (wanted > Opt(OPT_cutoffmax)) {
    wanted = Opt(OPT_cutoffmax);
  } else if (wanted < Opt(OPT_cutoffmin)) {
    wanted = Opt(OPT_cutoffmin);
  }
  trac.cutoff = TruncToInt(wanted);
}

void TractionKeyPressed(int key) {
  // The reversing screw turns at most one step per period; any key restarts the period.
  if (tOn(trac.cutoffChangeTimer, gState.Time, Opt(OPT_cutoffchangespeed))) {
    RestartAtNow(trac.cutoffChangeTimer);
    int step = 0;
    if (KeyMatches(OPT_cutoffincreasekey, key)) {
      step = 1;
    } else if (KeyMatches(OPT_cutoffdecreasekey, key)) {
      step = -1;
    }
    StepCutoff(step);
  }

  if (KeyMatches(OPT_injectortogglekey, key)) {
    RestartAtNow(trac.injectorTimer);
    trac.stm_injector = !trac.stm_injector;
    SetPanelOpt(OPT_injectorindicator, trac.stm_injector ? 1 : 0);
  }

  // Manual gear changes only with the power handle off.
  if (KeyMatches(OPT_geardownkey, key) && trac.gear >= 1 && gDriver.Power == 0) ChangeGear(trac, trac.gear - 1);
  if (KeyMatches(OPT_gearupkey, key) && trac.gear < trac.gears && gDriver.Power == 0) ChangeGear(trac, trac.gear + 1);

  if (KeyMatches(OPT_automatic, key)) {
    trac.automatic = !trac.automatic;
    SetPanelOpt(OPT_automaticindicator, trac.automatic ? 1 : 0);
  }
}

// ---- Frame step ----

void RunTraction() {
  if (Opt(OPT_heatingpart) == 1 && tOn(trac.tempTimer, gState.Time, kOneSecond)) {
    IncreaseTemperature(trac, OptAt(OPT_heatingrate, NotchIndex()));
  }

  if (Opt(OPT_traction) == kTractionSteam) {
    RunSteam(trac);
  } else if (Opt(OPT_traction) == kTractionDiesel) {
    RunDiesel(trac);
  }

  // The ammeter reads the power notch's value while the train is driven (reverser set, no
  // brake), otherwise 0. An ammeter on no panel element (unwired or beyond the panel) shows
  // nothing.
  const int ammeter = Opt(OPT_ammeter);
  if (!IsElement(ammeter)) return;
  if (gHandles.Reverser != 0 && gHandles.Brake == 0) {
    SetPanel(ammeter, NotchValueAt(trac.ammeterReadings, gHandles.Power));
  } else {
    SetPanel(ammeter, 0);
  }
}

const CabSystemRow kTractionRow = {
    SYS_TRACTION, true, InitTraction, DestroyTraction, RunTraction, TractionKeyPressed, nullptr, TractionSetData,
    nullptr, nullptr};
