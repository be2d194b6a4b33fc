// The sixteen entry points: what the host hands over is stored and passed to the cab systems in a fixed order.
#include "plugin/atsplugin.h"

#include "cab/channels.h"
#include "cab/handles.h"
#include "config/confload.h"
#include "power/powercontrol.h"
#include "protection/br_safety.h"
#include "protection/de_safety.h"
#include "supervision/misc.h"
#include "supervision/speedcontrol.h"
#include "supervision/vigilance.h"
#include "traction/traction.h"
#include "ubahn/traincontrol_overhoul.h"
#include "windshield/windshield.h"

// Beacon types handled here and by the U-Bahn cab.
const int kBeaconPlatformSide = 23;
const int kBeaconDoorsOpenAtStart = 24;
const int kBeaconPassengers = 25;
const int kBeaconRailJoint = 26;
const int kBeaconDestination = 27;
const int kBeaconFastCurve = 28;
const int kBeaconSlowCurve = 29;
const int kBeaconSpeedSound = 30;
const int kBeaconSpeedSoundOrSpecial = 31;

// Fixed sound elements of the two speed-dependent beacon sounds.
const int kSoundBeaconSlow = 56;
const int kSoundBeaconFast = 57;
const int kSoundBeacon31Slow = 79;
const int kSoundBeacon31Fast = 80;
const int kSoundBeacon31Special = 81;
const float kBeaconSoundSpeed = 40.0f;  // km/h: below it the slow variant plays

static void FillReserves() {
  for (int i = 0; i < kElementCount; i++) {
    memPanelReserve[i] = 0;
    memSoundReserve[i] = SOUND_STOP;
  }
}

static void PointAtReserves() {
  gPanel = memPanelReserve;
  gSound = memSoundReserve;
}

// The cab systems, each with its start of a run and its end. At every Initialize each is
// destroyed and started again in this order; Dispose destroys them in the same order.
static void StartTrainControl(int brakeMode) { InitTrainControl(brakeMode); }
static void StartPowerControl(int) { InitPowerControl(); }
static void StartWindshield(int) { InitWindshield(); }
static void StartBRSafety(int) { InitBRSafety(); }
static void StartVigilance(int) { InitVigilance(); }
static void StartSpeedControl(int) { InitSpeedControl(); }
static void StartMiscellaneous(int) { InitMiscellaneous(); }
static void StartTraction(int) { InitTraction(); }
static void StartDESafety(int) { InitDESafety(); }

struct CabSystemLife {
  void (*init)(int brakeMode);
  void (*destroy)();
};

static const CabSystemLife kCabSystems[] = {
    {StartTrainControl, DestroyTrainControl},   {StartPowerControl, DestroyPowerControl},
    {StartWindshield, DestroyWindshield},       {StartBRSafety, DestroyBRSafety},
    {StartVigilance, DestroyVigilance},         {StartSpeedControl, DestroySpeedControl},
    {StartMiscellaneous, DestroyMiscellaneous}, {StartTraction, DestroyTraction},
    {StartDESafety, DestroyDESafety},
};

extern "C" {

ATS_EXPORT void ATS_CALL Load() {
  FillReserves();
  PointAtReserves();
}

ATS_EXPORT void ATS_CALL Dispose() {
  ScrapConfig();
  for (const CabSystemLife& system : kCabSystems) system.destroy();
}

ATS_EXPORT int ATS_CALL GetPluginVersion() { return kPluginVersion; }

ATS_EXPORT void ATS_CALL SetVehicleSpec(ATS_VEHICLESPEC spec) { gTrainspecs = spec; }

ATS_EXPORT void ATS_CALL Initialize(int brake) {
  PointAtReserves();
  ScrapConfig();
  SetDefaults();
  LoadConfig();  // without a file the defaults stay in force

  for (const CabSystemLife& system : kCabSystems) {
    system.destroy();
    system.init(brake);
  }
}

ATS_EXPORT ATS_HANDLES ATS_CALL Elapse(ATS_VEHICLESTATE state, int* panel, int* sound) {
  // Adopt the host's arrays; what was written before lands in them from the reserves.
  // A null array is never adopted: writes keep going where they went.
  if (panel != nullptr && panel != gPanel) {
    gPanel = panel;
    for (int i = 0; i < kElementCount; i++) gPanel[i] = memPanelReserve[i];
  }
  if (sound != nullptr && sound != gSound) {
    gSound = sound;
    for (int i = 0; i < kElementCount; i++) gSound[i] = memSoundReserve[i];
  }
  gState = state;

  TrainControl();
  UBahnReverser();
  SifaFestbremsen();
  UBahnBremse();
  bremsleitung();
  lueftersound();
  Huploop();
  Tuersteuerung();
  Schienenstoss();
  Deuta();
  Fahrsperrenupdate();
  KilometerUndFahrsperrenzaehlwerk();
  Kurvensound_schnell();
  Kurvensound_langsam();
  Fahrsound();
  Speicherbremse();

  return gHandles;
}

ATS_EXPORT void ATS_CALL SetPower(int notch) {
  SetPowerHandle(notch);
  VigilanceKeyPressed(notch, false);
}

ATS_EXPORT void ATS_CALL SetBrake(int notch) {
  SetBrakeHandle(notch);
  VigilanceKeyPressed(notch, false);
}

ATS_EXPORT void ATS_CALL SetReverser(int position) {
  if (Opt(OPT_reverserindex) != kUnwired) SetPanelOpt(OPT_reverserindex, position == -1 ? 2 : position);
  SetReverserHandle(position);
  VigilanceKeyPressed(position, false);
  if (position != 0) BRSafetyReverserMovedOff();
}

ATS_EXPORT void ATS_CALL KeyDown(int key) {
  PowerControlKeyPressed(key);
  WindshieldKeyPressed(key);
  BRSafetyKeyPressed(key);
  TrainControlKeyPressed(key);
  FahrschalterAuf(key);
  FahrschalterAb(key);
  FahrschalterNull(key);
  BremsschalterBremsen(key);
  BremsschalterLoesen(key);
  SifaKeyPressed(key);
  FesthaltebremseKeyPressed(key);
  UBahnReverser();
  Hupe_ein(key);
  Tuertaster_druecken(key);
  Tuertaster_rechts_druecken(key);
  Tuertaster_links_druecken(key);
  Fahrsperre_druecken(key);
  ELA(key);
  Speicherbremse_ein_druecken(key);
  Speicherbremse_aus_druecken(key);
}

ATS_EXPORT void ATS_CALL KeyUp(int key) {
  BRSafetyKeyReleased(key);
  TrainControlKeyReleased(key);
  SifaKeyReleased(key);
  FesthaltebremseKeyReleased(key);
  Hupe_aus(key);
  Tuertaster_loslassen(key);
  Tuertaster_rechts_loslassen(key);
  Tuertaster_links_loslassen(key);
  Fahrsperre_loslassen(key);
  Speicherbremse_ein_loslassen(key);
  Speicherbremse_aus_loslassen(key);
}

ATS_EXPORT void ATS_CALL HornBlow(int type) {
  VigilanceKeyPressed(type, false);
  hornSounded(type);
  ELA(kAnnouncementHorn);
}

ATS_EXPORT void ATS_CALL DoorOpen() {}

ATS_EXPORT void ATS_CALL DoorClose() {}

ATS_EXPORT void ATS_CALL SetSignal(int signal) {}

ATS_EXPORT void ATS_CALL SetBeaconData(ATS_BEACONDATA beacon) {
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

}  // extern "C"
