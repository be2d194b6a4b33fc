// The passenger doors: side buttons, close button, boarding passengers and the closing sequence.
#include "ubahn/doors.h"

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "config/confload.h"
#include "ubahn/fixed_elements.h"
#include "ubahn/master_controller.h"

bool tueren_geschlossen = false;
int32_t fahrgaeste = 0;
int32_t tuerstatus_rechts = 0;
int32_t tuerstatus_links = 0;
bool tueren_rechts_offen = false;
bool tueren_links_offen = false;
bool freigabe = false;
bool tuertaster_gedrueckt = false;
int32_t tuerseite = 0;
bool einsteigen = false;
bool randale = false;
int32_t tuerschliesstimer = 0;
int32_t einsteigetimer = 0;
int32_t Randaletimer = 0;
bool tuermessage_einklemm_an = false;

// Door side states.
const int kDoorClosed = 0;
const int kDoorClosing = 1;
const int kDoorWarning = 2;
const int kDoorRequested = 3;
const int kDoorReleased = 4;

// Platform sides named by the track.
const int kSideRight = 1;
const int kSideLeft = 2;

const float kReleaseSpeed = 7.0f;           // km/h: doors are released only below it
const int32_t kWarningTime = 2400;          // ms of closing warning after the close button
const int32_t kClosingTime = 3200;          // ms from the warning's end to closed doors
const int32_t kBoardingInterval = 1000;     // ms per boarding passenger
const int32_t kProtestInterval = 3000;      // ms between protests of passengers left outside

static bool Standing() { return gState.Speed == 0.0f; }
static bool BelowReleaseSpeed() { return gState.Speed < kReleaseSpeed; }
static bool EitherSideIn(int state) { return tuerstatus_rechts == state || tuerstatus_links == state; }

// The blocked-doors message as the display shows it. An unwired display is taken to show what
// was last given to it, so the protest cadence does not depend on the display being fitted.
static int EinklemmMessage() { return ReadBackDisplay(OPT_tuermessage_einklemm, tuermessage_einklemm_an); }

static void ShowEinklemmMessage(bool on) {
  tuermessage_einklemm_an = on;
  SetPanelOpt(OPT_tuermessage_einklemm, on ? 1 : 0);
}

void Tuertaster_druecken(int key) {
  if (key != kKeyDoorsClose) return;
  if (tueren_geschlossen && fahrschalter != kFahrschalterNeutral) {
    SetPanelOpt(OPT_tuer_zu_taster_LM_ein, 1);
  } else {
    SetPanelOpt(OPT_tuer_zu_taster_LM_aus, 1);
  }
  if (!tuertaster_gedrueckt) {
    if (EitherSideIn(kDoorReleased)) {
      // Open doors get their warning; a release that never opened is withdrawn at once.
      if (tueren_rechts_offen) {
        SetSound(kSoundDoorsWarningRight, SOUND_PLAY);
        tuerstatus_rechts = kDoorWarning;
      } else if (tuerstatus_rechts == kDoorReleased) {
        SetSound(kSoundDoorsWithdrawnRight, SOUND_PLAY);
        tuerstatus_rechts = kDoorClosed;
      }
      if (tueren_links_offen) {
        SetSound(kSoundDoorsWarningLeft, SOUND_PLAY);
        tuerstatus_links = kDoorWarning;
      } else if (tuerstatus_links == kDoorReleased) {
        SetSound(kSoundDoorsWithdrawnLeft, SOUND_PLAY);
        tuerstatus_links = kDoorClosed;
      }
      SetSound(kSoundDoorsOpenRight, SOUND_STOP);
      SetSound(kSoundDoorsOpenLeft, SOUND_STOP);
    } else if (EitherSideIn(kDoorRequested)) {
      if (!tueren_rechts_offen) tuerstatus_rechts = kDoorClosed;
      if (!tueren_links_offen) tuerstatus_links = kDoorClosed;
    }
    if (freigabe) RestartAtNow(tuerschliesstimer);
  }
  freigabe = false;
  tuertaster_gedrueckt = true;
}

void Tuertaster_loslassen(int key) {
  if (key != kKeyDoorsClose || !tuertaster_gedrueckt) return;
  SetPanelOpt(OPT_tuer_zu_taster_LM_ein, 0);
  SetPanelOpt(OPT_tuer_zu_taster_LM_aus, 0);
  tuertaster_gedrueckt = false;
}

void Tuertaster_rechts_druecken(int key) {
  if (key != kKeyDoorsRight) return;
  if (tuerstatus_rechts == kDoorReleased) {
    SetPanelOpt(OPT_Taster_tuer_rechts, 1);
  } else {
    SetPanelOpt(OPT_Taster_tuer_rechts_vorwahl, 1);
  }
  tuerstatus_rechts = kDoorRequested;  // also re-opens a side that is closing
  SetSound(kSoundDoorsWarningRight, SOUND_STOP);
  SetSound(kSoundDoorsHeldOpenRight, SOUND_STOP);
  freigabe = true;
}

void Tuertaster_rechts_loslassen(int key) {
  if (key != kKeyDoorsRight) return;
  SetPanelOpt(OPT_Taster_tuer_rechts, 0);
  SetPanelOpt(OPT_Taster_tuer_rechts_vorwahl, 0);
}

void Tuertaster_links_druecken(int key) {
  if (key != kKeyDoorsLeft) return;
  if (tuerstatus_links == kDoorReleased) {
    SetPanelOpt(OPT_Taster_tuer_links, 1);
  } else {
    SetPanelOpt(OPT_Taster_tuer_links_vorwahl, 1);
  }
  tuerstatus_links = kDoorRequested;
  SetSound(kSoundDoorsWarningLeft, SOUND_STOP);
  SetSound(kSoundDoorsHeldOpenLeft, SOUND_STOP);
  freigabe = true;
}

void Tuertaster_links_loslassen(int key) {
  if (key != kKeyDoorsLeft) return;
  SetPanelOpt(OPT_Taster_tuer_links, 0);
  SetPanelOpt(OPT_Taster_tuer_links_vorwahl, 0);
}

void InitDoors() {
  tueren_geschlossen = true;
  fahrgaeste = 0;
}

void TuerseiteFestlegen(int side) { tuerseite = side; }

// A run that starts standing at a platform with the doors of one side open.
void TuerInit(int side) {
  if (side == kSideRight) {
    tuerstatus_rechts = kDoorReleased;
    tueren_rechts_offen = true;
  } else if (side == kSideLeft) {
    tuerstatus_links = kDoorReleased;
    tueren_links_offen = true;
  } else {
    return;
  }
  tueren_geschlossen = false;
  freigabe = true;
}

// A second passenger beacon while some are still waiting sends the rest away.
void SetFahrgaeste(int count) {
  if (fahrgaeste != 0) {
    fahrgaeste = 0;
  } else {
    fahrgaeste = count;
  }
}

// A requested side is released below walking pace; on the platform side its doors open.
static void OpenReleasedSides() {
  if (tuerstatus_rechts == kDoorRequested && BelowReleaseSpeed()) {
    tuerstatus_rechts = kDoorReleased;
    if (!tueren_rechts_offen && tuerseite == kSideRight) {
      SetSound(kSoundDoorsOpenRight, SOUND_PLAY);
      tueren_rechts_offen = true;
      tueren_geschlossen = false;
    }
  }
  if (tuerstatus_links == kDoorRequested && BelowReleaseSpeed()) {
    tuerstatus_links = kDoorReleased;
    if (!tueren_links_offen && tuerseite == kSideLeft) {
      SetSound(kSoundDoorsOpenLeft, SOUND_PLAY);
      tueren_links_offen = true;
      tueren_geschlossen = false;
    }
  }
}

// After the warning the open sides start closing; sides that never opened simply go to closed.
static void RunClosingWarning() {
  if (!EitherSideIn(kDoorWarning) || freigabe) return;
  if (tOn(tuerschliesstimer, gState.Time, kWarningTime) && !tueren_geschlossen) {
    if (tueren_rechts_offen) {
      tuerstatus_rechts = kDoorClosing;
      tueren_rechts_offen = false;
    }
    if (tueren_links_offen) {
      tuerstatus_links = kDoorClosing;
      tueren_links_offen = false;
    }
  }
  if (tueren_geschlossen) {
    tuerstatus_rechts = kDoorClosed;
    tuerstatus_links = kDoorClosed;
  }
}

// The doors close unless passengers still wait: then they are held open and the waiting
// passengers protest every time the closing is tried again.
static void RunClosing() {
  if (!EitherSideIn(kDoorClosing) || freigabe) return;
  if (!tOn(tuerschliesstimer, gState.Time, kClosingTime)) return;
  if (fahrgaeste == 0) {
    tuerstatus_rechts = kDoorClosed;
    tuerstatus_links = kDoorClosed;
    tueren_geschlossen = true;
    SetSound(kSoundDoorsHeldOpenRight, SOUND_STOP);
    SetSound(kSoundDoorsHeldOpenLeft, SOUND_STOP);
    return;
  }
  if (tuerstatus_rechts == kDoorClosing) SetSound(kSoundDoorsHeldOpenRight, SOUND_LOOP);
  if (tuerstatus_links == kDoorClosing) SetSound(kSoundDoorsHeldOpenLeft, SOUND_LOOP);
  if (EinklemmMessage() == 0) RestartAtNow(Randaletimer);
  if (tOn(Randaletimer, gState.Time, kProtestInterval)) SetSound(kSoundProtest, SOUND_PLAY);
  ShowEinklemmMessage(true);
}

static void ShowDoorLamps() {
  SetPanelOpt(OPT_LM_tuer_rechts, tuerstatus_rechts == kDoorReleased ? 1 : 0);
  SetPanelOpt(OPT_LM_tuer_links, tuerstatus_links == kDoorReleased ? 1 : 0);
  SetPanelOpt(OPT_LM_tuer_rechts_vorwahl,
              (tuerstatus_rechts == kDoorWarning || tuerstatus_rechts == kDoorRequested) ? 1 : 0);
  SetPanelOpt(OPT_LM_tuer_links_vorwahl,
              (tuerstatus_links == kDoorWarning || tuerstatus_links == kDoorRequested) ? 1 : 0);
  SetPanelOpt(OPT_tuer_zu, (tueren_geschlossen && fahrschalter != kFahrschalterNeutral) ? 1 : 0);
  SetPanelOpt(OPT_tuerstatus_rechts, tuerstatus_rechts);
  SetPanelOpt(OPT_tuerstatus_links, tuerstatus_links);
}

// One passenger boards per second while the doors stand open, none while a side is closing.
static void BoardPassengers() {
  if (!Standing() || tueren_geschlossen) return;
  if (!einsteigen) RestartAtNow(einsteigetimer);
  einsteigen = true;
  randale = false;
  if (tOn(einsteigetimer, gState.Time, kBoardingInterval) && fahrgaeste > 0 &&
      !EitherSideIn(kDoorClosing)) {
    fahrgaeste -= 1;
    RestartAtNow(einsteigetimer);
  }
}

// Passengers left outside closed doors protest every three seconds.
static void ProtestOutsideClosedDoors() {
  if (!Standing() || !tueren_geschlossen || fahrgaeste == 0) return;
  if (!randale) RestartAtNow(Randaletimer);
  randale = true;
  if (tOn(Randaletimer, gState.Time, kProtestInterval)) SetSound(kSoundProtest, SOUND_PLAY);
}

static void ShowDoorMessage() {
  if (Standing() && (tueren_rechts_offen || tueren_links_offen)) {
    SetPanelOpt(OPT_tuermessage, 1);
    ShowEinklemmMessage(false);
    SetPanelOpt(OPT_fahrgaeste_10, fahrgaeste / 10);
    SetPanelOpt(OPT_fahrgaeste_1, fahrgaeste);
    SetPanelOpt(OPT_abdeckung, 0);
  } else {
    SetPanelOpt(OPT_tuermessage, 0);
    SetPanelOpt(OPT_abdeckung, EinklemmMessage() == 0 ? 1 : 0);
  }
}

void Tuersteuerung() {
  OpenReleasedSides();
  RunClosingWarning();
  RunClosing();
  ShowDoorLamps();
  BoardPassengers();
  ProtestOutsideClosedDoors();
  if (tueren_geschlossen) einsteigen = false;
  ShowDoorMessage();
}
