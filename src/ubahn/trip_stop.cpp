// The trip stop (Fahrsperre) with its button, and the persistent reset, override and kilometre counters.
#include <cmath>
#include <cstdint>

#include "ubahn/trip_stop.h"

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "config/fixed_wiring.h"

// Signal aspects at a trip point.
const int kAspectStop = 0;
const int kAspectRestricting1 = 1;
const int kAspectRestricting2 = 2;

const float kResetSpeed = 7.0f;       // km/h: resets and overrides only below it
const double kKilometre = 1000.0;     // m

static bool Moving() { return gState.Speed != 0.0f; }  // a speed that is not a number counts as moving
static bool BelowResetSpeed() { return gState.Speed > -kResetSpeed && gState.Speed < kResetSpeed; }

// Counters stop at the largest value they can hold instead of wrapping round.
static int32_t CountedUp(int32_t counter) { return counter < INT32_MAX ? counter + 1 : counter; }

void ReadCounters(TripStop& tripStop) {
  tripStop.zaehlwerk1 = read_zaehlwerk1();
  tripStop.zaehlwerk2 = read_zaehlwerk2();
  tripStop.kilometerzaehler = read_kilometer();
  tripStop.nulllage = TruncToInt(gState.Location);
}

void ShowTripStopAtStart() { SetPanelOpt(OPT_fahrsperre, 1); }

void TripTheTripStop(TripStop& tripStop) {
  tripStop.fahrsperre = kFahrsperreAusgeloest;
  SetPanelOpt(OPT_fahrsperre, 0);
}

static void Arm(UBahnCab& cab) {
  cab.tripStop.fahrsperre = kFahrsperreScharf;
  SetPanelOpt(OPT_fahrsperre, 1);
}

// A signal trip point trips at a stop aspect, above the checked speed at a restricting aspect,
// and whenever the train rolls past it with the master controller in neutral.
static bool SignalTripPointTrips(const UBahnCab& cab, const ATS_BEACONDATA& beacon) {
  if (beacon.Signal == kAspectStop) return true;
  if ((beacon.Signal == kAspectRestricting1 || beacon.Signal == kAspectRestricting2) &&
      beacon.Optional != 0 && gState.Speed > static_cast<float>(beacon.Optional)) {
    return true;
  }
  return cab.master.fahrschalter == kFahrschalterNeutral && Moving();
}

void Fahrsperre(UBahnCab& cab, ATS_BEACONDATA beacon) {
  if (beacon.Type == kBeaconSignalOverspeed || beacon.Type == kBeaconSignalTrainStop) {
    if (!SignalTripPointTrips(cab, beacon)) return;
    if (cab.tripStop.fahrsperre == kFahrsperreScharf && Moving()) SetSound(kSoundForcedBraking, SOUND_PLAY);
    TripTheTripStop(cab.tripStop);
    // Holding the button while creeping past the trip point overrides it.
    if (BelowResetSpeed() && cab.tripStop.fahrsperre_taster != kTasterLos) {
      SetSound(kSoundTripStopOverride, SOUND_PLAY);
      SetSound(kSoundForcedBraking, SOUND_STOP);
      Arm(cab);
      cab.tripStop.zaehlwerk2 = CountedUp(cab.tripStop.zaehlwerk2);
      write_zaehlwerk2(cab.tripStop.zaehlwerk2);
    }
  } else if (beacon.Type == kBeaconSpeedRestriction) {
    if (gState.Speed > static_cast<float>(beacon.Optional)) {
      if (cab.tripStop.fahrsperre == kFahrsperreScharf && Moving()) SetSound(kSoundPipeVenting, SOUND_PLAY);
      TripTheTripStop(cab.tripStop);
    }
  }
}

void Fahrsperre_druecken(UBahnCab& cab, int key) {
  if (key != kKeyTripStop) return;
  if (cab.tripStop.fahrsperre == kFahrsperreScharf) {
    SetPanelOpt(OPT_taster_fahrsperre_LM_ein, 1);
    SetPanelOpt(OPT_taster_fahrsperre_LM_aus, 0);
  } else {
    SetPanelOpt(OPT_taster_fahrsperre_LM_aus, 1);
    SetPanelOpt(OPT_taster_fahrsperre_LM_ein, 0);
  }
  if (BelowResetSpeed()) {
    if (cab.tripStop.fahrsperre == kFahrsperreAusgeloest) {
      // A reset: counted, and it also releases the spring brake from afar.
      SetSound(cab.springBrake.federspeicher_aktiv ? kSoundTripStopResetApplied : kSoundTripStopResetReleased, SOUND_PLAY);
      if (cab.brake.bremsschalter == kBrakeFastCharge && cab.master.SifaKey) SetSound(kSoundPipeFilling, SOUND_PLAY);
      cab.tripStop.zaehlwerk1 = CountedUp(cab.tripStop.zaehlwerk1);
      write_zaehlwerk1(cab.tripStop.zaehlwerk1);
      Speicherbremse_fernaus_druecken(cab.springBrake);
      cab.tripStop.fahrsperre_taster = kTasterNachRueckstellung;
    }
    Arm(cab);
  }
  if (cab.tripStop.fahrsperre_taster == kTasterLos) cab.tripStop.fahrsperre_taster = kTasterGedrueckt;
}

void Fahrsperre_loslassen(UBahnCab& cab, int key) {
  if (key != kKeyTripStop) return;
  SetPanelOpt(OPT_taster_fahrsperre_LM_ein, 0);
  SetPanelOpt(OPT_taster_fahrsperre_LM_aus, 0);
  const bool afterReset = cab.tripStop.fahrsperre_taster == kTasterNachRueckstellung;
  cab.tripStop.fahrsperre_taster = kTasterLos;
  if (afterReset) {
    SetSound(kSoundSpringReleaseLetGo, SOUND_PLAY);
    Speicherbremse_fernaus_loslassen(cab.springBrake);
  }
}

void Fahrsperrenupdate(UBahnCab& cab) { SetPanelOpt(OPT_fahrsperre, cab.tripStop.fahrsperre == kFahrsperreScharf ? 1 : 0); }

// One kilometre at most per frame, counted from where the last one was counted. A location
// that is not a number counts nothing; a jump of any size counts one kilometre.
static void CountKilometre(UBahnCab& cab) {
  const double distance = std::fabs(gState.Location - cab.tripStop.nulllage);
  if (distance > kKilometre && gState.Speed > 0.0f) {
    cab.tripStop.kilometerzaehler = CountedUp(cab.tripStop.kilometerzaehler);
    cab.tripStop.nulllage = gState.Location;
    write_kilometer(cab.tripStop.kilometerzaehler);
  }
}

static void ShowCounters(const UBahnCab& cab) {
  SetPanelOpt(OPT_kilometer_10000, cab.tripStop.kilometerzaehler / 10000);
  SetPanelOpt(OPT_kilometer_1000, cab.tripStop.kilometerzaehler / 1000);
  SetPanelOpt(OPT_kilometer_100, cab.tripStop.kilometerzaehler / 100);
  SetPanelOpt(OPT_kilometer_10, cab.tripStop.kilometerzaehler / 10);
  SetPanelOpt(OPT_kilometer_1, cab.tripStop.kilometerzaehler);
  SetPanelOpt(OPT_zaehlwerk1_1000, cab.tripStop.zaehlwerk1 / 1000);
  SetPanelOpt(OPT_zaehlwerk1_100, cab.tripStop.zaehlwerk1 / 100);
  SetPanelOpt(OPT_zaehlwerk1_10, cab.tripStop.zaehlwerk1 / 10);
  SetPanelOpt(OPT_zaehlwerk1_1, cab.tripStop.zaehlwerk1);
  SetPanelOpt(OPT_zaehlwerk2_1000, cab.tripStop.zaehlwerk2 / 1000);
  SetPanelOpt(OPT_zaehlwerk2_100, cab.tripStop.zaehlwerk2 / 100);
  SetPanelOpt(OPT_zaehlwerk2_10, cab.tripStop.zaehlwerk2 / 10);
  SetPanelOpt(OPT_zaehlwerk2_1, cab.tripStop.zaehlwerk2);
}

void KilometerUndFahrsperrenzaehlwerk(UBahnCab& cab) {
  CountKilometre(cab);
  ShowCounters(cab);
}
