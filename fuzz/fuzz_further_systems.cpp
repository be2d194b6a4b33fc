// Fuzz target: the further cab systems that no entry point drives yet. The bytes start with a
// configuration file that switches systems on (ended by a backslash), then a stream of frames,
// keys, beacons and handle moves that reach each system's own per-frame routine and its key and
// beacon handlers besides the entry points. The handles stay within the vehicle's notches.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
// The cab systems' own routines; these includes follow the layout of src/.
#include "power/powercontrol.h"
#include "protection/br_safety.h"
#include "protection/de_safety.h"
#include "supervision/misc.h"
#include "supervision/speedcontrol.h"
#include "supervision/vigilance.h"
#include "traction/traction.h"
#include "windshield/windshield.h"

namespace {

const size_t kMaxConfigBytes = 4096;
const int kMaxNotches = 12;

enum Step { kFrame, kKeyDown, kKeyUp, kBeacon, kHandle, kHorn, kDoors, kProtection, kRestart, kStepCount };

struct Cab {
  int panel[256];
  int sound[256];
  int32_t time;
  double location;
  ATS_VEHICLESPEC spec;
};

// One frame: the entry point, then every further system's own step.
void Frame(Cab& cab, FuzzedDataProvider& data) {
  ATS_VEHICLESTATE state = {};
  cab.time = FuzzClock(data, cab.time);
  cab.location += data.ConsumeBool() ? data.ConsumeFloatingPoint<double>() : data.ConsumeFloatingPointInRange(0.0, 30.0);
  state.Time = cab.time;
  state.Speed = FuzzSpeed(data);
  state.Location = cab.location;
  state.BpPressure = data.ConsumeFloatingPointInRange(0.0f, 600.0f);
  Elapse(state, cab.panel, cab.sound);
  CheckVigilance();
  CheckSpeed(gState.Speed);
  RunMiscellaneous();
  BRSafety();
  DESafety();
  PowerControl();
  RunTraction();
  AnimateWindshield();
  RequireHandlesInRange(gHandles, cab.spec);
}

void Play(Cab& cab, FuzzedDataProvider& data, Step step) {
  switch (step) {
    case kFrame: Frame(cab, data); break;
    case kKeyDown: {
      int32_t key = FuzzInt(data);
      KeyDown(key);
      VigilanceKeyPressed(key, true);
      miscKeyPressed(key);
      DESafetyKeyPressed(key);
      TractionKeyPressed(key);
      break;
    }
    case kKeyUp: KeyUp(FuzzInt(data)); break;
    case kBeacon: {
      ATS_BEACONDATA beacon = FuzzBeacon(data);
      SetBeaconData(beacon);
      SetBRSafetyStatus(beacon);
      SetDESafetyStatus(beacon);
      PowerBeacon(beacon);
      TractionSetData(beacon);
      WindshieldBeacon(beacon);
      break;
    }
    case kHandle: {
      int32_t value = data.ConsumeBool() ? FuzzInt(data) : data.ConsumeIntegralInRange(-1, kMaxNotches + 1);
      switch (data.ConsumeIntegralInRange(0, 2)) {
        case 0: SetPower(value); break;
        case 1: SetBrake(value); break;
        default: SetReverser(value); break;
      }
      break;
    }
    case kHorn: HornBlow(FuzzInt(data)); break;
    case kDoors:
      setDoorSide(data.ConsumeIntegral<int8_t>());
      setDoorState(data.ConsumeBool());
      setDoorIndicators();
      break;
    case kProtection:
      if (data.ConsumeBool()) {
        PZB90Emergency();
      } else {
        BRSafetyReverserMovedOff();
      }
      break;
    case kRestart: Initialize(FuzzInt(data)); break;
    default: break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  EnterFuzzFolder();
  FuzzedDataProvider data(bytes, size);
  WriteFuzzConfig(data.ConsumeRandomLengthString(kMaxConfigBytes));
  static Cab cab;
  cab.time = 0;
  cab.location = 0.0;
  cab.spec = ATS_VEHICLESPEC{data.ConsumeIntegralInRange(0, kMaxNotches), data.ConsumeIntegralInRange(0, kMaxNotches),
                             1, 1, data.ConsumeIntegralInRange(1, 10)};
  Load();
  SetVehicleSpec(cab.spec);
  Initialize(data.ConsumeIntegralInRange(0, 2));
  while (data.remaining_bytes() > 0) Play(cab, data, static_cast<Step>(data.ConsumeIntegralInRange(0, kStepCount - 1)));
  Dispose();
  LeaveFuzzFolder();
  return 0;
}
