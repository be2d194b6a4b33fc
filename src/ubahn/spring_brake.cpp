// The spring-loaded parking brake (Speicherbremse): apply and release buttons and lamps.
#include "ubahn/spring_brake.h"

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "config/confload.h"
#include "ubahn/fixed_elements.h"
#include "ubahn/master_controller.h"

bool speicherbremse_ein = false;
bool speicherbremse_aus = false;
bool speicherbremse_ein_gedrueckt = false;
bool speicherbremse_aus_gedrueckt = false;
bool speicherbremse_aus_langegedrueckt = false;
bool federspeicher_aktiv = false;
bool speicherbremse_LM_rot = false;
bool speicherbremse_LM_gelb = false;
int32_t Speicherbremsentimer_rot = 0;
int32_t Speicherbremsentimer_gelb = 0;
int32_t Speicherbremseaustimer = 0;

// The cylinders take their time: the lamps follow the buttons with these delays, in ms.
const int32_t kRedLampApplyDelay = 1000;     // red lamp, and the brake itself, after apply
const int32_t kYellowLampApplyDelay = 900;
const int32_t kRedLampReleaseDelay = 900;    // red lamp out, and the brake off, after release
const int32_t kYellowLampReleaseDelay = 1200;
const int32_t kLongReleasePress = 500;       // a release held this long finishes by itself

void Speicherbremse_ein_druecken(int key) {
  if (key != kKeySpringBrakeApply) return;
  if (speicherbremse_LM_rot) {
    SetPanelOpt(OPT_taster_speicherbremse_ein_LM_ein, 1);
  } else {
    SetPanelOpt(OPT_taster_speicherbremse_ein_LM_aus, 1);
  }
  if (speicherbremse_aus) {
    RestartAtNow(Speicherbremsentimer_rot);
    RestartAtNow(Speicherbremsentimer_gelb);
  }
  if (!speicherbremse_ein_gedrueckt && !speicherbremse_ein) SetSound(kSoundSpringApplyPressed, SOUND_PLAY);
  speicherbremse_ein = true;
  speicherbremse_aus = false;
  speicherbremse_ein_gedrueckt = true;
}

// Letting go of the apply button does not stop the apply.
void Speicherbremse_ein_loslassen(int key) {
  if (key != kKeySpringBrakeApply) return;
  SetPanelOpt(OPT_taster_speicherbremse_ein_LM_aus, 0);
  SetPanelOpt(OPT_taster_speicherbremse_ein_LM_ein, 0);
  speicherbremse_ein_gedrueckt = false;
}

// The part of a release press shared with the remote release from the trip-stop button.
static void StartRelease() {
  if (speicherbremse_ein) {
    RestartAtNow(Speicherbremsentimer_rot);
    RestartAtNow(Speicherbremsentimer_gelb);
    RestartAtNow(Speicherbremseaustimer);
  }
  speicherbremse_ein = false;
  speicherbremse_aus = true;
}

static void HoldRelease() {
  speicherbremse_aus_gedrueckt = true;
  // Tested at every key-down call: a host that repeats the key marks a long press.
  if (tOn(Speicherbremseaustimer, gState.Time, kLongReleasePress)) speicherbremse_aus_langegedrueckt = true;
}

void Speicherbremse_aus_druecken(int key) {
  if (key != kKeySpringBrakeRelease) return;
  SetPanelOpt(OPT_taster_speicherbremse_aus, 1);
  StartRelease();
  if (!speicherbremse_aus_gedrueckt) {
    SetSound(federspeicher_aktiv ? kSoundSpringReleasePressedApplied : kSoundSpringReleasePressedReleased, SOUND_PLAY);
  }
  HoldRelease();
}

void Speicherbremse_aus_loslassen(int key) {
  if (key != kKeySpringBrakeRelease) return;
  SetPanelOpt(OPT_taster_speicherbremse_aus, 0);
  Speicherbremsentimer_rot = 0;
  Speicherbremsentimer_gelb = 0;
  speicherbremse_aus_gedrueckt = false;
  SetSound(kSoundSpringReleaseLetGo, SOUND_PLAY);
}

void Speicherbremse_fernaus_druecken() {
  StartRelease();
  HoldRelease();
}

void Speicherbremse_fernaus_loslassen() {
  Speicherbremsentimer_rot = 0;
  Speicherbremsentimer_gelb = 0;
  speicherbremse_aus_gedrueckt = false;
}

void Speicherbremse() {
  const int32_t now = gState.Time;
  if (speicherbremse_ein && tOn(Speicherbremsentimer_rot, now, kRedLampApplyDelay)) {
    speicherbremse_LM_rot = true;
    federspeicher_aktiv = true;
  }
  if (speicherbremse_ein && tOn(Speicherbremsentimer_gelb, now, kYellowLampApplyDelay)) {
    speicherbremse_LM_gelb = true;
  }
  // A release goes through only while its button is held or once it was held long enough.
  const bool releasing = (speicherbremse_aus_langegedrueckt || speicherbremse_aus_gedrueckt) && speicherbremse_aus;
  if (releasing && tOn(Speicherbremsentimer_rot, now, kRedLampReleaseDelay)) {
    speicherbremse_LM_rot = false;
    SetPanelOpt(OPT_LM_speicherbremse_rot, 0);
    federspeicher_aktiv = false;
  }
  if (releasing && tOn(Speicherbremsentimer_gelb, now, kYellowLampReleaseDelay)) {
    SetPanelOpt(OPT_LM_speicherbremse_gelb, 0);
    speicherbremse_LM_gelb = false;
    speicherbremse_aus_langegedrueckt = false;
  }
  if (fahrschalter == kFahrschalterNeutral) {
    SetPanelOpt(OPT_LM_speicherbremse_rot, 0);
    SetPanelOpt(OPT_LM_speicherbremse_gelb, 0);
  } else {
    if (speicherbremse_LM_rot) SetPanelOpt(OPT_LM_speicherbremse_rot, 1);
    if (speicherbremse_LM_gelb) SetPanelOpt(OPT_LM_speicherbremse_gelb, 1);
  }
}
