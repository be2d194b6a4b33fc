// The horn, the traction fan and its buzzer, and the passenger announcements (ELA).
#include <cstdlib>

#include "ubahn/horn_fan.h"

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "config/confload.h"
#include "platform/platform_random.h"

const int32_t kHornLoopDelay = 120;     // ms
const int32_t kFanDelay = 4020;         // ms after the master controller left neutral
const int32_t kBuzzerStartDelay = 150;  // ms
const int32_t kBuzzerLoopDelay = 90;    // ms from the buzzer start sound to its loop
const int kBuzzerLengthSpread = 800;    // the buzzer ends 501..1300 ms after leaving neutral
const int kBuzzerShortest = 501;

// Lockouts after each kind of announcement, ms.
const int32_t kLockoutHornAnnouncement = 2000;
const int32_t kLockoutDestination = 5000;
const int32_t kLockoutMovingSignal = 150;

const float kAnnouncementSpeed = 7.0f;  // km/h: below it the train counts as standing at a platform

void Hupe_ein(UBahnCab& cab, int key) {
  if (key != kKeyHorn || cab.hornFan.hupe) return;
  SetSound(kSoundHornStart, SOUND_PLAY);
  cab.hornFan.hupe = true;
  RestartAtNow(cab.hornFan.huptimer);
  SetPanelOpt(OPT_huptaster, 1);
}

void Huploop(UBahnCab& cab) {
  if (tOn(cab.hornFan.huptimer, gState.Time, kHornLoopDelay) && cab.hornFan.hupe) SetSound(kSoundHornLoop, SOUND_LOOP);
}

void Hupe_aus(UBahnCab& cab, int key) {
  if (key != kKeyHorn) return;
  SetSound(kSoundHornEnd, SOUND_PLAY);
  SetSound(kSoundHornStart, SOUND_STOP);
  SetSound(kSoundHornLoop, SOUND_STOP);
  SetPanelOpt(OPT_huptaster, 0);
  cab.hornFan.hupe = false;
}

// The buzzer display as it reads back. An unwired display is taken to show what it was last
// given, so the start sound plays once per buzzer whether or not the display is fitted. Besides
// this routine only the throw to neutral writes it (0); the controller leaves neutral only by
// making the buzzer wait for its start, so while it waits the display shows 0.
static int BuzzerDisplay(const UBahnCab& cab) { return ReadBackDisplay(OPT_luefter, cab.hornFan.luefter_anzeige_an); }

static void ShowBuzzer(UBahnCab& cab, bool on) {
  cab.hornFan.luefter_anzeige_an = on;
  SetPanelOpt(OPT_luefter, on ? 1 : 0);
}

void lueftersound(UBahnCab& cab) {
  const int32_t now = gState.Time;
  const bool outOfNeutral = cab.master.fahrschalter != kFahrschalterNeutral;
  if (!outOfNeutral || cab.hornFan.summer == kBuzzerWaiting) cab.hornFan.luefter_anzeige_an = false;

  if (tOn(cab.hornFan.lueftertimer, now, kFanDelay) && outOfNeutral) SetSound(kSoundFanRunning, SOUND_LOOP);

  if (tOn(cab.hornFan.lueftersummertimer1, now, kBuzzerStartDelay) && outOfNeutral) {
    if (cab.hornFan.summer != kBuzzerOver) {
      if (BuzzerDisplay(cab) == 0) {
        SetSound(kSoundBuzzerStart, SOUND_PLAY);
        RestartAtNow(cab.hornFan.lueftersummertimer3);
      }
      cab.hornFan.summer = kBuzzerSounding;
    }
    ShowBuzzer(cab, true);
    if (tOn(cab.hornFan.lueftersummertimer3, now, kBuzzerLoopDelay)) SetSound(kSoundBuzzerLoop, SOUND_LOOP);
    cab.hornFan.lueftersummertimer1 = kBuzzerStepsFrom;  // from now on this step runs every frame
  }

  // The buzzer's length is drawn afresh every frame: exactly one draw per frame.
  const int32_t length = PlatformRandom() % kBuzzerLengthSpread + kBuzzerShortest;
  if (tOn(cab.hornFan.lueftersummertimer2, now, length) && outOfNeutral) {
    if (cab.hornFan.summer != kBuzzerOver) SetSound(kSoundBuzzerEnd, SOUND_PLAY);
    ShowBuzzer(cab, false);
    SetSound(kSoundBuzzerLoop, SOUND_STOP);
    SetSound(kSoundBuzzerStart, SOUND_STOP);
    cab.hornFan.lueftersummertimer2 = kBuzzerStepsFrom;  // and so does this one
    cab.hornFan.summer = kBuzzerOver;
  }
}

void StartFan(HornFan& hornFan) {
  SetSound(kSoundFanStart, SOUND_PLAY);
  RestartAtNow(hornFan.lueftertimer);
  RestartAtNow(hornFan.lueftersummertimer1);
  RestartAtNow(hornFan.lueftersummertimer2);
  // Started at kBuzzerStepsFrom, the start and end steps count from where fired ones do: the
  // buzzer cannot be told from one already sounding, and is taken as one (the display keeps what
  // it last showed). Its start still fires 150 ms later, as at any other time.
  hornFan.summer = gState.Time == kBuzzerStepsFrom ? kBuzzerSounding : kBuzzerWaiting;
}

void SetFahrtziel(UBahnCab& cab, int n) { cab.hornFan.fahrtziel = n; }

// An announcement plays only after the lockout of the one before; a request inside it is dropped.
void ELA(UBahnCab& cab, int key) {
  if (key != kAnnouncementHorn && key != kKeyAnnouncement) return;
  if (!tOn(cab.hornFan.ELAtimer, gState.Time, cab.hornFan.wartezeit)) return;
  if (gState.Speed < kAnnouncementSpeed) {
    if (key == kAnnouncementHorn) {
      SetSound(kSoundHornAnnouncement, SOUND_PLAY);
      cab.hornFan.wartezeit = kLockoutHornAnnouncement;
    } else {
      SetSound(cab.hornFan.fahrtziel, SOUND_PLAY);  // a destination outside the sound array plays nothing
      cab.hornFan.wartezeit = kLockoutDestination;
    }
  } else {
    SetSound(kSoundMovingSignal, SOUND_PLAY);
    cab.hornFan.wartezeit = kLockoutMovingSignal;
  }
  RestartAtNow(cab.hornFan.ELAtimer);
}
