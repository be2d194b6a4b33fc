// The engine parts both traction models use: the notch the tables are read at, power limits,
// engine temperature and gear changes.
#include <cstdint>

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "traction/traction_record.h"

// ---- Arithmetic ----

int32_t NotchIndex() {
  return (gHandles.Reverser != 0 && gHandles.Brake == 0) ? gHandles.Power : 0;
}

void MovePowerLimit(int32_t& held, int32_t wanted) {
  if (wanted == held) return;
  // The new notch is kept before the call: nothing of this frame needs to outlive it.
  const int32_t released = held;
  held = wanted;
  MovePowerDemand(released, wanted);
}

// ---- Engine temperature ----

void IncreaseTemperature(TractionRecord& t, int delta) {
  int64_t temperature = static_cast<int64_t>(t.hpTemperature) + delta;
  t.hpTemperature = TruncToInt(temperature < 0 ? 0 : temperature);
  SetPanelOpt(OPT_thermometer, t.hpTemperature);

  bool warm = t.hpTemperature >= Opt(OPT_overheatwarn);
  SetPanelOpt(OPT_overheatindicator, warm ? 1 : 0);
  SetSoundOpt(OPT_overheatalarm, warm ? SOUND_LOOP : SOUND_STOP);

  // The overheat cut is latched: each call in the hot state adds a demand that nothing lifts
  // before the next start of a run.
  if (t.hpTemperature >= Opt(OPT_overheat) && Opt(OPT_overheatresult) == 1) OperatePower(0, true);
}

// ---- Gearbox ----

void ChangeGear(TractionRecord& t, int newGear) {
  if (newGear == t.gear) return;

  int32_t downSound;
  if (OptFurther(OPT_gearchangesound, 0, &downSound) && newGear < t.gear) {
    SetSound(downSound, SOUND_PLAY);
  } else if (Opt(OPT_gearchangesound) != kUnwired) {
    SetSoundOpt(OPT_gearchangesound, SOUND_PLAY);
  }

  t.gear = newGear;
  SetPanelOpt(OPT_gearindicator, t.gear);

  // The engine's gear loop falls silent during the change and restarts after its delay.
  int32_t loopDelay;
  if (Opt(OPT_gearloopsound) != kUnwired && OptFurther(OPT_gearloopsound, 0, &loopDelay)) {
    RestartAtNow(t.gearLoopTimer);
    t.gearLoop = newGear != 0 ? kGearLoopWaiting : kGearLoopNotWaiting;
    SetSoundOpt(OPT_gearloopsound, SOUND_STOP);
  }
}
