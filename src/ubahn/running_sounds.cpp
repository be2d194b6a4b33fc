// Running, curve and rail-joint sounds, and the speedometer's overspeed contact (Deuta).
#include <cmath>

#include "ubahn/running_sounds.h"

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/timers.h"

// Rail joint: the wheelsets knock over the joint once they are this far past the beacon.
struct Knock {
  double distance;  // m
  int sound;        // the pair of wheelsets knocking
};
const Knock kKnocks[kKnockCount] = {{0.0, kSoundKnockFirstPair},   {1.9, kSoundKnockFirstPair},
                                    {9.5, kSoundKnockSecondPair},  {11.4, kSoundKnockSecondPair},
                                    {16.05, kSoundKnockThirdPair}};
const double kLastKnock = 17.95;  // m: the last knock, which ends the joint

// Overspeed contact.
const float kOverspeedOn = 72.0f;    // km/h
const float kOverspeedOff = 70.0f;   // km/h
const int32_t kValveDelay = 300;     // ms above the limit before the valve closes

// A curve kind: its threshold and sounds.
struct CurveKind {
  float threshold;    // km/h
  int32_t loopDelay;  // ms from the start sound to the loop
  int startSound;
  int loopSound;
  int endSound;
  bool stopsStartSound;  // the slow kind also cuts its start sound short
};

const CurveKind kFastCurve = {50.0f, 2464, kSoundFastCurveStart, kSoundFastCurveLoop, kSoundFastCurveEnd, false};
const CurveKind kSlowCurve = {25.0f, 4925, kSoundSlowCurveStart, kSoundSlowCurveLoop, kSoundSlowCurveEnd, true};

// A running band: its speed range and sounds.
struct RunningBand {
  float lower;  // km/h
  bool bounded;  // has an upper end (the fast band has none)
  float upper;   // km/h
  int32_t loopDelay;
  int startSound;
  int loopSound;
  int endSound;
};

const RunningBand kSlowBand = {15.0f, true, 35.0f, 2430, kSoundSlowBandStart, kSoundSlowBandLoop, kSoundSlowBandEnd};
const RunningBand kMiddleBand = {35.0f, true, 55.0f, 3222, kSoundMiddleBandStart, kSoundMiddleBandLoop,
                                 kSoundMiddleBandEnd};
const RunningBand kFastBand = {55.0f, false, 0.0f, 3076, kSoundFastBandStart, kSoundFastBandLoop, kSoundFastBandEnd};

void SetSchienenstoss(UBahnCab& cab) {
  cab.sounds.schienenstoss = true;
  cab.sounds.schienenstossposition = gState.Location;
}

// The three pairs of wheelsets knock over the joint one after another.
void Schienenstoss(UBahnCab& cab) {
  RunningSounds& sounds = cab.sounds;
  if (!sounds.schienenstoss) return;
  const double d = std::fabs(gState.Location - sounds.schienenstossposition);
  for (int next = 0; next < kKnockCount; next++) {
    if (d > kKnocks[next].distance && sounds.knocks <= next) {
      SetSound(kKnocks[next].sound, SOUND_PLAY);
      sounds.knocks = static_cast<KnockPhase>(next + 1);
    }
  }
  if (d > kLastKnock) {
    SetSound(kSoundKnockThirdPair, SOUND_PLAY);
    sounds.knocks = kKnocksNone;
    sounds.schienenstoss = false;
  }
}

// Above 72 km/h the warning sounds; if the speed stays up the valve closes and brakes the
// train until it is below 70 km/h.
void Deuta(UBahnCab& cab) {
  if (gState.Speed > kOverspeedOn) {
    SetSound(kSoundOverspeedWarning, SOUND_LOOP);
    if (cab.sounds.deuta == kDeutaRuhe) {
      RestartAtNow(cab.sounds.deutatimer);
      cab.sounds.deuta = kDeutaWarnung;
    }
    if (tOn(cab.sounds.deutatimer, gState.Time, kValveDelay) && cab.sounds.deuta != kDeutaBremst) {
      cab.sounds.deuta = kDeutaBremst;
      SetSound(kSoundPipeFilling, SOUND_PLAY);
    }
  }
  if (gState.Speed < kOverspeedOff) {
    SetSound(kSoundOverspeedWarning, SOUND_STOP);
    cab.sounds.deuta = kDeutaRuhe;
  }
}

static void StopCurveLoop(const CurveKind& curve) {
  SetSound(curve.loopSound, SOUND_STOP);
  if (curve.stopsStartSound) SetSound(curve.startSound, SOUND_STOP);
}

// A curve beacon: a section begins (on not 0) or ends.
static void CurveBeacon(CurveSound& sound, const CurveKind& curve, int on) {
  sound.kurve = on != 0;
  if (sound.kurve && gState.Speed > curve.threshold) {
    SetSound(curve.startSound, SOUND_PLAY);
    RestartAtNow(sound.timer);
  }
  if (gState.Speed < curve.threshold && sound.kurve) sound.unterdrueckung = true;
  if (!sound.kurve) {
    if (gState.Speed > curve.threshold) SetSound(curve.endSound, SOUND_PLAY);
    StopCurveLoop(curve);
  }
}

__attribute__((always_inline)) static inline void CurveFrame(CurveSound& sound, const CurveKind& curve) {
  if (!sound.kurve) return;
  if (!sound.unterdrueckung && tOn(sound.timer, gState.Time, curve.loopDelay)) SetSound(curve.loopSound, SOUND_LOOP);
  if (gState.Speed < curve.threshold && !sound.unterdrueckung) {
    SetSound(curve.endSound, SOUND_PLAY);
    StopCurveLoop(curve);
    sound.unterdrueckung = true;
    return;
  }
  if (gState.Speed > curve.threshold && sound.unterdrueckung) {
    SetSound(curve.startSound, SOUND_PLAY);
    RestartAtNow(sound.timer);
    sound.unterdrueckung = false;
  }
}

void SetKurvensound_schnell(UBahnCab& cab, int on) { CurveBeacon(cab.sounds.kurve_schnell, kFastCurve, on); }
void SetKurvensound_langsam(UBahnCab& cab, int on) { CurveBeacon(cab.sounds.kurve_langsam, kSlowCurve, on); }
void Kurvensound_schnell(UBahnCab& cab) { CurveFrame(cab.sounds.kurve_schnell, kFastCurve); }
void Kurvensound_langsam(UBahnCab& cab) { CurveFrame(cab.sounds.kurve_langsam, kSlowCurve); }

// A band starts strictly inside its range and ends strictly outside it, so a speed exactly at
// a boundary keeps whatever sounds.
// Inlined into each call, so that the band's constants are folded in.
__attribute__((always_inline)) static inline void BandFrame(BandSound& sound, const RunningBand& band) {
  const float speed = gState.Speed;
  const bool inside = speed > band.lower && (!band.bounded || speed < band.upper);
  const bool outside = speed < band.lower || (band.bounded && speed > band.upper);
  if (!sound.an && inside) {
    SetSound(band.startSound, SOUND_PLAY);
    RestartAtNow(sound.timer);
    sound.an = true;
  }
  if (sound.an && tOn(sound.timer, gState.Time, band.loopDelay)) SetSound(band.loopSound, SOUND_LOOP);
  if (sound.an && outside) {
    SetSound(band.loopSound, SOUND_STOP);
    SetSound(band.endSound, SOUND_PLAY);
    sound.an = false;
  }
}

void Fahrsound(UBahnCab& cab) {
  BandFrame(cab.sounds.langsam, kSlowBand);
  BandFrame(cab.sounds.mittel, kMiddleBand);
  BandFrame(cab.sounds.schnell, kFastBand);
}
