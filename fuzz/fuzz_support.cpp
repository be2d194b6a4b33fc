// The shared side of the fuzz targets: play folder, configuration file, argument decoding, checks.
#include "fuzz_support.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "config/confload.h"
#include "harness/harness.h"

static PlayFolder gFolder;       // the play folder; root empty until made
static std::string gConfigPath;  // its configuration file, read through SetConfigPathOverride

static void RemoveFuzzFolder() { RemovePlayFolder(&gFolder); }

void EnterFuzzFolder() {
  std::string error;
  if (gFolder.root.empty()) {
    if (!CreatePlayFolder(&gFolder, &error)) Require(false, error.c_str());
    gConfigPath = JoinPath(gFolder.pluginDir, "Velmora.cfg");
    SetConfigPathOverride(gConfigPath.c_str());
    atexit(RemoveFuzzFolder);
  }
  if (!EnterPlayFolder(&gFolder, &error)) Require(false, error.c_str());
}

void LeaveFuzzFolder() { LeavePlayFolder(&gFolder); }

void WriteFuzzConfig(const std::string& text) {
  Require(WriteWholeFile(gConfigPath, text), "cannot write the configuration file");
}

std::string FuzzCounterPath(int n) { return CounterFilePath(gFolder, n); }

std::string WiredConfigText() {
  const int kElements = 256;  // panel and sound elements
  const int kKeys = 16;       // host keys
  std::string text;
  for (int i = 0; i < OPTION_COUNT; i++) {
    const char* meaning = kOptionMeanings[i] != nullptr ? kOptionMeanings[i] : "";
    int value;
    if (strstr(meaning, "panel index") == meaning || strstr(meaning, "sound index") == meaning) {
      value = (i * 37) % kElements;  // spread over the arrays
    } else if (strstr(meaning, "key number") == meaning) {
      value = i % kKeys;
    } else {
      continue;
    }
    text += kOptionKeys[i];
    text += std::to_string(value) + "\n";
  }
  return text;
}

std::string EverySystemConfigText() {
  return WiredConfigText() +
         "runubahn=1\nrunpowergaps=1\nrunwipers=1\nrunawstpws=1\nrunvigilance=1\nrunoverspeed=1\n"
         "runcabindicators=1\nruntraction=1\nrunpzb90=1\n"
         "system=2\nvigilance=1\noverspeedcontrol=1\npzb90=1\ntraction=1\nstartuptest=2\n"
         "powerpickuppoints=0,10\nnumberofdrops=8\nwiperdelay=1000\ntravelmetermode=0\n";
}

ATS_VEHICLESPEC StandardSpec() {
  ATS_VEHICLESPEC spec = {8, 5, 1, 6, 4};
  return spec;
}

void Require(bool ok, const char* what) {
  if (ok) return;
  fprintf(stderr, "fuzz check failed: %s\n", what);
  abort();
}

void RequireHandlesInRange(const ATS_HANDLES& handles, const ATS_VEHICLESPEC& spec) {
  char message[160];
  if (spec.BrakeNotches >= 0 && (handles.Brake < 0 || handles.Brake > int64_t{spec.BrakeNotches} + 1)) {
    snprintf(message, sizeof message, "brake %d outside 0..%lld", handles.Brake,
             static_cast<long long>(spec.BrakeNotches) + 1);
    Require(false, message);
  }
  if (spec.PowerNotches >= 0 && (handles.Power < 0 || handles.Power > spec.PowerNotches)) {
    snprintf(message, sizeof message, "power %d outside 0..%d", handles.Power, spec.PowerNotches);
    Require(false, message);
  }
  if (handles.Reverser < -1 || handles.Reverser > 1) {
    snprintf(message, sizeof message, "reverser %d outside -1..1", handles.Reverser);
    Require(false, message);
  }
}

int32_t FuzzInt(FuzzedDataProvider& data) {
  switch (data.ConsumeIntegralInRange(0, 7)) {
    case 0: return std::numeric_limits<int32_t>::min();
    case 1: return std::numeric_limits<int32_t>::max();
    case 2: return data.ConsumeIntegral<int32_t>();
    default: return data.ConsumeIntegralInRange(-3, 20);
  }
}

float FuzzSpeed(FuzzedDataProvider& data) {
  switch (data.ConsumeIntegralInRange(0, 9)) {
    case 0: return std::numeric_limits<float>::quiet_NaN();
    case 1: return std::numeric_limits<float>::infinity();
    case 2: return -std::numeric_limits<float>::infinity();
    case 3: return data.ConsumeFloatingPoint<float>();  // anything, huge included
    case 4: return -data.ConsumeFloatingPointInRange(0.0f, 120.0f);
    default: return data.ConsumeFloatingPointInRange(0.0f, 120.0f);
  }
}

int32_t FuzzClock(FuzzedDataProvider& data, int32_t now) {
  uint32_t base = static_cast<uint32_t>(now);
  switch (data.ConsumeIntegralInRange(0, 7)) {
    case 0: return static_cast<int32_t>(base - data.ConsumeIntegralInRange<uint32_t>(0, 5000));  // backward
    case 1: return std::numeric_limits<int32_t>::max() - data.ConsumeIntegralInRange(0, 100);  // about to wrap
    case 2: return data.ConsumeIntegral<int32_t>();
    default: return static_cast<int32_t>(base + data.ConsumeIntegralInRange<uint32_t>(0, 1000));  // wraps too
  }
}

ATS_BEACONDATA FuzzBeacon(FuzzedDataProvider& data) {
  ATS_BEACONDATA beacon;
  switch (data.ConsumeIntegralInRange(0, 3)) {
    case 0: beacon.Type = data.ConsumeIntegral<int32_t>(); break;
    case 1:
      beacon.Type = kProtectionBeaconBases[data.ConsumeBool()] + data.ConsumeIntegralInRange(0, kProtectionBeaconSpan - 1);
      break;
    default: beacon.Type = data.ConsumeIntegralInRange(0, kLowBeaconTypes - 1); break;
  }
  beacon.Signal = FuzzInt(data);
  beacon.Distance = data.ConsumeBool() ? FuzzSpeed(data) : data.ConsumeFloatingPointInRange(-10.0f, 2000.0f);
  beacon.Optional = FuzzInt(data);
  return beacon;
}
