// The steam locomotive, one frame: cut-off and direction, power held by cut-off and boiler
// pressure, boiling, safety valves, injector, steam use and tender filling.
#include <cmath>
#include <limits>

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "traction/traction.h"
#include "traction/traction_record.h"

const int kMaxBoiledPerFrame = 100;       // catch-up bound of the boiling after a long frame
const int32_t kBlowOffLossPerUnit = 4;    // pressure lost per boiled unit while the valves blow
const int32_t kInjectorPressureShare = 4; // the injector costs 1/4 of its water rate in pressure
const int32_t kLowWaterOff = 4;           // automatic injector off above 1/4 of the top level
const int32_t kLowWaterOn = 8;            // automatic injector on below 1/8 of the top level
const float kSpeedUseScale = 25.0f;       // km/h at which steam use per stroke has doubled
const float kTenths = 10.0f;              // cutoffratio counts tenths of a percent
const double kPressureMargin = 0.01;      // keeps the top notch out of reach at exactly full pressure

// The notches the engine gives when the cut-off is `best` away from the one set; never negative.
static int32_t CutoffPower(TractionRecord& t, double best) {
  double lost = std::fabs(best - t.cutoff) / Opt(OPT_cutoffdeviation);
  int32_t w = TruncToInt(gTrainspecs.PowerNotches - lost);
  return w > 0 ? w : 0;
}

// In automatic mode the reversing screw is wound to full gear as soon as a direction is chosen.
static void PresetCutoff(TractionRecord& t) {
  if (!t.automatic) return;
  int64_t band = Opt(OPT_cutoffineffective);
  if (gDriver.Reverser == 1 && t.cutoff <= band) {
    t.cutoff = Opt(OPT_cutoffmax);
  } else if (gDriver.Reverser == -1 && t.cutoff >= -band) {
    t.cutoff = Opt(OPT_cutoffmin);
  }
}

// Direction and cut-off power. Past `cutoffratiobase` the best cut-off shortens with speed; the
// automatic follows it, staying just outside the dead band.
static void CutoffDrive(TractionRecord& t, int32_t& direction, int32_t& power) {
  direction = 0;
  power = 0;
  int64_t band = Opt(OPT_cutoffineffective);
  // In the dead band (mid gear, the usual case) there is no direction and no power; with a
  // `cutoffdeviation` of 0 the engine gives none in any gear.
  bool forward = t.cutoff > band;
  bool reverse = t.cutoff + band < 0;  // below -band
  if ((!forward && !reverse) || Opt(OPT_cutoffdeviation) == 0) return;
  float base = static_cast<float>(Opt(OPT_cutoffratiobase));
  float ratio = static_cast<float>(Opt(OPT_cutoffratio));

  if (forward) {
    direction = 1;
    if (gState.Speed > base) {
      float above = gState.Speed - base;
      float fall = ratio * above;
      fall = fall / kTenths;
      float best = static_cast<float>(Opt(OPT_cutoffmax)) - fall;
      power = CutoffPower(t, best);
      if (t.automatic) t.cutoff = (static_cast<double>(best) > static_cast<double>(band + 1)) ? TruncToInt(best) : TruncToInt(band + 1);
    } else {
      power = CutoffPower(t, Opt(OPT_cutoffmax));
    }
  } else {
    direction = -1;
    float speed = std::fabs(gState.Speed);
    if (speed > base) {
      float above = speed - base;
      float fall = ratio * above;
      fall = fall / kTenths;
      float best = static_cast<float>(Opt(OPT_cutoffmin)) + fall;
      power = CutoffPower(t, best);
      if (t.automatic) t.cutoff = (static_cast<double>(best) < static_cast<double>(-band - 1)) ? TruncToInt(best) : TruncToInt(-band - 1);
    } else {
      power = CutoffPower(t, Opt(OPT_cutoffmin));
    }
  }
}

// The notches the boiler pressure can feed: none at `boilerminpressure`, all at
// `boilermaxpressure`.
static int32_t WorkOutPressurePower(const TractionRecord& t) {
  int64_t notches = gTrainspecs.PowerNotches;
  if (notches == 0) return 0;  // no notches to feed
  int64_t excess = static_cast<int64_t>(t.stm_boilerPressure) - Opt(OPT_boilerminpressure);
  if (excess < 0) excess = 0;
  int64_t range = static_cast<int64_t>(Opt(OPT_boilermaxpressure)) - Opt(OPT_boilerminpressure);
  double share;
  if (range != 0) {
    share = static_cast<double>(excess) / static_cast<double>(range);
  } else {
    // A working range of no width: any pressure above it feeds everything.
    share = excess > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  double n = static_cast<double>(notches);
  return TruncToInt(n * (share + 1.0 / n - kPressureMargin));
}

// The same, worked out again only when the pressure or the vehicle's notches have moved.
static int32_t PressurePower(TractionRecord& t) {
  if (!t.pressurePowerKnown || t.pressurePowerFrom != t.stm_boilerPressure ||
      t.pressurePowerNotches != gTrainspecs.PowerNotches) {
    t.pressurePower = WorkOutPressurePower(t);
    t.pressurePowerFrom = t.stm_boilerPressure;
    t.pressurePowerNotches = gTrainspecs.PowerNotches;
    t.pressurePowerKnown = true;
  }
  return t.pressurePower;
}

// The units of water due to turn into steam, the first of them found due by the caller: a long
// frame catches up at most 100 units. While the valves blow off, each unit costs pressure
// instead of adding it. Kept out of line: most frames have no unit due.
__attribute__((noinline)) static void BoilDueUnits(TractionRecord& t, int32_t period) {
  int units = 0;
  do {
    if (t.stm_boilerWater <= 0 || units >= kMaxBoiledPerFrame) return;
    t.stm_boilerWater -= 1;
    t.stm_boilerPressure = ClampToInt(static_cast<int64_t>(t.stm_boilerPressure) + 1);
    SetPanelOpt(OPT_boilerwaterlevelindicator, t.stm_boilerWater);
    if (t.stm_blowOff) t.stm_boilerPressure = ClampToInt(static_cast<int64_t>(t.stm_boilerPressure) - kBlowOffLossPerUnit);
    units++;
  } while (tOn(t.boilingTimer, gState.Time, period));
}

// Water turns into steam at `boilerwatertosteamrate` units per minute.
static void Boil(TractionRecord& t) {
  if (Opt(OPT_boilerwatertosteamrate) == 0) return;  // a fire that turns no water into steam
  if (tOn(t.boilingTimer, gState.Time, t.boilingPeriod)) BoilDueUnits(t, t.boilingPeriod);
}

static void SafetyValves(TractionRecord& t) {
  if (t.stm_boilerPressure > Opt(OPT_boilerblowoffpressure) && !t.stm_blowOff) {
    t.stm_blowOff = true;
  } else if (t.stm_boilerPressure < Opt(OPT_boilermaxpressure)) {
    t.stm_blowOff = false;
  }
}

static void SetInjector(TractionRecord& t, bool on) {
  t.stm_injector = on;
  RestartAtNow(t.injectorTimer);
  SetPanelOpt(OPT_injectorindicator, on ? 1 : 0);
}

// The automatic keeps the water between 1/8 and 1/4 of the top level.
static void AutomaticInjector(TractionRecord& t) {
  if (!t.automatic) return;
  int32_t top = Opt(OPT_boilermaxwaterlevel);
  if (t.stm_injector && t.stm_boilerWater > top / kLowWaterOff) {
    SetInjector(t, false);
  } else if (!t.stm_injector && t.stm_boilerWater < top / kLowWaterOn) {
    SetInjector(t, true);
  }
}

// Each second the injector moves tender water into the boiler, at some cost in pressure.
static void FeedWater(TractionRecord& t) {
  if (!(t.stm_injector && t.stm_boilerPressure > 0 && t.fuel > 0 &&
        t.stm_boilerWater < Opt(OPT_boilermaxwaterlevel) && tOn(t.injectorTimer, gState.Time, kOneSecond))) {
    return;
  }
  int32_t rate = Opt(OPT_injectorrate);
  t.fuel = TruncToInt(static_cast<int64_t>(t.fuel) - rate);
  SetPanelOpt(OPT_fuelindicator, t.fuel);
  t.stm_boilerWater = TruncToInt(static_cast<int64_t>(t.stm_boilerWater) + rate);
  int32_t pressureCost = rate / kInjectorPressureShare;  // in whole pressure units
  t.stm_boilerPressure = TruncToInt(static_cast<int64_t>(t.stm_boilerPressure) - pressureCost);
}

// The steam the cylinders used in the second gone, by regulator, cut-off and speed. Kept out
// of line: it comes once a second.
__attribute__((noinline)) static void UseSecondsSteam(TractionRecord& t) {
  int32_t notches = gTrainspecs.PowerNotches;
  // Without notches there is no regulator to open.
  int32_t regulator = notches != 0
      ? TruncToInt(static_cast<double>(Opt(OPT_regulatorpressureuse)) * gDriver.Power / notches) : 0;
  float fullGear = std::fabs(static_cast<float>(Opt(OPT_cutoffmax)));
  // A forward range of no width counts as full gear.
  float gearShare = fullGear != 0.0f ? std::fabs(static_cast<float>(t.cutoff)) / fullGear : 1.0f;
  float speedShare = 1.0f + std::fabs(gState.Speed) / kSpeedUseScale;
  float used = static_cast<float>(regulator) * gearShare;
  used = used * speedShare;
  t.stm_boilerPressure = TruncToInt(static_cast<int64_t>(t.stm_boilerPressure) - TruncToInt(used));
}

// Each second the cylinders use steam, while the engine is in gear.
static void UseSteam(TractionRecord& t) {
  if (t.stm_reverser == 0 || !tOn(t.drainTimer, gState.Time, kOneSecond)) return;
  UseSecondsSteam(t);
}

// Standing in a watering zone refills the tender once a second.
static void FillTender(TractionRecord& t) {
  if (!(t.fuelFill && gState.Speed == 0.0f)) {
    SetPanelOpt(OPT_fuelfillindicator, 0);
    return;
  }
  SetPanelOpt(OPT_fuelfillindicator, 1);
  if (!tOn(t.fuelTimer, gState.Time, kOneSecond)) return;
  int64_t filled = static_cast<int64_t>(t.fuel) + Opt(OPT_fuelfillspeed);
  if (filled > Opt(OPT_fuelcapacity)) filled = Opt(OPT_fuelcapacity);
  t.fuel = TruncToInt(filled);
  SetPanelOpt(OPT_fuelindicator, t.fuel);
  RestartAtNow(t.fuelTimer);
}

void RunSteam(TractionRecord& t) {
  PresetCutoff(t);

  int32_t direction;
  int32_t cutoffPower;
  CutoffDrive(t, direction, cutoffPower);
  if (direction != t.stm_reverser) {
    OperateReverser(t.stm_reverser, false);
    t.stm_reverser = direction;
    OperateReverser(direction, true);
  }
  SetPanelOpt(OPT_cutoffindicator, t.cutoff);

  // With no power from the cut-off (mid gear) the engine is held at notch 0 whatever the boiler
  // feeds, while the driver's notch is within the vehicle's.
  int32_t wanted = 0;
  if (cutoffPower > 0 || gDriver.Power > gTrainspecs.PowerNotches) {
    int32_t p = PressurePower(t);
    if (cutoffPower < p) p = cutoffPower;
    int64_t limit = static_cast<int64_t>(gDriver.Power) - gTrainspecs.PowerNotches + p;
    wanted = ClampToInt(limit < 0 ? 0 : limit);
  }
  MovePowerLimit(t.stm_power, wanted);

  Boil(t);
  SafetyValves(t);
  AutomaticInjector(t);
  FeedWater(t);
  UseSteam(t);

  if (t.stm_boilerPressure < 0) t.stm_boilerPressure = 0;
  SetPanelOpt(OPT_boilerpressureindicator, t.stm_boilerPressure);

  FillTender(t);
}
