// Fuzz target: the bytes are the configuration file. A fixed drive plays every key, several
// speeds and every beacon type through the entry points, initializes again and disposes.
#include <cstdint>
#include <cstring>
#include <set>
#include <string>

#include "config/confload.h"
#include "fuzz_support.h"

namespace {

const int kHostKeys = 16;  // keys the host itself sends: every fixed key is one of them
const float kSpeeds[] = {0.0f, 3.0f, 25.0f, 45.0f, 80.0f, -5.0f};  // km/h, one stretch each
const int kFramesPerSpeed = 12;
const int32_t kFrameStep = 250;  // ms
const int32_t kBeaconSignals[] = {0, 1, 2, 5};

// The drive's host: clock, place and the arrays handed to Elapse.
struct Drive {
  int panel[256];
  int sound[256];
  int32_t time;
  double location;
  ATS_VEHICLESPEC spec;
};

void Frame(Drive& drive, float speed) {
  drive.time += kFrameStep;
  drive.location += speed * kFrameStep / 3600.0;
  ATS_VEHICLESTATE state = {};
  state.Location = drive.location;
  state.Speed = speed;
  state.Time = drive.time;
  state.BpPressure = 490.0f;
  RequireHandlesInRange(Elapse(state, drive.panel, drive.sound), drive.spec);
}

// Every key number the file names: the values of the options that set a key.
std::set<int32_t> NamedKeys() {
  std::set<int32_t> keys;
  for (int i = 0; i < OPTION_COUNT; i++) {
    const char* meaning = kOptionMeanings[i] != nullptr ? kOptionMeanings[i] : "";
    if (strstr(meaning, "key number") == nullptr) continue;
    keys.insert(Opt(static_cast<OptionId>(i)));
    int32_t value;
    for (int n = 0; OptFurther(static_cast<OptionId>(i), n, &value); n++) keys.insert(value);
  }
  return keys;
}

void Press(Drive& drive, int32_t key) {
  KeyDown(key);
  Frame(drive, 0.0f);
  KeyUp(key);
  Frame(drive, 0.0f);
}

// A beacon of this type with each signal aspect.
void PassBeacon(int32_t type) {
  for (int32_t signal : kBeaconSignals) SetBeaconData(ATS_BEACONDATA{type, signal, 50.0f, signal * 20});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  EnterFuzzFolder();
  WriteFuzzConfig(std::string(reinterpret_cast<const char*>(bytes), size));
  static Drive drive;
  drive.time = 0;
  drive.location = 0.0;
  drive.spec = StandardSpec();

  Load();
  SetVehicleSpec(drive.spec);
  Initialize(1);
  Frame(drive, 0.0f);
  SetReverser(1);
  SetBrake(0);
  for (int key = 0; key < kHostKeys; key++) Press(drive, key);
  for (int32_t key : NamedKeys()) Press(drive, key);
  for (float speed : kSpeeds) {
    SetPower(speed > 0.0f ? drive.spec.PowerNotches : 0);
    for (int i = 0; i < kFramesPerSpeed; i++) Frame(drive, speed);
    for (int32_t type = 0; type < kLowBeaconTypes; type++) PassBeacon(type);
    for (int32_t base : kProtectionBeaconBases) {
      for (int32_t type = base; type < base + kProtectionBeaconSpan; type++) PassBeacon(type);
    }
    Frame(drive, speed);
  }
  HornBlow(0);
  SetBrake(drive.spec.BrakeNotches + 1);
  Frame(drive, 0.0f);
  Initialize(0);
  Frame(drive, 0.0f);
  Dispose();
  LeaveFuzzFolder();
  return 0;
}
