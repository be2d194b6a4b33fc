// The sixteen entry points: what the host hands over is stored and passed to the cab systems that
// run, through the one table of their interfaces.
#include "plugin/atsplugin.h"

#include "cab/channels.h"
#include "cab/handles.h"
#include "config/confload.h"
#include "config/fixed_wiring.h"
#include "config/option_kinds.h"
#include "power/powercontrol.h"
#include "protection/br_safety.h"
#include "protection/de_safety.h"
#include "supervision/misc.h"
#include "supervision/speedcontrol.h"
#include "supervision/vigilance.h"
#include "traction/traction.h"
#include "ubahn/ubahn_cab.h"
#include "windshield/windshield.h"

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

// The cab systems. Each offers one interface: its start and end, its frame routine, its key
// handlers, its beacons and the host's door calls where it has them; a null entry means it has
// none. A system runs whole while its run switch (config/cab_systems.def) is on. One that does
// not run still starts and ends at every Initialize and Dispose, as it always has, unless it is
// the U-Bahn cab; the driver controls of some keep answering their keys (cab_systems.def).
struct CabSystemInterface {
  void (*init)(int brakeMode);
  void (*destroy)();
  void (*frame)();
  void (*keyDown)(int key);
  void (*keyUp)(int key);
  void (*beacon)(ATS_BEACONDATA beacon);
  void (*doorOpen)();
  void (*doorClose)();
  CabSystem system;
  bool startsWhenOff;  // it starts at Initialize while it does not run
};

static void StartPowerControl(int) { InitPowerControl(); }
static void StartWindshield(int) { InitWindshield(); }
static void StartBRSafety(int) { InitBRSafety(); }
static void StartVigilance(int) { InitVigilance(); }
static void StartSpeedControl(int) { InitSpeedControl(); }
static void StartMiscellaneous(int) { InitMiscellaneous(); }
static void StartTraction(int) { InitTraction(); }
static void StartDESafety(int) { InitDESafety(); }
static void NoEnd() {}
static void CheckSpeedOfFrame() { CheckSpeed(gState.Speed); }
static void VigilanceKeyDown(int key) { VigilanceKeyPressed(key, true); }
static void DoorsOpened() { setDoorState(true); }
static void DoorsClosed() { setDoorState(false); }

// In the order of Initialize; the frame and the beacons follow it too. The keys follow
// config/fixed_wiring.def. The U-Bahn cab's frame, UBahnFrame, is called by Elapse alone, so that
// its steps stay inline in the frame cycle.
static const CabSystemInterface kCabSystems[] = {
    {StartUBahnCab, NoEnd, nullptr, UBahnKeyDown, UBahnKeyUp, UBahnBeacon, nullptr, nullptr, SYS_UBAHN, false},
    {StartPowerControl, DestroyPowerControl, PowerControl, PowerControlKeyPressed, nullptr, PowerBeacon, nullptr,
     nullptr, SYS_POWER, true},
    {StartWindshield, DestroyWindshield, AnimateWindshield, WindshieldKeyPressed, nullptr, WindshieldBeacon, nullptr,
     nullptr, SYS_WIPERS, true},
    {StartBRSafety, DestroyBRSafety, BRSafety, BRSafetyKeyPressed, BRSafetyKeyReleased, SetBRSafetyStatus, nullptr,
     nullptr, SYS_AWS_TPWS, true},
    {StartVigilance, DestroyVigilance, CheckVigilance, VigilanceKeyDown, nullptr, nullptr, nullptr, nullptr,
     SYS_VIGILANCE, true},
    {StartSpeedControl, DestroySpeedControl, CheckSpeedOfFrame, nullptr, nullptr, nullptr, nullptr, nullptr,
     SYS_OVERSPEED, true},
    {StartMiscellaneous, DestroyMiscellaneous, RunMiscellaneous, miscKeyPressed, nullptr, MiscPlatformBeacon,
     DoorsOpened, DoorsClosed, SYS_MISC, true},
    {StartTraction, DestroyTraction, RunTraction, TractionKeyPressed, nullptr, TractionSetData, nullptr, nullptr,
     SYS_TRACTION, true},
    {StartDESafety, DestroyDESafety, DESafety, DESafetyKeyPressed, nullptr, SetDESafetyStatus, nullptr, nullptr,
     SYS_PZB90, true},
};
const int kCabSystemCount = sizeof(kCabSystems) / sizeof(kCabSystems[0]);

// Which systems run, as the last Initialize read their switches; before it, the defaults.
static bool gRuns[kCabSystemCount] = {true};
// The frame routines of the running systems after the U-Bahn cab, in table order, taken at
// Initialize so that the frame walks no switches.
static void (*gFrameSteps[kCabSystemCount])() = {};
static int gFrameStepCount = 0;
// Some further system runs: the frame cycle calls their routines after the U-Bahn cab's.
static bool gFurtherFrames = false;

static void ReadRunSwitches() {
  gFrameStepCount = 0;
  for (int i = 0; i < kCabSystemCount; i++) {
    gRuns[i] = SystemRuns(kCabSystems[i].system);
    if (gRuns[i] && kCabSystems[i].frame != nullptr) gFrameSteps[gFrameStepCount++] = kCabSystems[i].frame;
  }
  gFurtherFrames = gFrameStepCount > 0;
}

static bool UBahnRuns() { return gRuns[0]; }

// The frame routines of the further systems that run, kept out of the frame cycle's body.
__attribute__((noinline)) static void RunFurtherFrames() {
  for (int i = 0; i < gFrameStepCount; i++) gFrameSteps[i]();
}

// A key offered to the systems in the order of the key list, each system once (its keys stand
// together there), with its key-down or key-up handler as `up` says; a system that does not run
// only when its keys answer anyway.
static void OfferKey(int key, bool up) {
  for (int k = 0; k < kKeyBindingCount; k++) {
    if (k > 0 && kKeyBindings[k - 1].system == kKeyBindings[k].system) continue;
    for (int i = 0; i < kCabSystemCount; i++) {
      const CabSystemInterface& system = kCabSystems[i];
      if (system.system != kKeyBindings[k].system) continue;
      if (!gRuns[i] && !kCabSystemKeysWhenOff[system.system]) continue;
      void (*handler)(int) = up ? system.keyUp : system.keyDown;
      if (handler != nullptr) handler(key);
    }
  }
}

extern "C" {

ATS_EXPORT void ATS_CALL Load() {
  FillReserves();
  PointAtReserves();
}

ATS_EXPORT void ATS_CALL Dispose() {
  ScrapConfig();
  DestroyHandles();
  for (const CabSystemInterface& system : kCabSystems) system.destroy();
}

ATS_EXPORT int ATS_CALL GetPluginVersion() { return kPluginVersion; }

ATS_EXPORT void ATS_CALL SetVehicleSpec(ATS_VEHICLESPEC spec) { gTrainspecs = spec; }

ATS_EXPORT void ATS_CALL Initialize(int brake) {
  PointAtReserves();
  ScrapConfig();
  SetDefaults();
  LoadConfig();  // without a file the defaults stay in force

  ReadRunSwitches();

  // The handle arbitration serves the driver and every system, whichever runs.
  DestroyHandles();
  InitHandles();
  for (int i = 0; i < kCabSystemCount; i++) {
    if (!gRuns[i] && !kCabSystems[i].startsWhenOff) continue;
    kCabSystems[i].destroy();
    kCabSystems[i].init(brake);
  }
}

ATS_EXPORT ATS_HANDLES ATS_CALL Elapse(ATS_VEHICLESTATE state, int* panel, int* sound) {
  // Adopt the host's arrays; what was written before lands in them from the reserves.
  // A null array is never adopted: writes keep going where they went. The steady frame hands
  // over the arrays of the frame before, so that test comes first.
  if (panel != gPanel && panel != nullptr) {
    gPanel = panel;
    for (int i = 0; i < kElementCount; i++) gPanel[i] = memPanelReserve[i];
  }
  if (sound != gSound && sound != nullptr) {
    gSound = sound;
    for (int i = 0; i < kElementCount; i++) gSound[i] = memSoundReserve[i];
  }
  gState = state;

  // The U-Bahn cab's steps first, then the further systems' routines in table order.
  if (UBahnRuns()) UBahnFrame();
  if (gFurtherFrames) RunFurtherFrames();

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

ATS_EXPORT void ATS_CALL KeyDown(int key) { OfferKey(key, false); }

ATS_EXPORT void ATS_CALL KeyUp(int key) { OfferKey(key, true); }

ATS_EXPORT void ATS_CALL HornBlow(int type) {
  VigilanceKeyPressed(type, false);
  hornSounded(type);
  if (UBahnRuns()) UBahnHorn(type);
}

ATS_EXPORT void ATS_CALL DoorOpen() {
  for (int i = 0; i < kCabSystemCount; i++) {
    if (gRuns[i] && kCabSystems[i].doorOpen != nullptr) kCabSystems[i].doorOpen();
  }
}

ATS_EXPORT void ATS_CALL DoorClose() {
  for (int i = 0; i < kCabSystemCount; i++) {
    if (gRuns[i] && kCabSystems[i].doorClose != nullptr) kCabSystems[i].doorClose();
  }
}

ATS_EXPORT void ATS_CALL SetSignal(int signal) {}

ATS_EXPORT void ATS_CALL SetBeaconData(ATS_BEACONDATA beacon) {
  for (int i = 0; i < kCabSystemCount; i++) {
    if (gRuns[i] && kCabSystems[i].beacon != nullptr) kCabSystems[i].beacon(beacon);
  }
}

}  // extern "C"
