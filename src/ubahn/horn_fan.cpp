// The horn, the traction fan and its buzzer, and the passenger announcements (ELA).
#include <cstdlib>

#include "ubahn/horn_fan.h"

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "config/confload.h"
#include "platform/platform_random.h"
#include "ubahn/fixed_elements.h"
#include "ubahn/master_controller.h"

bool hupe = false;
int32_t huptimer = 0;
bool summer = false;
int32_t lueftertimer = 0;
int32_t lueftersummertimer1 = 0;
int32_t lueftersummertimer2 = 0;
int32_t lueftersummertimer3 = 0;
int32_t fahrtziel = 0;
int32_t wartezeit = 1000;
int32_t ELAtimer = 0;
bool luefter_anzeige_an = false;

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

void Hupe_ein(int key) {
  if (key != kKeyHorn || hupe) return;
  SetSound(kSoundHornStart, SOUND_PLAY);
  hupe = true;
  RestartAtNow(huptimer);
  SetPanelOpt(OPT_huptaster, 1);
}

void Huploop() {
  if (tOn(huptimer, gState.Time, kHornLoopDelay) && hupe) SetSound(kSoundHornLoop, SOUND_LOOP);
}

void Hupe_aus(int key) {
  if (key != kKeyHorn) return;
  SetSound(kSoundHornEnd, SOUND_PLAY);
  SetSound(kSoundHornStart, SOUND_STOP);
  SetSound(kSoundHornLoop, SOUND_STOP);
  SetPanelOpt(OPT_huptaster, 0);
  hupe = false;
}

// The buzzer display as it reads back. An unwired display is taken to show what it was last
// given, so the start sound plays once per buzzer whether or not the display is fitted. Besides
// this routine only the throw to neutral writes it (0); the controller leaves neutral only by
// re-arming the buzzer start timer, so while that timer has not fired the display shows 0.
static int BuzzerDisplay() { return ReadBackDisplay(OPT_luefter, luefter_anzeige_an); }

static void ShowBuzzer(bool on) {
  luefter_anzeige_an = on;
  SetPanelOpt(OPT_luefter, on ? 1 : 0);
}

void lueftersound() {
  const int32_t now = gState.Time;
  const bool outOfNeutral = fahrschalter != kFahrschalterNeutral;
  if (!outOfNeutral || lueftersummertimer1 != kTimerStopped) luefter_anzeige_an = false;

  if (tOn(lueftertimer, now, kFanDelay) && outOfNeutral) SetSound(kSoundFanRunning, SOUND_LOOP);

  if (tOn(lueftersummertimer1, now, kBuzzerStartDelay) && outOfNeutral) {
    if (summer && BuzzerDisplay() == 0) {
      SetSound(kSoundBuzzerStart, SOUND_PLAY);
      RestartAtNow(lueftersummertimer3);
    }
    ShowBuzzer(true);
    if (tOn(lueftersummertimer3, now, kBuzzerLoopDelay)) SetSound(kSoundBuzzerLoop, SOUND_LOOP);
    lueftersummertimer1 = kTimerStopped;  // from now on this step runs every frame
  }

  // The buzzer's length is drawn afresh every frame: exactly one draw per frame.
  const int32_t length = PlatformRandom() % kBuzzerLengthSpread + kBuzzerShortest;
  if (tOn(lueftersummertimer2, now, length) && outOfNeutral) {
    if (summer) SetSound(kSoundBuzzerEnd, SOUND_PLAY);
    ShowBuzzer(false);
    SetSound(kSoundBuzzerLoop, SOUND_STOP);
    SetSound(kSoundBuzzerStart, SOUND_STOP);
    lueftersummertimer2 = kTimerStopped;
    summer = false;
  }
}

void StartFan() {
  SetSound(kSoundFanStart, SOUND_PLAY);
  RestartAtNow(lueftertimer);
  RestartAtNow(lueftersummertimer1);
  RestartAtNow(lueftersummertimer2);
  summer = true;
}

void SetFahrtziel(int n) { fahrtziel = n; }

// An announcement plays only after the lockout of the one before; a request inside it is dropped.
void ELA(int key) {
  if (key != kAnnouncementHorn && key != kKeyAnnouncement) return;
  if (!tOn(ELAtimer, gState.Time, wartezeit)) return;
  if (gState.Speed < kAnnouncementSpeed) {
    if (key == kAnnouncementHorn) {
      SetSound(kSoundHornAnnouncement, SOUND_PLAY);
      wartezeit = kLockoutHornAnnouncement;
    } else {
      SetSound(fahrtziel, SOUND_PLAY);  // a destination outside the sound array plays nothing
      wartezeit = kLockoutDestination;
    }
  } else {
    SetSound(kSoundMovingSignal, SOUND_PLAY);
    wartezeit = kLockoutMovingSignal;
  }
  RestartAtNow(ELAtimer);
}
