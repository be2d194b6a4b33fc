// The U-Bahn cab as one cab system: its start, its frame, its key chain and its beacons.
#include "ubahn/ubahn_cab.h"

#include "cab/channels.h"
#include "config/confload.h"
#include "config/fixed_wiring.h"

// Fixed sound elements of the two speed-dependent beacon sounds.
const int kSoundBeaconSlow = 56;
const int kSoundBeaconFast = 57;
const int kSoundBeacon31Slow = 79;
const int kSoundBeacon31Fast = 80;
const int kSoundBeacon31Special = 81;
const float kBeaconSoundSpeed = 40.0f;  // km/h: below it the slow variant plays

void StartUBahnCab(int) { InitUBahnDevices(); }

// The cab's own lines of the key chain; the other systems' lines are left out. A key let go
// reaches the release handlers of the same lines, in the same order.
#define UBAHN_KEY_UBAHN(handler) handler(key);
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
static inline void NoRelease(int) {}

#define KEY_FIXED(system, handler, release, number, what) UBAHN_KEY_##system(handler)
#define KEY_OPTION(system, handler, release, option, what) UBAHN_KEY_##system(handler)
#define KEY_EVERY(system, routine, what) routine();
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
  if (beacon.Type == kBeaconPlatformSide) TuerseiteFestlegen(beacon.Optional);
  if (beacon.Type == kBeaconDoorsOpenAtStart) TuerInit(beacon.Optional);
  if (beacon.Type == kBeaconPassengers) SetFahrgaeste(beacon.Optional);
  if (beacon.Type == kBeaconRailJoint) SetSchienenstoss();
  Fahrsperre(beacon);
  if (beacon.Type == kBeaconDestination) SetFahrtziel(beacon.Optional);
  if (beacon.Type == kBeaconFastCurve) SetKurvensound_schnell(beacon.Optional);
  if (beacon.Type == kBeaconSlowCurve) SetKurvensound_langsam(beacon.Optional);
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
  if (control == kDriverHorn) ELA(kAnnouncementHorn);
}

// The frame is left out: the entry points call UBahnFrame themselves, so that it stays inline.
const CabSystemRow kUBahnCabRow = {
    SYS_UBAHN, false, StartUBahnCab, nullptr, nullptr, UBahnKeyDown, UBahnKeyUp, UBahnBeacon, nullptr,
    UBahnDriverMoved};
