// The trip stop (Fahrsperre) with its button, and the persistent reset, override and kilometre counters.
#include <cmath>
#include <cstdint>

#include "ubahn/trip_stop.h"

#include "cab/channels.h"
#include "cab/host.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "config/fixed_wiring.h"
#include "ubahn/brake.h"
#include "ubahn/fixed_elements.h"
#include "ubahn/master_controller.h"
#include "ubahn/spring_brake.h"

bool fahrsperre = true;
bool loesesperrventil_fahrsperre = false;
bool fahrsperre_gedrueckt = false;
bool fsp_gerade_eingeschaltet = false;
int32_t zaehlwerk1 = 0;
int32_t zaehlwerk2 = 0;
int32_t kilometerzaehler = 0;
double nulllage = 0.0;

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

void InitTripStop() {
  fsp_gerade_eingeschaltet = false;
  zaehlwerk1 = read_zaehlwerk1();
  zaehlwerk2 = read_zaehlwerk2();
  kilometerzaehler = read_kilometer();
  nulllage = TruncToInt(gState.Location);
  SetPanelOpt(OPT_fahrsperre, 1);
}

void Fahrsperre_ausloesen() {
  fahrsperre = false;
  loesesperrventil_fahrsperre = true;
  SetPanelOpt(OPT_fahrsperre, 0);
}

static void Arm() {
  fahrsperre = true;
  loesesperrventil_fahrsperre = false;
  SetPanelOpt(OPT_fahrsperre, 1);
}

// A signal trip point trips at a stop aspect, above the checked speed at a restricting aspect,
// and whenever the train rolls past it with the master controller in neutral.
static bool SignalTripPointTrips(const ATS_BEACONDATA& beacon) {
  if (beacon.Signal == kAspectStop) return true;
  if ((beacon.Signal == kAspectRestricting1 || beacon.Signal == kAspectRestricting2) &&
      beacon.Optional != 0 && gState.Speed > static_cast<float>(beacon.Optional)) {
    return true;
  }
  return fahrschalter == kFahrschalterNeutral && Moving();
}

void Fahrsperre(ATS_BEACONDATA beacon) {
  if (beacon.Type == kBeaconSignalOverspeed || beacon.Type == kBeaconSignalTrainStop) {
    if (!SignalTripPointTrips(beacon)) return;
    if (fahrsperre && Moving()) SetSound(kSoundForcedBraking, SOUND_PLAY);
    Fahrsperre_ausloesen();
    // Holding the button while creeping past the trip point overrides it.
    if (BelowResetSpeed() && fahrsperre_gedrueckt) {
      SetSound(kSoundTripStopOverride, SOUND_PLAY);
      SetSound(kSoundForcedBraking, SOUND_STOP);
      Arm();
      zaehlwerk2 = CountedUp(zaehlwerk2);
      write_zaehlwerk2(zaehlwerk2);
    }
  } else if (beacon.Type == kBeaconSpeedRestriction) {
    if (gState.Speed > static_cast<float>(beacon.Optional)) {
      if (fahrsperre && Moving()) SetSound(kSoundPipeVenting, SOUND_PLAY);
      Fahrsperre_ausloesen();
    }
  }
}

void Fahrsperre_druecken(int key) {
  if (key != kKeyTripStop) return;
  if (fahrsperre) {
    SetPanelOpt(OPT_taster_fahrsperre_LM_ein, 1);
    SetPanelOpt(OPT_taster_fahrsperre_LM_aus, 0);
  } else {
    SetPanelOpt(OPT_taster_fahrsperre_LM_aus, 1);
    SetPanelOpt(OPT_taster_fahrsperre_LM_ein, 0);
  }
  if (BelowResetSpeed()) {
    if (!fahrsperre) {
      // A reset: counted, and it also releases the spring brake from afar.
      SetSound(federspeicher_aktiv ? kSoundTripStopResetApplied : kSoundTripStopResetReleased, SOUND_PLAY);
      if (bremsschalter == kBrakeFastCharge && SifaKey) SetSound(kSoundPipeFilling, SOUND_PLAY);
      zaehlwerk1 = CountedUp(zaehlwerk1);
      write_zaehlwerk1(zaehlwerk1);
      Speicherbremse_fernaus_druecken();
      fsp_gerade_eingeschaltet = true;
    }
    Arm();
  }
  fahrsperre_gedrueckt = true;
}

void Fahrsperre_loslassen(int key) {
  if (key != kKeyTripStop) return;
  SetPanelOpt(OPT_taster_fahrsperre_LM_ein, 0);
  SetPanelOpt(OPT_taster_fahrsperre_LM_aus, 0);
  fahrsperre_gedrueckt = false;
  if (fsp_gerade_eingeschaltet) {
    SetSound(kSoundSpringReleaseLetGo, SOUND_PLAY);
    Speicherbremse_fernaus_loslassen();
    fsp_gerade_eingeschaltet = false;
  }
}

void Fahrsperrenupdate() { SetPanelOpt(OPT_fahrsperre, fahrsperre ? 1 : 0); }

// One kilometre at most per frame, counted from where the last one was counted. A location
// that is not a number counts nothing; a jump of any size counts one kilometre.
static void CountKilometre() {
  const double distance = std::fabs(gState.Location - nulllage);
  if (distance > kKilometre && gState.Speed > 0.0f) {
    kilometerzaehler = CountedUp(kilometerzaehler);
    nulllage = gState.Location;
    write_kilometer(kilometerzaehler);
  }
}

static void ShowCounters() {
  SetPanelOpt(OPT_kilometer_10000, kilometerzaehler / 10000);
  SetPanelOpt(OPT_kilometer_1000, kilometerzaehler / 1000);
  SetPanelOpt(OPT_kilometer_100, kilometerzaehler / 100);
  SetPanelOpt(OPT_kilometer_10, kilometerzaehler / 10);
  SetPanelOpt(OPT_kilometer_1, kilometerzaehler);
  SetPanelOpt(OPT_zaehlwerk1_1000, zaehlwerk1 / 1000);
  SetPanelOpt(OPT_zaehlwerk1_100, zaehlwerk1 / 100);
  SetPanelOpt(OPT_zaehlwerk1_10, zaehlwerk1 / 10);
  SetPanelOpt(OPT_zaehlwerk1_1, zaehlwerk1);
  SetPanelOpt(OPT_zaehlwerk2_1000, zaehlwerk2 / 1000);
  SetPanelOpt(OPT_zaehlwerk2_100, zaehlwerk2 / 100);
  SetPanelOpt(OPT_zaehlwerk2_10, zaehlwerk2 / 10);
  SetPanelOpt(OPT_zaehlwerk2_1, zaehlwerk2);
}

void KilometerUndFahrsperrenzaehlwerk() {
  CountKilometre();
  ShowCounters();
}
