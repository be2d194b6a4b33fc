// The diesel with a mechanical gearbox, one frame: fuel use and filling, engine speed from the
// engaged gear, power held to the gear's working range, heating by load, automatic gear changes.
#include <cmath>

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "traction/traction.h"
#include "traction/traction_record.h"

const int32_t kPercent = 100;
const int32_t kLoadStepWidth = 100;   // engine load units per heating step
const int32_t kShiftUpCeiling = 800;  // engine speed above which the automatic always shifts up
const int32_t kShiftDownFloor = 200;  // engine speed below which the automatic always shifts down

// The fuel gauge, or the low-fuel lamp when the indicator has a further value (percent).
static void ShowFuel(TractionRecord& t) {
  if (Opt(OPT_fuelindicator) == kUnwired) return;
  int32_t lowPercent;
  if (!OptFurther(OPT_fuelindicator, 0, &lowPercent)) {
    SetPanelOpt(OPT_fuelindicator, t.fuel);
  } else if (Opt(OPT_fuelcapacity) > 0) {
    int64_t percent = static_cast<int64_t>(t.fuel) * kPercent / Opt(OPT_fuelcapacity);
    SetPanelOpt(OPT_fuelindicator, percent <= lowPercent ? 1 : 0);
  }
}

// The engine burns fuel by notch each second; an empty tank stops it (power held at notch 0).
static void BurnFuel(TractionRecord& t, bool tick) {
  if (Opt(OPT_fuelconsumption) <= 0 || !tick) return;
  if (t.fuel > 0) {
    int64_t left = static_cast<int64_t>(t.fuel) - OptAt(OPT_fuelconsumption, NotchIndex());
    t.fuel = TruncToInt(left);
    if (t.fuel <= 0) {
      OperatePower(0, true);
      t.fuelCut = true;
      t.fuel = 0;
    }
  }
  ShowFuel(t);
}

// Standing in a fuelling zone fills the tank; filling restarts an engine that ran dry. Only the
// cut the dry tank placed is lifted: a tank empty from the start placed none.
static void FillFuel(TractionRecord& t, bool tick) {
  if (!(t.fuelFill && gState.Speed == 0.0f)) {
    SetPanelOpt(OPT_fuelfillindicator, 0);
    return;
  }
  SetPanelOpt(OPT_fuelfillindicator, 1);
  if (!tick) return;
  if (t.fuelCut) {
    OperatePower(0, false);
    t.fuelCut = false;
  }
  int64_t filled = static_cast<int64_t>(t.fuel) + Opt(OPT_fuelfillspeed);
  if (filled > Opt(OPT_fuelcapacity)) filled = Opt(OPT_fuelcapacity);
  t.fuel = TruncToInt(filled);
  SetPanelOpt(OPT_fuelindicator, t.fuel);
}

// Engine speed from road speed through the engaged gear, 0 in neutral, at most full scale.
static int32_t EngineSpeed(TractionRecord& t) {
  if (t.gear == 0) return 0;
  float ratio = static_cast<float>(OptAt(OPT_gearratios, static_cast<int64_t>(t.gear) - 1));
  float product = ratio * std::fabs(gState.Speed);
  int32_t r = TruncToInt(product);
  return r > kEngineSpeedFull ? kEngineSpeedFull : r;
}

// Heating by engine load: one step per 100 units of (driver's notch x engine speed / notches).
static void HeatByLoad(TractionRecord& t, int32_t r) {
  if (Opt(OPT_heatingpart) != 2 || !tOn(t.tempTimer, gState.Time, kOneSecond)) return;
  int64_t step = 0;
  bool loaded = gHandles.Reverser != 0 && gHandles.Power != 0 && t.fuel > 0;
  // A vehicle without power notches has no load scale: it stays at step 0.
  if (loaded && gTrainspecs.PowerNotches != 0) {
    step = static_cast<int64_t>(gDriver.Power) * r / gTrainspecs.PowerNotches / kLoadStepWidth;
  }
  IncreaseTemperature(t, OptAt(OPT_heatingrate, step));
}

// The notches the gear can carry at engine speed r: fading in at the bottom of its range and
// out at the top.
static int32_t GearPower(int32_t r, int32_t fadeIn, int32_t fadeOut) {
  const double notches = gTrainspecs.PowerNotches;
  if (r < fadeIn) {
    // Only a negative engine speed (a negative ratio) lies below an empty fade-in band: no power.
    if (fadeIn == 0) return 0;
    return TruncToInt(notches * r / fadeIn);
  }
  if (r > static_cast<int64_t>(kEngineSpeedFull) - fadeOut) {
    // r is at most full scale, so the band is wider than 0 here.
    double intoBand = static_cast<double>(fadeOut) + r - kEngineSpeedFull;
    return TruncToInt(notches - notches * intoBand / fadeOut);
  }
  return gTrainspecs.PowerNotches;
}

// Every two seconds the automatic picks a gear: neutral while not driven, up near the top of
// the range, down near its bottom.
static void AutomaticGearChange(TractionRecord& t, int32_t r, int32_t fadeIn, int32_t fadeOut) {
  if (!t.automatic || !tOn(t.autoTimer, gState.Time, kAutoGearPeriod)) return;
  RestartAtNow(t.autoTimer);
  if (gHandles.Reverser == 0 || gHandles.Brake != 0) {
    ChangeGear(t, 0);
    return;
  }
  int64_t up = (static_cast<int64_t>(2 * kEngineSpeedFull) - fadeOut) / 2;
  if (up > kShiftUpCeiling) up = kShiftUpCeiling;
  if (r > up && t.gear < t.gears) {
    ChangeGear(t, t.gear + 1);
    return;
  }
  int64_t down = fadeIn / 2;
  if (down < kShiftDownFloor) down = kShiftDownFloor;
  if (r < down && t.gear > 1) ChangeGear(t, t.gear - 1);
}

// Kept out of line: inlined into the frame step, its many calls would cost the steam model's
// frames saved registers as well.
__attribute__((noinline)) void RunDiesel(TractionRecord& t) {
  bool tick = tOn(t.fuelTimer, gState.Time, kOneSecond);
  BurnFuel(t, tick);
  FillFuel(t, tick);

  if (Opt(OPT_gearratios) < 1) return;  // no gearbox

  int32_t r = EngineSpeed(t);
  SetPanelOpt(OPT_tachometer, t.fuel > 0 ? r : 0);
  HeatByLoad(t, r);

  if (t.automatic && gHandles.Reverser != 0 && gHandles.Brake == 0 && gDriver.Power != 0 && t.gear == 0) {
    ChangeGear(t, 1);
  }

  int32_t g = 0;
  if (t.gear != 0) {
    int32_t fadeIn = OptAt(OPT_gearfadeinrange, static_cast<int64_t>(t.gear) - 1);
    int32_t fadeOut = OptAt(OPT_gearfadeoutrange, static_cast<int64_t>(t.gear) - 1);
    g = GearPower(r, fadeIn, fadeOut);
    AutomaticGearChange(t, r, fadeIn, fadeOut);
  }

  // The gearbox takes (notches - g) off the driver's notch.
  int64_t limit = static_cast<int64_t>(gDriver.Power) - gTrainspecs.PowerNotches + g;
  MovePowerLimit(t.gear_maxPower, TruncToInt(limit < 0 ? 0 : limit));

  int32_t loopDelay;
  if (t.gearLoop == kGearLoopWaiting && OptFurther(OPT_gearloopsound, 0, &loopDelay) &&
      tOn(t.gearLoopTimer, gState.Time, loopDelay)) {
    SetSoundOpt(OPT_gearloopsound, SOUND_LOOP);
    t.gearLoop = kGearLoopNotWaiting;
  }
}
