// The sixteen entry points: what the host hands over is stored and passed to the cab systems that
// run, through the one table of their interfaces.
#include "plugin/atsplugin.h"
#include "plugin/atsplugin_testing.h"

#include "cab/cab_system.h"
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

// The cab systems, each by the row its module exports (cab/cab_system.h), in the order of
// Initialize; the frame, the beacons, the doors and the driver's controls follow it too. The keys
// follow config/fixed_wiring.def. The U-Bahn cab comes first, and its frame, UBahnFrame, is called
// by Elapse alone, so that its steps stay inline in the frame cycle.
static const CabSystemRow* const kCabSystemRows[] = {
    &kUBahnCabRow, &kPowerControlRow, &kWindshieldRow, &kBRSafetyRow,  &kVigilanceRow,
    &kSpeedControlRow, &kMiscellaneousRow, &kTractionRow, &kDESafetyRow,
};
const int kCabSystemCount = sizeof(kCabSystemRows) / sizeof(kCabSystemRows[0]);
// The rows the entry points walk: the table above, or a test's (plugin/atsplugin_testing.h).
static const CabSystemRow* const* gRows = kCabSystemRows;

// Which systems run, as the last Initialize read their switches; before it, the defaults.
static bool gRuns[kCabSystemCount] = {true};
// One step of the frame after the U-Bahn cab's: a running system's frame routine and the
// demand set it counts in.
struct FrameStep {
  void (*frame)();     // the system's frame routine
  CabSystem system;    // whose routine it is
  DemandSet* demands;  // the set its demands count in, taken when the sets were last made
};
// The frame steps of the running systems after the U-Bahn cab, in table order, taken at
// Initialize so that the frame walks no switches and looks up no sets.
static FrameStep gFrameSteps[kCabSystemCount] = {};
// One past the last step taken. The frame compares with it as it stands at each step, so that the
// loop keeps no end of its own.
static FrameStep* gFrameStepsEnd = gFrameSteps;
// The set the shell counts in (the common set), taken with the frame steps' sets: counting goes
// back to it after the further systems' frame routines.
static DemandSet* gShellDemands = nullptr;
// Some further system runs: the frame cycle calls their routines after the U-Bahn cab's.
static bool gFurtherFrames = false;

static void ReadRunSwitches() {
  gFrameStepsEnd = gFrameSteps;
  for (int i = 0; i < kCabSystemCount; i++) {
    gRuns[i] = SystemRuns(gRows[i]->system);
    if (gRuns[i] && gRows[i]->frame != nullptr) {
      *gFrameStepsEnd++ = FrameStep{gRows[i]->frame, gRows[i]->system, nullptr};
    }
  }
  gFurtherFrames = gFrameStepsEnd != gFrameSteps;
}

// The frame steps follow the demand sets as they were made (or released) last.
static void TakeStepDemands() {
  for (FrameStep* step = gFrameSteps; step != gFrameStepsEnd; step++) step->demands = DemandsOf(step->system);
  gShellDemands = DemandsOf(SYS_SHELL);
}

static bool UBahnRuns() { return gRuns[0]; }

// The frame routines of the further systems that run, kept out of the frame cycle's body. The
// frame calls it only when some further system runs (gFurtherFrames): there is a first step.
__attribute__((noinline)) static void RunFurtherFrames() {
  const FrameStep* step = gFrameSteps;
  do {
    CountIn(step->demands);
    step->frame();
    step++;
  } while (step != gFrameStepsEnd);
  CountIn(gShellDemands);
}

// A key offered to the systems in the order of the key list, each system once (its keys stand
// together there), with its key-down or key-up handler as `up` says; a system that does not run
// only when its keys answer anyway.
static void OfferKey(int key, bool up) {
  for (int k = 0; k < kKeyBindingCount; k++) {
    if (k > 0 && kKeyBindings[k - 1].system == kKeyBindings[k].system) continue;
    for (int i = 0; i < kCabSystemCount; i++) {
      const CabSystemRow& system = *gRows[i];
      if (system.system != kKeyBindings[k].system) continue;
      if (!gRuns[i] && !kCabSystemKeysWhenOff[system.system]) continue;
      void (*handler)(int) = up ? system.keyUp : system.keyDown;
      if (handler == nullptr) continue;
      UseDemandsOf(system.system);
      handler(key);
    }
  }
  UseDemandsOf(SYS_SHELL);
}

// The driver moved a control: every system that has started hears it, whether it runs or not
// (the U-Bahn cab starts only when it runs).
static void TellDriverMoved(DriverControl control, int value) {
  for (int i = 0; i < kCabSystemCount; i++) {
    const CabSystemRow& system = *gRows[i];
    if (!(gRuns[i] || system.startsWhenOff) || system.driverMoved == nullptr) continue;
    UseDemandsOf(system.system);
    system.driverMoved(control, value);
  }
  UseDemandsOf(SYS_SHELL);
}

// The host's doors opened or closed: the systems that run hear it.
static void TellDoors(bool open) {
  for (int i = 0; i < kCabSystemCount; i++) {
    if (!gRuns[i] || gRows[i]->doors == nullptr) continue;
    UseDemandsOf(gRows[i]->system);
    gRows[i]->doors(open);
  }
  UseDemandsOf(SYS_SHELL);
}

// Whether config/fixed_wiring.def names this beacon type for the system.
static bool BeaconTypeOf(int32_t type, CabSystem system) {
  for (int b = 0; b < kBeaconTypeCount; b++) {
    if (kBeaconTypes[b].type == type && kBeaconTypes[b].system == system) return true;
  }
  return false;
}

int CabSystemRowCount() { return kCabSystemCount; }

const CabSystemRow& CabSystemRowAt(int index) { return *kCabSystemRows[index]; }

void UseCabSystemRowsForTesting(const CabSystemRow* const* rows) {
  gRows = rows != nullptr ? rows : kCabSystemRows;
}

extern "C" {

ATS_EXPORT void ATS_CALL Load() {
  ClearReserves();
  WriteToReserves();
}

ATS_EXPORT void ATS_CALL Dispose() {
  ScrapConfig();
  DestroyHandles();
  TakeStepDemands();
  for (int i = 0; i < kCabSystemCount; i++) {
    if (gRows[i]->end != nullptr) gRows[i]->end();
  }
}

ATS_EXPORT int ATS_CALL GetPluginVersion() { return kPluginVersion; }

ATS_EXPORT void ATS_CALL SetVehicleSpec(ATS_VEHICLESPEC spec) { gTrainspecs = spec; }

ATS_EXPORT void ATS_CALL Initialize(int brake) {
  WriteToReserves();
  ScrapConfig();
  SetDefaults();
  LoadConfig();  // without a file the defaults stay in force

  ReadRunSwitches();

  // The handle arbitration serves the driver and every system, whichever runs; each further
  // system that runs keeps its demands in a set of its own, so that no other system's rule
  // withdraws them. Each system's routines count in its set (the common one without).
  DestroyHandles();
  InitHandles();
  for (int i = 0; i < kCabSystemCount; i++) {
    if (gRuns[i]) GiveOwnDemands(gRows[i]->system);
  }
  TakeStepDemands();
  for (int i = 0; i < kCabSystemCount; i++) {
    const CabSystemRow& system = *gRows[i];
    if (!gRuns[i] && !system.startsWhenOff) continue;
    UseDemandsOf(system.system);
    if (system.end != nullptr) system.end();
    system.start(brake);
  }
  UseDemandsOf(SYS_SHELL);
}

ATS_EXPORT ATS_HANDLES ATS_CALL Elapse(ATS_VEHICLESTATE state, int* panel, int* sound) {
  // Adopt the host's arrays; what was written before lands in them from the reserves.
  // A null array is never adopted: writes keep going where they went. The steady frame hands
  // over the arrays of the frame before, so that test comes first.
  if (panel != gPanel && panel != nullptr) AdoptPanel(panel);
  if (sound != gSound && sound != nullptr) AdoptSound(sound);
  gState = state;

  // The U-Bahn cab's steps first, then the further systems' routines in table order.
  if (UBahnRuns()) UBahnFrame();
  if (gFurtherFrames) RunFurtherFrames();

  return gHandles;
}

ATS_EXPORT void ATS_CALL SetPower(int notch) {
  SetPowerHandle(notch);
  TellDriverMoved(kDriverPower, notch);
}

ATS_EXPORT void ATS_CALL SetBrake(int notch) {
  SetBrakeHandle(notch);
  TellDriverMoved(kDriverBrake, notch);
}

ATS_EXPORT void ATS_CALL SetReverser(int position) {
  if (Opt(OPT_reverserindex) != kUnwired) SetPanelOpt(OPT_reverserindex, position == -1 ? 2 : position);
  SetReverserHandle(position);
  TellDriverMoved(kDriverReverser, position);
}

ATS_EXPORT void ATS_CALL KeyDown(int key) { OfferKey(key, false); }

ATS_EXPORT void ATS_CALL KeyUp(int key) { OfferKey(key, true); }

ATS_EXPORT void ATS_CALL HornBlow(int type) { TellDriverMoved(kDriverHorn, type); }

ATS_EXPORT void ATS_CALL DoorOpen() { TellDoors(true); }

ATS_EXPORT void ATS_CALL DoorClose() { TellDoors(false); }

ATS_EXPORT void ATS_CALL SetSignal(int signal) {}

ATS_EXPORT void ATS_CALL SetBeaconData(ATS_BEACONDATA beacon) {
  for (int i = 0; i < kCabSystemCount; i++) {
    const CabSystemRow& system = *gRows[i];
    if (!gRuns[i] || system.beacon == nullptr || !BeaconTypeOf(beacon.Type, system.system)) continue;
    UseDemandsOf(system.system);
    system.beacon(beacon);
  }
  UseDemandsOf(SYS_SHELL);
}

}  // extern "C"
