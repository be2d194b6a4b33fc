// The U-Bahn cab as one cab system: its start, its frame, its key chain and its beacons.
#include "ubahn/ubahn_cab.h"

#include "cab/channels.h"
#include "cab/handles.h"
#include "cab/timers.h"
#include "cab/vocabulary.h"
#include "config/confload.h"
#include "config/fixed_wiring.h"
#include "ubahn/brake.h"
#include "ubahn/cab_record.h"
#include "ubahn/doors.h"
#include "ubahn/horn_fan.h"
#include "ubahn/master_controller.h"
#include "ubahn/running_sounds.h"
#include "ubahn/spring_brake.h"
#include "ubahn/testing.h"
#include "ubahn/train_control.h"
#include "ubahn/traincontrol_overhoul.h"
#include "ubahn/trip_stop.h"

// Fixed sound elements of the two speed-dependent beacon sounds.
const int kSoundBeaconSlow = 56;
const int kSoundBeaconFast = 57;
const int kSoundBeacon31Slow = 79;
const int kSoundBeacon31Fast = 80;
const int kSoundBeacon31Special = 81;
const float kBeaconSoundSpeed = 40.0f;  // km/h: below it the slow variant plays

// The cab as the library loads it; every device works on it through the functions below.
static UBahnCab cab;

UBahnCab& TestCab() { return cab; }

// The record a run starts from: the cab as the library loads it, with its doors closed.
static UBahnCab CabTemplate() {
  UBahnCab start;
  start.doors.tueren_geschlossen = true;
  return start;
}

// What a run takes over from the run before. A restart of the run leaves the vehicle's
// equipment standing as it was: the doors, the trip stop's state, the spring brake, the horn,
// fan and announcements and the running sounds go on from where they were (only a rail joint
// being passed is forgotten); so do the guards against the host's key repeat, the start
// message once power has been taken, the last speed limit, the brake's stopping-sound flag and
// holding timer, and the supply pipe's working value.
static void KeepFromRunBefore(UBahnCab& start, const UBahnCab& before) {
  start.control.fahrschalterAn = before.control.fahrschalterAn;
  start.control.startmeldung = before.control.startmeldung;
  start.master.VMax = before.master.VMax;
  start.master.sifaAn = before.master.sifaAn;
  start.brake.anhaltesound = before.brake.anhaltesound;
  start.brake.ebremstimer = before.brake.ebremstimer;
  start.brake.fuellleitungsdruck_hilf = before.brake.fuellleitungsdruck_hilf;
  start.doors = before.doors;
  start.doors.tueren_geschlossen = true;
  start.doors.fahrgaeste = 0;
  start.tripStop.fahrsperre = before.tripStop.fahrsperre;
  // A button held through the start stays held, but its reset is forgotten: letting it go
  // ends no remote release of the spring brake.
  start.tripStop.fahrsperre_taster =
      before.tripStop.fahrsperre_taster == kTasterLos ? kTasterLos : kTasterGedrueckt;
  start.springBrake = before.springBrake;
  start.hornFan = before.hornFan;
  start.sounds = before.sounds;
  start.sounds.schienenstoss = false;
}

// The start shows and sounds in this order; where two writes meet in one panel element (elements
// left at their default share element 0), the later one stands. The throw to neutral acts on the
// cab as the run before left it (at speed it trips the trip stop, which the new run keeps).
void StartUBahnCab(int) {
  ThrowToNeutralAtStart(cab);
  ShowBrakeControllerAtStart();
  SetPanelOpt(OPT_anzeige_init, 0);
  ShowTripStopAtStart();

  UBahnCab start = CabTemplate();
  KeepFromRunBefore(start, cab);
  RestartAtNow(start.brake.luftbremstimer2);  // the first pipe step comes 50 ms after the start
  ReadCounters(start.tripStop);
  cab = start;
}

int InitTrainControl(int brakeMode) {
  InitHandles();
  StartUBahnCab(brakeMode);
  return 1;
}

void DestroyTrainControl() { DestroyHandles(); }

// The sixteen frame steps, in an order they rely on: the reverser set by UBahnReverser may be
// forced to neutral by UBahnBremse in the same frame; the pipe left by bremsleitung is read by
// the control steps of the next frame.
void UBahnFrameSteps() {
  TrainControl(cab);
  UBahnReverser(cab);
  SifaFestbremsen(cab);
  UBahnBremse(cab);
  bremsleitung(cab);
  lueftersound(cab);
  Huploop(cab);
  Tuersteuerung(cab);
  Schienenstoss(cab);
  Deuta(cab);
  Fahrsperrenupdate(cab);
  KilometerUndFahrsperrenzaehlwerk(cab);
  Kurvensound_schnell(cab);
  Kurvensound_langsam(cab);
  Fahrsound(cab);
  Speicherbremse(cab);
}

// The cab's own lines of the key chain; the other systems' lines are left out. A key let go
// reaches the release handlers of the same lines, in the same order.
#define UBAHN_KEY_UBAHN(handler) handler(cab, key);
#define UBAHN_KEY_POWER(handler)
#define UBAHN_KEY_WIPERS(handler)
#define UBAHN_KEY_AWS_TPWS(handler)
#define UBAHN_KEY_VIGILANCE(handler)
#define UBAHN_KEY_MISC(handler)
#define UBAHN_KEY_TRACTION(handler)
#define UBAHN_KEY_PZB90(handler)
#define FIXED_SOUND(element, system, what)
#define BEACON(type, system, signal, distance, optional, action)
#define BEACON_TYPE(name, number)

// A line whose key has nothing to do when let go.
static inline void NoRelease(UBahnCab&, int) {}

#define KEY_FIXED(system, handler, release, number, what) UBAHN_KEY_##system(handler)
#define KEY_OPTION(system, handler, release, option, what) UBAHN_KEY_##system(handler)
#define KEY_EVERY(system, routine, what) routine(cab);
void UBahnKeyDown(int key) {
#include "config/fixed_wiring.def"
}
#undef KEY_FIXED
#undef KEY_OPTION
#undef KEY_EVERY

#define KEY_FIXED(system, handler, release, number, what) UBAHN_KEY_##system(release)
#define KEY_OPTION(system, handler, release, option, what) UBAHN_KEY_##system(release)
#define KEY_EVERY(system, routine, what)
void UBahnKeyUp(int key) {
#include "config/fixed_wiring.def"
}
#undef KEY_FIXED
#undef KEY_OPTION
#undef KEY_EVERY
#undef FIXED_SOUND
#undef BEACON
#undef BEACON_TYPE

void UBahnBeacon(ATS_BEACONDATA beacon) {
  const bool slow = gState.Speed < kBeaconSoundSpeed;  // false for a speed that is not a number
  if (beacon.Type == kBeaconPlatformSide) TuerseiteFestlegen(cab, beacon.Optional);
  if (beacon.Type == kBeaconDoorsOpenAtStart) TuerInit(cab, beacon.Optional);
  if (beacon.Type == kBeaconPassengers) SetFahrgaeste(cab, beacon.Optional);
  if (beacon.Type == kBeaconRailJoint) SetSchienenstoss(cab);
  Fahrsperre(cab, beacon);
  if (beacon.Type == kBeaconDestination) SetFahrtziel(cab, beacon.Optional);
  if (beacon.Type == kBeaconFastCurve) SetKurvensound_schnell(cab, beacon.Optional);
  if (beacon.Type == kBeaconSlowCurve) SetKurvensound_langsam(cab, beacon.Optional);
  if (beacon.Type == kBeaconSpeedSound) SetSound(slow ? kSoundBeaconSlow : kSoundBeaconFast, SOUND_PLAY);
  if (beacon.Type == kBeaconSpeedSoundOrSpecial) {
    if (beacon.Optional != 0) {
      SetSound(kSoundBeacon31Special, SOUND_PLAY);
    } else {
      SetSound(slow ? kSoundBeacon31Slow : kSoundBeacon31Fast, SOUND_PLAY);
    }
  }
}

// The driver's controls: the announcement logic hears the host's horn.
void UBahnDriverMoved(DriverControl control, int) {
  if (control == kDriverHorn) ELA(cab, kAnnouncementHorn);
}

// The frame is left out: the entry points call UBahnFrame themselves, so that it stays inline.
const CabSystemRow kUBahnCabRow = {
    SYS_UBAHN, false, StartUBahnCab, nullptr, nullptr, UBahnKeyDown, UBahnKeyUp, UBahnBeacon, nullptr,
    UBahnDriverMoved};
