// Running, curve and rail-joint sounds, and the speedometer's overspeed contact (Deuta).
#include <cmath>

#include "ubahn/running_sounds.h"

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "ubahn/brake.h"
#include "ubahn/brake_pipe.h"
#include "ubahn/fixed_elements.h"
#include "ubahn/master_controller.h"

bool schienenstoss = false;
double schienenstossposition = 0.0;
bool play01 = false;                 // first knock of the current joint played
bool play02 = false;                 // second knock
bool play03 = false;                 // third knock
bool play04 = false;                 // fourth knock
bool play05 = false;
bool deuta = false;
int32_t deutatimer = 0;
bool loesesperrventil = false;
bool kurve_schnell = false;
bool kurve_langsam = false;
bool unterdrueckung_schnell = true;
bool unterdrueckung_langsam = true;
int32_t Kurve_schnell_timer = 0;
int32_t Kurve_langsam_timer = 0;
bool langsam = false;
bool mittel = false;
bool schnell = false;
int32_t Langsamtimer = 0;
int32_t Mitteltimer = 0;
int32_t Schnelltimer = 0;

// Rail joint: the wheelsets pass the joint at these distances from the beacon, in metres.
const double kKnock2 = 1.9;
const double kKnock3 = 9.5;
const double kKnock4 = 11.4;
const double kKnock5 = 16.05;
const double kKnock6 = 17.95;

// Overspeed contact.
const float kOverspeedOn = 72.0f;    // km/h
const float kOverspeedOff = 70.0f;   // km/h
const int32_t kValveDelay = 300;     // ms above the limit before the valve closes

// A curve kind: its flags, timer, threshold and sounds.
struct CurveKind {
  bool& inCurve;
  bool& silenced;
  int32_t& timer;
  float threshold;    // km/h
  int32_t loopDelay;  // ms from the start sound to the loop
  int startSound;
  int loopSound;
  int endSound;
  bool stopsStartSound;  // the slow kind also cuts its start sound short
};

static CurveKind fastCurve = {kurve_schnell, unterdrueckung_schnell, Kurve_schnell_timer, 50.0f, 2464,
                              kSoundFastCurveStart, kSoundFastCurveLoop, kSoundFastCurveEnd, false};
static CurveKind slowCurve = {kurve_langsam, unterdrueckung_langsam, Kurve_langsam_timer, 25.0f, 4925,
                              kSoundSlowCurveStart, kSoundSlowCurveLoop, kSoundSlowCurveEnd, true};

// A running band: its flag, timer, speed range and sounds.
struct RunningBand {
  bool& sounding;
  int32_t& timer;
  float lower;  // km/h
  bool bounded;  // has an upper end (the fast band has none)
  float upper;   // km/h
  int32_t loopDelay;
  int startSound;
  int loopSound;
  int endSound;
};

static RunningBand slowBand = {langsam, Langsamtimer, 15.0f, true, 35.0f, 2430,
                                kSoundSlowBandStart, kSoundSlowBandLoop, kSoundSlowBandEnd};
static RunningBand middleBand = {mittel, Mitteltimer, 35.0f, true, 55.0f, 3222,
                                  kSoundMiddleBandStart, kSoundMiddleBandLoop, kSoundMiddleBandEnd};
static RunningBand fastBand = {schnell, Schnelltimer, 55.0f, false, 0.0f, 3076,
                                kSoundFastBandStart, kSoundFastBandLoop, kSoundFastBandEnd};

void InitRunningSounds() { schienenstoss = false; }

void SetSchienenstoss() {
  schienenstoss = true;
  schienenstossposition = gState.Location;
}

// The three pairs of wheelsets knock over the joint one after another.
void Schienenstoss() {
  if (!schienenstoss) return;
  const double d = std::fabs(gState.Location - schienenstossposition);
  if (d > 0.0 && !play01) {
    SetSound(kSoundKnockFirstPair, SOUND_PLAY);
    play01 = true;
  }
  if (d > kKnock2 && !play02) {
    SetSound(kSoundKnockFirstPair, SOUND_PLAY);
    play02 = true;
  }
  if (d > kKnock3 && !play03) {
    SetSound(kSoundKnockSecondPair, SOUND_PLAY);
    play03 = true;
  }
  if (d > kKnock4 && !play04) {
    SetSound(kSoundKnockSecondPair, SOUND_PLAY);
    play04 = true;
  }
  if (d > kKnock5 && !play05) {
    SetSound(kSoundKnockThirdPair, SOUND_PLAY);
    play05 = true;
  }
  if (d > kKnock6) {
    SetSound(kSoundKnockThirdPair, SOUND_PLAY);
    play01 = play02 = play03 = play04 = play05 = false;
    schienenstoss = false;
  }
}

// Above 72 km/h the warning sounds; if the speed stays up the valve closes and brakes the
// train until it is below 70 km/h.
void Deuta() {
  if (gState.Speed > kOverspeedOn) {
    SetSound(kSoundOverspeedWarning, SOUND_LOOP);
    if (!deuta) RestartAtNow(deutatimer);
    deuta = true;
    if (tOn(deutatimer, gState.Time, kValveDelay) && !loesesperrventil) {
      loesesperrventil = true;
      SetSound(kSoundPipeFilling, SOUND_PLAY);
    }
  }
  if (gState.Speed < kOverspeedOff) {
    SetSound(kSoundOverspeedWarning, SOUND_STOP);
    deuta = false;
    loesesperrventil = false;
  }
}

static void StopCurveLoop(const CurveKind& curve) {
  SetSound(curve.loopSound, SOUND_STOP);
  if (curve.stopsStartSound) SetSound(curve.startSound, SOUND_STOP);
}

// A curve beacon: a section begins (on not 0) or ends.
static void CurveBeacon(CurveKind& curve, int on) {
  curve.inCurve = on != 0;
  if (curve.inCurve && gState.Speed > curve.threshold) {
    SetSound(curve.startSound, SOUND_PLAY);
    RestartAtNow(curve.timer);
  }
  if (gState.Speed < curve.threshold && curve.inCurve) curve.silenced = true;
  if (!curve.inCurve) {
    if (gState.Speed > curve.threshold) SetSound(curve.endSound, SOUND_PLAY);
    StopCurveLoop(curve);
  }
}

static void CurveFrame(CurveKind& curve) {
  if (!curve.inCurve) return;
  if (!curve.silenced && tOn(curve.timer, gState.Time, curve.loopDelay)) SetSound(curve.loopSound, SOUND_LOOP);
  if (gState.Speed < curve.threshold && !curve.silenced) {
    SetSound(curve.endSound, SOUND_PLAY);
    StopCurveLoop(curve);
    curve.silenced = true;
    return;
  }
  if (gState.Speed > curve.threshold && curve.silenced) {
    SetSound(curve.startSound, SOUND_PLAY);
    RestartAtNow(curve.timer);
    curve.silenced = false;
  }
}

void SetKurvensound_schnell(int on) { CurveBeacon(fastCurve, on); }
void SetKurvensound_langsam(int on) { CurveBeacon(slowCurve, on); }
void Kurvensound_schnell() { CurveFrame(fastCurve); }
void Kurvensound_langsam() { CurveFrame(slowCurve); }

// A band starts strictly inside its range and ends strictly outside it, so a speed exactly at
// a boundary keeps whatever sounds.
static void BandFrame(RunningBand& band) {
  const float speed = gState.Speed;
  const bool inside = speed > band.lower && (!band.bounded || speed < band.upper);
  const bool outside = speed < band.lower || (band.bounded && speed > band.upper);
  if (!band.sounding && inside) {
    SetSound(band.startSound, SOUND_PLAY);
    RestartAtNow(band.timer);
    band.sounding = true;
  }
  if (band.sounding && tOn(band.timer, gState.Time, band.loopDelay)) SetSound(band.loopSound, SOUND_LOOP);
  if (band.sounding && outside) {
    SetSound(band.loopSound, SOUND_STOP);
    SetSound(band.endSound, SOUND_PLAY);
    band.sounding = false;
  }
}

void Fahrsound() {
  BandFrame(slowBand);
  BandFrame(middleBand);
  BandFrame(fastBand);
}
