// Fuzz target: the bytes are decoded into a stream of calls of all sixteen entry points with any
// arguments, against a fully wired configuration. An input whose first byte is kEverySystemMark
// plays with the cab systems running that its next two bytes choose (every combination, with
// the U-Bahn cab or without it, steam or diesel traction); the bytes are decoded as calls as
// well. After every frame the returned handles must name notches of the vehicle initialized last.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace {

const int kElements = 256;  // panel and sound elements of one host array
const uint8_t kEverySystemMark = 0xA5;  // first byte of an input played with every system running

// The further systems' run switches, one bit of an input's choice each.
const char* const kRunSwitches[] = {"runpowergaps=", "runwipers=", "runawstpws=", "runvigilance=",
                                    "runoverspeed=", "runcabindicators=", "runtraction=", "runpzb90="};
const int kUBahnOff = 0x100;  // the U-Bahn cab does not run
const int kDiesel = 0x200;    // traction=2 instead of steam
const int kWiredOnly = -1;    // the choice of an input without the mark
const int kNothingWritten = -2;

// The wired configuration with every system switched on, running as `choice` says; later lines
// of a key take its place.
std::string ChosenConfigText(int choice) {
  if (choice == kWiredOnly) return WiredConfigText();
  std::string text = EverySystemConfigText();
  for (int i = 0; i < 8; i++) text += std::string(kRunSwitches[i]) + (((choice >> i) & 1) != 0 ? "1\n" : "0\n");
  text += (choice & kUBahnOff) != 0 ? "runubahn=0\n" : "runubahn=1\n";
  text += (choice & kDiesel) != 0 ? "traction=2\ngearratios=10,20,30\n" : "traction=1\n";
  return text;
}

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
  static int written = kNothingWritten;
  if (written == kNothingWritten) {
    for (int i = 0; i < 2; i++) {
      host.panels[i].assign(kElements, 0);
      host.sounds[i].assign(kElements, 0);
    }
  }
  int wanted = kWiredOnly;
  if (size >= 3 && bytes[0] == kEverySystemMark) wanted = (bytes[1] | (bytes[2] << 8)) & 0x3ff;
  if (wanted != written) {
    WriteFuzzConfig(ChosenConfigText(wanted));
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
