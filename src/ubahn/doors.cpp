// The passenger doors: side buttons, close button, boarding passengers and the closing sequence.
#include "ubahn/doors.h"

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "config/confload.h"

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
static bool EitherSideIn(const UBahnCab& cab, int state) { return cab.doors.tuerstatus_rechts == state || cab.doors.tuerstatus_links == state; }

// The blocked-doors message as the display shows it. An unwired display is taken to show what
// was last given to it, so the protest cadence does not depend on the display being fitted.
static int EinklemmMessage(const UBahnCab& cab) { return ReadBackDisplay(OPT_tuermessage_einklemm, cab.doors.tuermessage_einklemm_an); }

static void ShowEinklemmMessage(UBahnCab& cab, bool on) {
  cab.doors.tuermessage_einklemm_an = on;
  SetPanelOpt(OPT_tuermessage_einklemm, on ? 1 : 0);
}

void Tuertaster_druecken(UBahnCab& cab, int key) {
  if (key != kKeyDoorsClose) return;
  if (cab.doors.tueren_geschlossen && cab.master.fahrschalter != kFahrschalterNeutral) {
    SetPanelOpt(OPT_tuer_zu_taster_LM_ein, 1);
  } else {
    SetPanelOpt(OPT_tuer_zu_taster_LM_aus, 1);
  }
  if (!cab.doors.tuertaster_gedrueckt) {
    if (EitherSideIn(cab, kDoorReleased)) {
      // Open doors get their warning; a release that never opened is withdrawn at once.
      if (cab.doors.tueren_rechts_offen) {
        SetSound(kSoundDoorsWarningRight, SOUND_PLAY);
        cab.doors.tuerstatus_rechts = kDoorWarning;
      } else if (cab.doors.tuerstatus_rechts == kDoorReleased) {
        SetSound(kSoundDoorsWithdrawnRight, SOUND_PLAY);
        cab.doors.tuerstatus_rechts = kDoorClosed;
      }
      if (cab.doors.tueren_links_offen) {
        SetSound(kSoundDoorsWarningLeft, SOUND_PLAY);
        cab.doors.tuerstatus_links = kDoorWarning;
      } else if (cab.doors.tuerstatus_links == kDoorReleased) {
        SetSound(kSoundDoorsWithdrawnLeft, SOUND_PLAY);
        cab.doors.tuerstatus_links = kDoorClosed;
      }
      SetSound(kSoundDoorsOpenRight, SOUND_STOP);
      SetSound(kSoundDoorsOpenLeft, SOUND_STOP);
    } else if (EitherSideIn(cab, kDoorRequested)) {
      if (!cab.doors.tueren_rechts_offen) cab.doors.tuerstatus_rechts = kDoorClosed;
      if (!cab.doors.tueren_links_offen) cab.doors.tuerstatus_links = kDoorClosed;
    }
    if (cab.doors.freigabe) RestartAtNow(cab.doors.tuerschliesstimer);
  }
  cab.doors.freigabe = false;
  cab.doors.tuertaster_gedrueckt = true;
}

void Tuertaster_loslassen(UBahnCab& cab, int key) {
  if (key != kKeyDoorsClose || !cab.doors.tuertaster_gedrueckt) return;
  SetPanelOpt(OPT_tuer_zu_taster_LM_ein, 0);
  SetPanelOpt(OPT_tuer_zu_taster_LM_aus, 0);
  cab.doors.tuertaster_gedrueckt = false;
}

void Tuertaster_rechts_druecken(UBahnCab& cab, int key) {
  if (key != kKeyDoorsRight) return;
  if (cab.doors.tuerstatus_rechts == kDoorReleased) {
    SetPanelOpt(OPT_Taster_tuer_rechts, 1);
  } else {
    SetPanelOpt(OPT_Taster_tuer_rechts_vorwahl, 1);
  }
  cab.doors.tuerstatus_rechts = kDoorRequested;  // also re-opens a side that is closing
  SetSound(kSoundDoorsWarningRight, SOUND_STOP);
  SetSound(kSoundDoorsHeldOpenRight, SOUND_STOP);
  cab.doors.freigabe = true;
}

void Tuertaster_rechts_loslassen(UBahnCab& cab, int key) {
  if (key != kKeyDoorsRight) return;
  SetPanelOpt(OPT_Taster_tuer_rechts, 0);
  SetPanelOpt(OPT_Taster_tuer_rechts_vorwahl, 0);
}

void Tuertaster_links_druecken(UBahnCab& cab, int key) {
  if (key != kKeyDoorsLeft) return;
  if (cab.doors.tuerstatus_links == kDoorReleased) {
    SetPanelOpt(OPT_Taster_tuer_links, 1);
  } else {
    SetPanelOpt(OPT_Taster_tuer_links_vorwahl, 1);
  }
  cab.doors.tuerstatus_links = kDoorRequested;
  SetSound(kSoundDoorsWarningLeft, SOUND_STOP);
  SetSound(kSoundDoorsHeldOpenLeft, SOUND_STOP);
  cab.doors.freigabe = true;
}

void Tuertaster_links_loslassen(UBahnCab& cab, int key) {
  if (key != kKeyDoorsLeft) return;
  SetPanelOpt(OPT_Taster_tuer_links, 0);
  SetPanelOpt(OPT_Taster_tuer_links_vorwahl, 0);
}

void TuerseiteFestlegen(UBahnCab& cab, int side) { cab.doors.tuerseite = side; }

// A run that starts standing at a platform with the doors of one side open.
void TuerInit(UBahnCab& cab, int side) {
  if (side == kSideRight) {
    cab.doors.tuerstatus_rechts = kDoorReleased;
    cab.doors.tueren_rechts_offen = true;
  } else if (side == kSideLeft) {
    cab.doors.tuerstatus_links = kDoorReleased;
    cab.doors.tueren_links_offen = true;
  } else {
    return;
  }
  cab.doors.tueren_geschlossen = false;
  cab.doors.freigabe = true;
}

// A second passenger beacon while some are still waiting sends the rest away.
void SetFahrgaeste(UBahnCab& cab, int count) {
  if (cab.doors.fahrgaeste != 0) {
    cab.doors.fahrgaeste = 0;
  } else {
    cab.doors.fahrgaeste = count;
  }
}

// A requested side is released below walking pace; on the platform side its doors open.
static void OpenReleasedSides(UBahnCab& cab) {
  if (cab.doors.tuerstatus_rechts == kDoorRequested && BelowReleaseSpeed()) {
    cab.doors.tuerstatus_rechts = kDoorReleased;
    if (!cab.doors.tueren_rechts_offen && cab.doors.tuerseite == kSideRight) {
      SetSound(kSoundDoorsOpenRight, SOUND_PLAY);
      cab.doors.tueren_rechts_offen = true;
      cab.doors.tueren_geschlossen = false;
    }
  }
  if (cab.doors.tuerstatus_links == kDoorRequested && BelowReleaseSpeed()) {
    cab.doors.tuerstatus_links = kDoorReleased;
    if (!cab.doors.tueren_links_offen && cab.doors.tuerseite == kSideLeft) {
      SetSound(kSoundDoorsOpenLeft, SOUND_PLAY);
      cab.doors.tueren_links_offen = true;
      cab.doors.tueren_geschlossen = false;
    }
  }
}

// After the warning the open sides start closing; sides that never opened simply go to closed.
static void RunClosingWarning(UBahnCab& cab) {
  if (!EitherSideIn(cab, kDoorWarning) || cab.doors.freigabe) return;
  if (tOn(cab.doors.tuerschliesstimer, gState.Time, kWarningTime) && !cab.doors.tueren_geschlossen) {
    if (cab.doors.tueren_rechts_offen) {
      cab.doors.tuerstatus_rechts = kDoorClosing;
      cab.doors.tueren_rechts_offen = false;
    }
    if (cab.doors.tueren_links_offen) {
      cab.doors.tuerstatus_links = kDoorClosing;
      cab.doors.tueren_links_offen = false;
    }
  }
  if (cab.doors.tueren_geschlossen) {
    cab.doors.tuerstatus_rechts = kDoorClosed;
    cab.doors.tuerstatus_links = kDoorClosed;
  }
}

// The doors close unless passengers still wait: then they are held open and the waiting
// passengers protest every time the closing is tried again.
static void RunClosing(UBahnCab& cab) {
  if (!EitherSideIn(cab, kDoorClosing) || cab.doors.freigabe) return;
  if (!tOn(cab.doors.tuerschliesstimer, gState.Time, kClosingTime)) return;
  if (cab.doors.fahrgaeste == 0) {
    cab.doors.tuerstatus_rechts = kDoorClosed;
    cab.doors.tuerstatus_links = kDoorClosed;
    cab.doors.tueren_geschlossen = true;
    SetSound(kSoundDoorsHeldOpenRight, SOUND_STOP);
    SetSound(kSoundDoorsHeldOpenLeft, SOUND_STOP);
    return;
  }
  if (cab.doors.tuerstatus_rechts == kDoorClosing) SetSound(kSoundDoorsHeldOpenRight, SOUND_LOOP);
  if (cab.doors.tuerstatus_links == kDoorClosing) SetSound(kSoundDoorsHeldOpenLeft, SOUND_LOOP);
  if (EinklemmMessage(cab) == 0) RestartAtNow(cab.doors.Randaletimer);
  if (tOn(cab.doors.Randaletimer, gState.Time, kProtestInterval)) SetSound(kSoundProtest, SOUND_PLAY);
  ShowEinklemmMessage(cab, true);
}

static void ShowDoorLamps(const UBahnCab& cab) {
  SetPanelOpt(OPT_LM_tuer_rechts, cab.doors.tuerstatus_rechts == kDoorReleased ? 1 : 0);
  SetPanelOpt(OPT_LM_tuer_links, cab.doors.tuerstatus_links == kDoorReleased ? 1 : 0);
  SetPanelOpt(OPT_LM_tuer_rechts_vorwahl,
              (cab.doors.tuerstatus_rechts == kDoorWarning || cab.doors.tuerstatus_rechts == kDoorRequested) ? 1 : 0);
  SetPanelOpt(OPT_LM_tuer_links_vorwahl,
              (cab.doors.tuerstatus_links == kDoorWarning || cab.doors.tuerstatus_links == kDoorRequested) ? 1 : 0);
  SetPanelOpt(OPT_tuer_zu, (cab.doors.tueren_geschlossen && cab.master.fahrschalter != kFahrschalterNeutral) ? 1 : 0);
  SetPanelOpt(OPT_tuerstatus_rechts, cab.doors.tuerstatus_rechts);
  SetPanelOpt(OPT_tuerstatus_links, cab.doors.tuerstatus_links);
}

// One passenger boards per second while the doors stand open, none while a side is closing.
static void BoardPassengers(UBahnCab& cab) {
  if (!Standing() || cab.doors.tueren_geschlossen) return;
  if (!cab.doors.einsteigen) RestartAtNow(cab.doors.einsteigetimer);
  cab.doors.einsteigen = true;
  cab.doors.randale = false;
  if (tOn(cab.doors.einsteigetimer, gState.Time, kBoardingInterval) && cab.doors.fahrgaeste > 0 &&
      !EitherSideIn(cab, kDoorClosing)) {
    cab.doors.fahrgaeste -= 1;
    RestartAtNow(cab.doors.einsteigetimer);
  }
}

// Passengers left outside closed doors protest every three seconds.
static void ProtestOutsideClosedDoors(UBahnCab& cab) {
  if (!Standing() || !cab.doors.tueren_geschlossen || cab.doors.fahrgaeste == 0) return;
  if (!cab.doors.randale) RestartAtNow(cab.doors.Randaletimer);
  cab.doors.randale = true;
  if (tOn(cab.doors.Randaletimer, gState.Time, kProtestInterval)) SetSound(kSoundProtest, SOUND_PLAY);
}

static void ShowDoorMessage(UBahnCab& cab) {
  if (Standing() && (cab.doors.tueren_rechts_offen || cab.doors.tueren_links_offen)) {
    SetPanelOpt(OPT_tuermessage, 1);
    ShowEinklemmMessage(cab, false);
    SetPanelOpt(OPT_fahrgaeste_10, cab.doors.fahrgaeste / 10);
    SetPanelOpt(OPT_fahrgaeste_1, cab.doors.fahrgaeste);
    SetPanelOpt(OPT_abdeckung, 0);
  } else {
    SetPanelOpt(OPT_tuermessage, 0);
    SetPanelOpt(OPT_abdeckung, EinklemmMessage(cab) == 0 ? 1 : 0);
  }
}

void Tuersteuerung(UBahnCab& cab) {
  OpenReleasedSides(cab);
  RunClosingWarning(cab);
  RunClosing(cab);
  ShowDoorLamps(cab);
  BoardPassengers(cab);
  ProtestOutsideClosedDoors(cab);
  if (cab.doors.tueren_geschlossen) cab.doors.einsteigen = false;
  ShowDoorMessage(cab);
}
