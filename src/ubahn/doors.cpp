// The passenger doors: side buttons, close button, boarding passengers and the closing sequence.
#include "ubahn/doors.h"

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/timers.h"
#include "config/confload.h"

// A door side's fixed wiring: its platform side, key, sounds and panel options.
struct DoorSideWiring {
  int platformSide;    // the platform side beacons name for it: 1 right, 2 left
  int key;             // its door button
  int openSound;       // the doors open
  int warningSound;    // closing warning
  int withdrawnSound;  // a release withdrawn before the doors opened
  int heldOpenSound;   // doors held open by passengers
  OptionId button;         // its button, pressed on a released side
  OptionId buttonPreset;   // its button, pressed on a side in any other phase
  OptionId lamp;           // released lamp
  OptionId lampPreset;     // requested or warning lamp
};

const DoorSideWiring kRight = {1, kKeyDoorsRight, kSoundDoorsOpenRight, kSoundDoorsWarningRight,
                               kSoundDoorsWithdrawnRight, kSoundDoorsHeldOpenRight, OPT_Taster_tuer_rechts,
                               OPT_Taster_tuer_rechts_vorwahl, OPT_LM_tuer_rechts, OPT_LM_tuer_rechts_vorwahl};
const DoorSideWiring kLeft = {2, kKeyDoorsLeft, kSoundDoorsOpenLeft, kSoundDoorsWarningLeft,
                              kSoundDoorsWithdrawnLeft, kSoundDoorsHeldOpenLeft, OPT_Taster_tuer_links,
                              OPT_Taster_tuer_links_vorwahl, OPT_LM_tuer_links, OPT_LM_tuer_links_vorwahl};

const float kReleaseSpeed = 7.0f;           // km/h: doors are released only below it
const int32_t kWarningTime = 2400;          // ms of closing warning after the close button
const int32_t kClosingTime = 3200;          // ms from the warning's end to closed doors
const int32_t kBoardingInterval = 1000;     // ms per boarding passenger
const int32_t kProtestInterval = 3000;      // ms between protests of passengers left outside

static bool Standing() { return gState.Speed == 0.0f; }
static bool BelowReleaseSpeed() { return gState.Speed < kReleaseSpeed; }
static bool EitherSideIn(const Doors& doors, DoorPhase phase) {
  return doors.rechts.tuerstatus == phase || doors.links.tuerstatus == phase;
}

// The blocked-doors message as the display shows it. An unwired display is taken to show what
// was last given to it, so the protest cadence does not depend on the display being fitted.
static int EinklemmMessage(const Doors& doors) {
  return ReadBackDisplay(OPT_tuermessage_einklemm, doors.tuermessage_einklemm_an);
}

static void ShowEinklemmMessage(Doors& doors, bool on) {
  doors.tuermessage_einklemm_an = on;
  SetPanelOpt(OPT_tuermessage_einklemm, on ? 1 : 0);
}

// The close button on a released side: open doors get their warning; a release that never
// opened is withdrawn at once.
static void WarnOrWithdraw(DoorSideState& side, const DoorSideWiring& wiring) {
  if (side.tueren_offen) {
    SetSound(wiring.warningSound, SOUND_PLAY);
    side.tuerstatus = kDoorWarning;
  } else if (side.tuerstatus == kDoorReleased) {
    SetSound(wiring.withdrawnSound, SOUND_PLAY);
    side.tuerstatus = kDoorClosed;
  }
}

void Tuertaster_druecken(UBahnCab& cab, int key) {
  if (key != kKeyDoorsClose) return;
  Doors& doors = cab.doors;
  if (doors.tueren_geschlossen && cab.master.fahrschalter != kFahrschalterNeutral) {
    SetPanelOpt(OPT_tuer_zu_taster_LM_ein, 1);
  } else {
    SetPanelOpt(OPT_tuer_zu_taster_LM_aus, 1);
  }
  if (!doors.tuertaster_gedrueckt) {
    if (EitherSideIn(doors, kDoorReleased)) {
      WarnOrWithdraw(doors.rechts, kRight);
      WarnOrWithdraw(doors.links, kLeft);
      SetSound(kRight.openSound, SOUND_STOP);
      SetSound(kLeft.openSound, SOUND_STOP);
    } else if (EitherSideIn(doors, kDoorRequested)) {
      if (!doors.rechts.tueren_offen) doors.rechts.tuerstatus = kDoorClosed;
      if (!doors.links.tueren_offen) doors.links.tuerstatus = kDoorClosed;
    }
    if (doors.freigabe) RestartAtNow(doors.tuerschliesstimer);
  }
  doors.freigabe = false;
  doors.tuertaster_gedrueckt = true;
}

void Tuertaster_loslassen(UBahnCab& cab, int key) {
  if (key != kKeyDoorsClose || !cab.doors.tuertaster_gedrueckt) return;
  SetPanelOpt(OPT_tuer_zu_taster_LM_ein, 0);
  SetPanelOpt(OPT_tuer_zu_taster_LM_aus, 0);
  cab.doors.tuertaster_gedrueckt = false;
}

// A side's button requests its release; it also re-opens a side that is closing.
static void SideButtonPressed(Doors& doors, DoorSideState& side, const DoorSideWiring& wiring, int key) {
  if (key != wiring.key) return;
  SetPanelOpt(side.tuerstatus == kDoorReleased ? wiring.button : wiring.buttonPreset, 1);
  side.tuerstatus = kDoorRequested;
  SetSound(wiring.warningSound, SOUND_STOP);
  SetSound(wiring.heldOpenSound, SOUND_STOP);
  doors.freigabe = true;
}

static void SideButtonReleased(const DoorSideWiring& wiring, int key) {
  if (key != wiring.key) return;
  SetPanelOpt(wiring.button, 0);
  SetPanelOpt(wiring.buttonPreset, 0);
}

void Tuertaster_rechts_druecken(UBahnCab& cab, int key) { SideButtonPressed(cab.doors, cab.doors.rechts, kRight, key); }
void Tuertaster_rechts_loslassen(UBahnCab&, int key) { SideButtonReleased(kRight, key); }
void Tuertaster_links_druecken(UBahnCab& cab, int key) { SideButtonPressed(cab.doors, cab.doors.links, kLeft, key); }
void Tuertaster_links_loslassen(UBahnCab&, int key) { SideButtonReleased(kLeft, key); }

void TuerseiteFestlegen(UBahnCab& cab, int side) { cab.doors.tuerseite = side; }

// A run that starts standing at a platform with the doors of one side open.
void TuerInit(UBahnCab& cab, int side) {
  Doors& doors = cab.doors;
  DoorSideState* opened = side == kRight.platformSide ? &doors.rechts : side == kLeft.platformSide ? &doors.links : nullptr;
  if (opened == nullptr) return;
  opened->tuerstatus = kDoorReleased;
  opened->tueren_offen = true;
  doors.tueren_geschlossen = false;
  doors.freigabe = true;
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
static void OpenIfReleased(Doors& doors, DoorSideState& side, const DoorSideWiring& wiring) {
  if (side.tuerstatus != kDoorRequested || !BelowReleaseSpeed()) return;
  side.tuerstatus = kDoorReleased;
  if (!side.tueren_offen && doors.tuerseite == wiring.platformSide) {
    SetSound(wiring.openSound, SOUND_PLAY);
    side.tueren_offen = true;
    doors.tueren_geschlossen = false;
  }
}

// An open side starts closing once the warning is over.
static void StartClosing(DoorSideState& side) {
  if (!side.tueren_offen) return;
  side.tuerstatus = kDoorClosing;
  side.tueren_offen = false;
}

// After the warning the open sides start closing; sides that never opened simply go to closed.
static void RunClosingWarning(Doors& doors) {
  if (!EitherSideIn(doors, kDoorWarning) || doors.freigabe) return;
  if (tOn(doors.tuerschliesstimer, gState.Time, kWarningTime) && !doors.tueren_geschlossen) {
    StartClosing(doors.rechts);
    StartClosing(doors.links);
  }
  if (doors.tueren_geschlossen) {
    doors.rechts.tuerstatus = kDoorClosed;
    doors.links.tuerstatus = kDoorClosed;
  }
}

// The doors close unless passengers still wait: then they are held open and the waiting
// passengers protest every time the closing is tried again.
static void RunClosing(Doors& doors) {
  if (!EitherSideIn(doors, kDoorClosing) || doors.freigabe) return;
  if (!tOn(doors.tuerschliesstimer, gState.Time, kClosingTime)) return;
  if (doors.fahrgaeste == 0) {
    doors.rechts.tuerstatus = kDoorClosed;
    doors.links.tuerstatus = kDoorClosed;
    doors.tueren_geschlossen = true;
    SetSound(kRight.heldOpenSound, SOUND_STOP);
    SetSound(kLeft.heldOpenSound, SOUND_STOP);
    return;
  }
  if (doors.rechts.tuerstatus == kDoorClosing) SetSound(kRight.heldOpenSound, SOUND_LOOP);
  if (doors.links.tuerstatus == kDoorClosing) SetSound(kLeft.heldOpenSound, SOUND_LOOP);
  if (EinklemmMessage(doors) == 0) RestartAtNow(doors.Randaletimer);
  if (tOn(doors.Randaletimer, gState.Time, kProtestInterval)) SetSound(kSoundProtest, SOUND_PLAY);
  ShowEinklemmMessage(doors, true);
}

static int PresetLamp(const DoorSideState& side) {
  return (side.tuerstatus == kDoorWarning || side.tuerstatus == kDoorRequested) ? 1 : 0;
}

// In this order: elements left at their default share element 0, where the last write stands.
static void ShowDoorLamps(const UBahnCab& cab) {
  const Doors& doors = cab.doors;
  SetPanelOpt(kRight.lamp, doors.rechts.tuerstatus == kDoorReleased ? 1 : 0);
  SetPanelOpt(kLeft.lamp, doors.links.tuerstatus == kDoorReleased ? 1 : 0);
  SetPanelOpt(kRight.lampPreset, PresetLamp(doors.rechts));
  SetPanelOpt(kLeft.lampPreset, PresetLamp(doors.links));
  SetPanelOpt(OPT_tuer_zu, (doors.tueren_geschlossen && cab.master.fahrschalter != kFahrschalterNeutral) ? 1 : 0);
  SetPanelOpt(OPT_tuerstatus_rechts, doors.rechts.tuerstatus);
  SetPanelOpt(OPT_tuerstatus_links, doors.links.tuerstatus);
}

// One passenger boards per second while the doors stand open, none while a side is closing.
static void BoardPassengers(Doors& doors) {
  if (!Standing() || doors.tueren_geschlossen) return;
  if (doors.fahrgastphase != kFahrgaesteEinsteigen) RestartAtNow(doors.einsteigetimer);
  doors.fahrgastphase = kFahrgaesteEinsteigen;
  if (tOn(doors.einsteigetimer, gState.Time, kBoardingInterval) && doors.fahrgaeste > 0 &&
      !EitherSideIn(doors, kDoorClosing)) {
    doors.fahrgaeste -= 1;
    RestartAtNow(doors.einsteigetimer);
  }
}

// Passengers left outside closed doors protest every three seconds.
static void ProtestOutsideClosedDoors(Doors& doors) {
  if (!Standing() || !doors.tueren_geschlossen || doors.fahrgaeste == 0) return;
  if (doors.fahrgastphase != kFahrgaesteRandale) RestartAtNow(doors.Randaletimer);
  doors.fahrgastphase = kFahrgaesteRandale;
  if (tOn(doors.Randaletimer, gState.Time, kProtestInterval)) SetSound(kSoundProtest, SOUND_PLAY);
}

static void ShowDoorMessage(Doors& doors) {
  if (Standing() && (doors.rechts.tueren_offen || doors.links.tueren_offen)) {
    SetPanelOpt(OPT_tuermessage, 1);
    ShowEinklemmMessage(doors, false);
    SetPanelOpt(OPT_fahrgaeste_10, doors.fahrgaeste / 10);
    SetPanelOpt(OPT_fahrgaeste_1, doors.fahrgaeste);
    SetPanelOpt(OPT_abdeckung, 0);
  } else {
    SetPanelOpt(OPT_tuermessage, 0);
    SetPanelOpt(OPT_abdeckung, EinklemmMessage(doors) == 0 ? 1 : 0);
  }
}

void Tuersteuerung(UBahnCab& cab) {
  Doors& doors = cab.doors;
  OpenIfReleased(doors, doors.rechts, kRight);
  OpenIfReleased(doors, doors.links, kLeft);
  RunClosingWarning(doors);
  RunClosing(doors);
  ShowDoorLamps(cab);
  BoardPassengers(doors);
  ProtestOutsideClosedDoors(doors);
  if (doors.tueren_geschlossen && doors.fahrgastphase == kFahrgaesteEinsteigen) doors.fahrgastphase = kFahrgaesteWarten;
  ShowDoorMessage(doors);
}
