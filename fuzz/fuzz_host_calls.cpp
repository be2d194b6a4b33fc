// Fuzz target: the bytes are decoded into a stream of calls of all sixteen entry points with any
// arguments, against a fully wired configuration. An input whose first byte is kEverySystemMark
// plays with every cab system running (EverySystemConfigText); the byte is decoded as well. After every frame the returned handles must
// name notches of the vehicle initialized last.
#include <cstdint>
#include <vector>

#include "fuzz_support.h"

namespace {

const int kElements = 256;  // panel and sound elements of one host array
const uint8_t kEverySystemMark = 0xA5;  // first byte of an input played with every system running

// The configurations an input can choose.
enum FuzzConfig { kConfigNone, kConfigWired, kConfigEverySystem };

enum Call {
  kLoad, kDispose, kGetPluginVersion, kSetVehicleSpec, kInitialize, kElapse, kSetPower, kSetBrake,
  kSetReverser, kKeyDown, kKeyUp, kHornBlow, kDoorOpen, kDoorClose, kSetSignal, kSetBeaconData,
  kCallCount
};

// The host's side: its arrays (exactly 256 elements each, so a stray write is caught), clock,
// place and the vehicles described.
struct Host {
  std::vector<int> panels[2];
  std::vector<int> sounds[2];
  int32_t time;
  double location;
  ATS_VEHICLESPEC described;    // the last SetVehicleSpec
  ATS_VEHICLESPEC initialized;  // the vehicle at the last Initialize: the handles' bounds
};

int* PickArray(FuzzedDataProvider& data, std::vector<int>* arrays) {
  int pick = data.ConsumeIntegralInRange(0, 2);
  return pick == 2 ? nullptr : arrays[pick].data();
}

void Play(Host& host, FuzzedDataProvider& data, Call call) {
  switch (call) {
    case kLoad: Load(); break;
    case kDispose: Dispose(); break;
    case kGetPluginVersion: Require(GetPluginVersion() == kPluginVersion, "interface version changed"); break;
    case kSetVehicleSpec:
      host.described = ATS_VEHICLESPEC{FuzzInt(data), FuzzInt(data), FuzzInt(data), FuzzInt(data), FuzzInt(data)};
      SetVehicleSpec(host.described);
      break;
    case kInitialize:
      Initialize(FuzzInt(data));
      host.initialized = host.described;
      break;
    case kElapse: {
      ATS_VEHICLESTATE state = {};
      host.time = FuzzClock(data, host.time);
      state.Speed = FuzzSpeed(data);
      host.location += data.ConsumeBool() ? data.ConsumeFloatingPoint<double>() : data.ConsumeFloatingPointInRange(0.0, 30.0);
      state.Location = host.location;
      state.Time = host.time;
      state.BpPressure = data.ConsumeFloatingPointInRange(0.0f, 600.0f);
      int* panel = PickArray(data, host.panels);
      int* sound = PickArray(data, host.sounds);
      RequireHandlesInRange(Elapse(state, panel, sound), host.initialized);
      break;
    }
    case kSetPower: SetPower(FuzzInt(data)); break;
    case kSetBrake: SetBrake(FuzzInt(data)); break;
    case kSetReverser: SetReverser(FuzzInt(data)); break;
    case kKeyDown: KeyDown(FuzzInt(data)); break;
    case kKeyUp: KeyUp(FuzzInt(data)); break;
    case kHornBlow: HornBlow(FuzzInt(data)); break;
    case kDoorOpen: DoorOpen(); break;
    case kDoorClose: DoorClose(); break;
    case kSetSignal: SetSignal(FuzzInt(data)); break;
    case kSetBeaconData: SetBeaconData(FuzzBeacon(data)); break;
    default: break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  EnterFuzzFolder();
  static Host host;
  static FuzzConfig written = kConfigNone;
  if (written == kConfigNone) {
    for (int i = 0; i < 2; i++) {
      host.panels[i].assign(kElements, 0);
      host.sounds[i].assign(kElements, 0);
    }
  }
  const FuzzConfig wanted = size > 0 && bytes[0] == kEverySystemMark ? kConfigEverySystem : kConfigWired;
  if (wanted != written) {
    WriteFuzzConfig(wanted == kConfigEverySystem ? EverySystemConfigText() : WiredConfigText());
    written = wanted;
  }
  FuzzedDataProvider data(bytes, size);
  // Each input is one session of the host, which the stream may break up as it likes.
  host.time = 0;
  host.location = 0.0;
  host.described = StandardSpec();
  Load();
  SetVehicleSpec(host.described);
  Initialize(0);
  host.initialized = host.described;
  while (data.remaining_bytes() > 0) {
    Play(host, data, static_cast<Call>(data.ConsumeIntegralInRange(0, kCallCount - 1)));
  }
  Dispose();
  LeaveFuzzFolder();
  return 0;
}
