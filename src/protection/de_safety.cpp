// German train protection: PZB90 magnets, acknowledgement window and emergency braking.
#include "protection/de_safety.h"

#include <climits>

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/host.h"
#include "cab/indicator.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "protection/de_safety_record.h"

// A run starts switched off, without a brake, the blue lamp dark and no window open.
constexpr DESafetyRecord kDESafetyAtStart = {
    false, false, {OPT_pzb90bluelamp, kUnwired, 0, kLampSteady, 0, false, false, 0, 0}, kPzbWindowClosed, 0};

static DESafetyRecord pzb = kDESafetyAtStart;

DESafetyRecord& DESafetyForTesting() { return pzb; }

const int kPzbOn = 1;                     // pzb90 value that lets the frame routine work
const float kPzbOffLimit = 45.0f;         // km/h allowed until the driver switches PZB90 on
const int32_t kPzbWindow = 3000;          // ms the driver has to acknowledge a magnet
const int32_t kPzbLampLit = 1;            // value of a lit lamp
const int kAspectStop = 0;
const int kAspectRestrictive1 = 1;
const int kAspectRestrictive2 = 2;
const int kAspectRestrictive3 = 3;
const int kAspectClear = 4;
const float kAspectLimit1 = 25.0f;        // km/h at aspect 1
const float kAspectLimit2 = 40.0f;        // km/h at aspect 2
const float kAspectLimit3 = 60.0f;        // km/h at aspect 3
const int32_t kLimitWithoutWindow = 45;   // a magnet limit of 45 km/h opens no acknowledgement window

static void BlueSteady() { SetSteady(pzb.bluelamp, kPzbLampLit); }

static void BlueFlashing() { SetFlashing(pzb.bluelamp, kPzbLampLit); }

// Strictly faster than the limit in either direction; a speed that is not a number is never faster.
static bool Faster(float limit) {
  const float speed = gState.Speed < 0.0f ? -gState.Speed : gState.Speed;
  return speed > limit;
}

static bool Faster(int32_t limit) { return Faster(static_cast<float>(limit)); }

// Opens the acknowledgement window at this frame's time.
static void OpenWindow() {
  RestartAtNow(pzb.pzb90timer);
  pzb.window = kPzbWindowOpen;
}

void InitDESafety(int) {
  pzb = kDESafetyAtStart;
  pzb.bluelamp = NewIndicator(OPT_pzb90bluelamp, 0);
  BlueFlashing();  // flashes until the driver switches the system on
  SetPanelOpt(OPT_pzb90yellowlamp, 0);
  SetPanelOpt(OPT_pzb90redlamp, 0);
  SetSoundOpt(OPT_pzb90sound, SOUND_STOP);
}

void DestroyDESafety() {}

void PZB90Emergency() {
  if (pzb.emergency) return;  // one brake demand at most
  pzb.emergency = true;
  SetPanelOpt(OPT_pzb90redlamp, 1);
  OperateBrake(EmergencyBrakeNotch(), true);
  BlueFlashing();
  SetSoundOpt(OPT_pzb90sound, SOUND_LOOP);
}

void DESafety() {
  if (Opt(OPT_pzb90) != kPzbOn) return;
  if (!pzb.active && Faster(kPzbOffLimit)) PZB90Emergency();
  // A missed acknowledgement brakes; the window keeps running until the PZB key closes it.
  if (pzb.window == kPzbWindowOpen && tOn(pzb.pzb90timer, gState.Time, kPzbWindow)) PZB90Emergency();
  ShowIndicator(pzb.bluelamp);
}

// Signal magnet without a limit of its own: the aspect sets the limit and opens the window.
static void SignalMagnetByAspect(int aspect) {
  if (aspect == kAspectStop) PZB90Emergency();
  if (aspect == kAspectRestrictive1 && Faster(kAspectLimit1)) PZB90Emergency();
  if (aspect == kAspectRestrictive2 && Faster(kAspectLimit2)) PZB90Emergency();
  if (aspect == kAspectRestrictive3 && Faster(kAspectLimit3)) PZB90Emergency();
  if (aspect != kAspectClear) OpenWindow();
  BlueSteady();
  SetPanelOpt(OPT_pzb90yellowlamp, 0);
}

// Signal magnet with a limit of its own at a restrictive aspect.
static void SignalMagnetWithLimit(int32_t limit) {
  if (limit == kLimitWithoutWindow) {
    BlueSteady();
    SetPanelOpt(OPT_pzb90yellowlamp, 0);
  } else {
    BlueFlashing();
    SetPanelOpt(OPT_pzb90yellowlamp, 1);
  }
  SetSoundOpt(OPT_pzb90sound, SOUND_PLAY);
  if (Faster(limit)) PZB90Emergency();
  if (limit != kLimitWithoutWindow) OpenWindow();
}

void SetDESafetyStatus(ATS_BEACONDATA beacon) {
  if (beacon.Type == kBeaconPzbSignalMagnet) {
    if (beacon.Optional == 0) {
      SignalMagnetByAspect(beacon.Signal);
    } else if (beacon.Signal != kAspectClear) {
      SignalMagnetWithLimit(beacon.Optional);
    } else {
      BlueSteady();
      SetPanelOpt(OPT_pzb90yellowlamp, 0);
    }
  } else if (beacon.Type == kBeaconPzbWarningMagnet) {
    if (beacon.Optional == 0) {
      BlueFlashing();
      SetPanelOpt(OPT_pzb90yellowlamp, 1);
      SetSoundOpt(OPT_pzb90sound, SOUND_PLAY);
    } else {
      BlueSteady();
      SetPanelOpt(OPT_pzb90yellowlamp, 0);
      if (beacon.Optional > 0 && Faster(beacon.Optional)) PZB90Emergency();
    }
  }
}

// The PZB key: releases an emergency at standstill, otherwise switches on and acknowledges.
void DESafetyKeyPressed(int key) {
  if (!KeyMatches(OPT_pzb90key, key)) return;
  if (pzb.emergency && gState.Speed == 0.0f) {
    OperateBrake(EmergencyBrakeNotch(), false);
    SetPanelOpt(OPT_pzb90redlamp, 0);
    BlueSteady();
    SetSoundOpt(OPT_pzb90sound, SOUND_STOP);
    pzb.emergency = false;
    pzb.window = kPzbWindowClosed;
    return;
  }
  if (!pzb.active) {
    pzb.active = true;
    BlueSteady();
    SetSoundOpt(OPT_pzb90sound, SOUND_PLAY);
  }
  pzb.window = kPzbWindowClosed;
}

const CabSystemRow kDESafetyRow = {
    SYS_PZB90, true, InitDESafety, DestroyDESafety, DESafety, DESafetyKeyPressed, nullptr, SetDESafetyStatus,
    nullptr, nullptr};
