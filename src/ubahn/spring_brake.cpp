// The spring-loaded parking brake (Speicherbremse): apply and release buttons and lamps.
#include "ubahn/spring_brake.h"

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "config/confload.h"

// The cylinders take their time: the lamps follow the buttons with these delays, in ms.
const int32_t kRedLampApplyDelay = 1000;     // red lamp, and the brake itself, after apply
const int32_t kYellowLampApplyDelay = 900;
const int32_t kRedLampReleaseDelay = 900;    // red lamp out, and the brake off, after release
const int32_t kYellowLampReleaseDelay = 1200;
const int32_t kLongReleasePress = 500;       // a release held this long finishes by itself

void Speicherbremse_ein_druecken(UBahnCab& cab, int key) {
  if (key != kKeySpringBrakeApply) return;
  if (cab.springBrake.federspeicher_aktiv) {
    SetPanelOpt(OPT_taster_speicherbremse_ein_LM_ein, 1);
  } else {
    SetPanelOpt(OPT_taster_speicherbremse_ein_LM_aus, 1);
  }
  if (cab.springBrake.befehl == kBefehlLoesen) {
    RestartAtNow(cab.springBrake.Speicherbremsentimer_rot);
    RestartAtNow(cab.springBrake.Speicherbremsentimer_gelb);
  }
  if (!cab.springBrake.speicherbremse_ein_gedrueckt && cab.springBrake.befehl != kBefehlEinlegen) SetSound(kSoundSpringApplyPressed, SOUND_PLAY);
  cab.springBrake.befehl = kBefehlEinlegen;
  cab.springBrake.speicherbremse_ein_gedrueckt = true;
}

// Letting go of the apply button does not stop the apply.
void Speicherbremse_ein_loslassen(UBahnCab& cab, int key) {
  if (key != kKeySpringBrakeApply) return;
  SetPanelOpt(OPT_taster_speicherbremse_ein_LM_aus, 0);
  SetPanelOpt(OPT_taster_speicherbremse_ein_LM_ein, 0);
  cab.springBrake.speicherbremse_ein_gedrueckt = false;
}

// The part of a release press shared with the remote release from the trip-stop button.
static void StartRelease(SpringBrake& springBrake) {
  if (springBrake.befehl == kBefehlEinlegen) {
    RestartAtNow(springBrake.Speicherbremsentimer_rot);
    RestartAtNow(springBrake.Speicherbremsentimer_gelb);
    RestartAtNow(springBrake.Speicherbremseaustimer);
  }
  springBrake.befehl = kBefehlLoesen;
}

static bool ReleaseHeld(const SpringBrake& springBrake) {
  return springBrake.speicherbremse_aus_taster == kAusGedrueckt || springBrake.speicherbremse_aus_taster == kAusLang;
}

static void HoldRelease(SpringBrake& springBrake) {
  SpeicherbremseAusTaster& taster = springBrake.speicherbremse_aus_taster;
  if (taster == kAusLos) taster = kAusGedrueckt;
  if (taster == kAusNachlauf) taster = kAusLang;
  // Tested at every key-down call: a host that repeats the key marks a long press.
  if (tOn(springBrake.Speicherbremseaustimer, gState.Time, kLongReleasePress)) taster = kAusLang;
}

static void LetGoOfRelease(SpringBrake& springBrake) {
  SpeicherbremseAusTaster& taster = springBrake.speicherbremse_aus_taster;
  if (taster == kAusGedrueckt) taster = kAusLos;
  if (taster == kAusLang) taster = kAusNachlauf;
}

void Speicherbremse_aus_druecken(UBahnCab& cab, int key) {
  if (key != kKeySpringBrakeRelease) return;
  SetPanelOpt(OPT_taster_speicherbremse_aus, 1);
  StartRelease(cab.springBrake);
  if (!ReleaseHeld(cab.springBrake)) {
    SetSound(cab.springBrake.federspeicher_aktiv ? kSoundSpringReleasePressedApplied : kSoundSpringReleasePressedReleased, SOUND_PLAY);
  }
  HoldRelease(cab.springBrake);
}

void Speicherbremse_aus_loslassen(UBahnCab& cab, int key) {
  if (key != kKeySpringBrakeRelease) return;
  SetPanelOpt(OPT_taster_speicherbremse_aus, 0);
  cab.springBrake.Speicherbremsentimer_rot = 0;
  cab.springBrake.Speicherbremsentimer_gelb = 0;
  LetGoOfRelease(cab.springBrake);
  SetSound(kSoundSpringReleaseLetGo, SOUND_PLAY);
}

void Speicherbremse_fernaus_druecken(SpringBrake& springBrake) {
  StartRelease(springBrake);
  HoldRelease(springBrake);
}

void Speicherbremse_fernaus_loslassen(SpringBrake& springBrake) {
  springBrake.Speicherbremsentimer_rot = 0;
  springBrake.Speicherbremsentimer_gelb = 0;
  LetGoOfRelease(springBrake);
}

void Speicherbremse(UBahnCab& cab) {
  const int32_t now = gState.Time;
  const bool applying = cab.springBrake.befehl == kBefehlEinlegen;
  if (applying && tOn(cab.springBrake.Speicherbremsentimer_rot, now, kRedLampApplyDelay)) {
    cab.springBrake.federspeicher_aktiv = true;
  }
  if (applying && tOn(cab.springBrake.Speicherbremsentimer_gelb, now, kYellowLampApplyDelay)) {
    cab.springBrake.speicherbremse_LM_gelb = true;
  }
  // A release goes through only while its button is held or once it was held long enough.
  const bool releasing = cab.springBrake.speicherbremse_aus_taster != kAusLos && cab.springBrake.befehl == kBefehlLoesen;
  if (releasing && tOn(cab.springBrake.Speicherbremsentimer_rot, now, kRedLampReleaseDelay)) {
    SetPanelOpt(OPT_LM_speicherbremse_rot, 0);
    cab.springBrake.federspeicher_aktiv = false;
  }
  if (releasing && tOn(cab.springBrake.Speicherbremsentimer_gelb, now, kYellowLampReleaseDelay)) {
    SetPanelOpt(OPT_LM_speicherbremse_gelb, 0);
    cab.springBrake.speicherbremse_LM_gelb = false;
    // The release is through: a long press is over.
    if (cab.springBrake.speicherbremse_aus_taster == kAusLang) cab.springBrake.speicherbremse_aus_taster = kAusGedrueckt;
    if (cab.springBrake.speicherbremse_aus_taster == kAusNachlauf) cab.springBrake.speicherbremse_aus_taster = kAusLos;
  }
  if (cab.master.fahrschalter == kFahrschalterNeutral) {
    SetPanelOpt(OPT_LM_speicherbremse_rot, 0);
    SetPanelOpt(OPT_LM_speicherbremse_gelb, 0);
  } else {
    if (cab.springBrake.federspeicher_aktiv) SetPanelOpt(OPT_LM_speicherbremse_rot, 1);
    if (cab.springBrake.speicherbremse_LM_gelb) SetPanelOpt(OPT_LM_speicherbremse_gelb, 1);
  }
}
