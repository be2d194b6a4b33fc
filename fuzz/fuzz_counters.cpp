// Fuzz target: the bytes become the counter files Z1..Z3.dat, each present or absent, then a
// session raises the counters by trip-stop resets, overrides and kilometres. No value reads
// negative, a file of plain digits reads as its number, each raised counter's file holds exactly
// its digits, and the next Initialize reads them back.
#include <climits>
#include <cstdint>
#include <string>

#include "config/confload.h"
#include "fuzz_support.h"
#include "harness/harness.h"

namespace {

const int kCounters = 3;                   // Z1 resets, Z2 overrides, Z3 kilometres
const int kDisplays[kCounters] = {1, 2, 3};  // panel elements showing the three counters in full
const int32_t kTripPointAtSignal = 44002;  // beacon of a trip point at a signal; aspect 0 trips
const int32_t kTripStopKey = 0;            // host key of the trip-stop button
const double kKilometre = 1000.0;          // m
const int kMaxRaises = 8;

enum Raise { kRaiseReset, kRaiseOverride, kRaiseKilometre };

struct Session {
  int panel[256];
  int sound[256];
  int32_t time;
  double location;
};

void Frame(Session& session, float speed, double location) {
  session.time += 100;
  session.location = location;
  ATS_VEHICLESTATE state = {};
  state.Location = location;
  state.Speed = speed;
  state.Time = session.time;
  RequireHandlesInRange(Elapse(state, session.panel, session.sound), StandardSpec());
}

// The number a file of plain digits stands for, held at the 32-bit maximum.
int32_t PlainNumber(const std::string& digits) {
  size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 0;
  std::string significant = digits.substr(first);
  if (significant.size() > 10) return INT32_MAX;
  long long value = std::stoll(significant);
  return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

bool PlainDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

void RequireDisplays(const Session& session, const int32_t* expected, const char* when) {
  for (int k = 0; k < kCounters; k++) Require(session.panel[kDisplays[k]] == expected[k], when);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  EnterFuzzFolder();
  FuzzedDataProvider data(bytes, size);
  static Session session;
  session.time = 0;

  std::string content[kCounters];
  bool present[kCounters];
  for (int k = 0; k < kCounters; k++) {
    present[k] = data.ConsumeBool();
    content[k] = data.ConsumeRandomLengthString(48);
    if (present[k]) {
      Require(WriteWholeFile(FuzzCounterPath(k + 1), content[k]), "cannot write a counter file");
    } else {
      RemoveFile(FuzzCounterPath(k + 1));
    }
  }
  const int32_t read[kCounters] = {read_zaehlwerk1(), read_zaehlwerk2(), read_kilometer()};
  for (int k = 0; k < kCounters; k++) {
    Require(read[k] >= 0, "a counter reads negative");
    if (present[k] && PlainDigits(content[k])) Require(read[k] == PlainNumber(content[k]), "plain digits misread");
    if (!present[k]) Require(read[k] == 0, "a missing counter file reads other than 0");
  }

  std::string config;
  const OptionId displays[kCounters] = {OPT_zaehlwerk1_1, OPT_zaehlwerk2_1, OPT_kilometer_1};
  for (int k = 0; k < kCounters; k++) config += std::string(kOptionKeys[displays[k]]) + std::to_string(kDisplays[k]) + "\n";
  WriteFuzzConfig(config);

  Load();
  SetVehicleSpec(StandardSpec());
  Initialize(0);
  Frame(session, 0.0f, 0.0);
  Initialize(0);  // a restart here: the kilometres count from this place
  Frame(session, 0.0f, 0.0);
  RequireDisplays(session, read, "the counters shown are not those in the files");

  int32_t expected[kCounters] = {read[0], read[1], read[2]};
  bool raised[kCounters] = {false, false, false};
  int raises = data.ConsumeIntegralInRange(0, kMaxRaises);
  for (int i = 0; i < raises; i++) {
    Raise raise = static_cast<Raise>(data.ConsumeIntegralInRange(0, 2));
    if (raise == kRaiseKilometre) {
      Frame(session, 10.0f, session.location + kKilometre + 1.0);
    } else {
      Frame(session, 0.0f, session.location);
      if (raise == kRaiseOverride) KeyDown(kTripStopKey);
      SetBeaconData(ATS_BEACONDATA{kTripPointAtSignal, 0, 10.0f, 0});
      if (raise == kRaiseReset) KeyDown(kTripStopKey);
      KeyUp(kTripStopKey);
    }
    if (expected[raise] < INT32_MAX) expected[raise]++;
    raised[raise] = true;
  }
  Frame(session, 0.0f, session.location);
  RequireDisplays(session, expected, "the counters shown are not those raised");

  for (int k = 0; k < kCounters; k++) {
    std::string now;
    bool exists = ReadWholeFile(FuzzCounterPath(k + 1), &now);
    if (raised[k]) {
      Require(exists && now == std::to_string(expected[k]), "a raised counter's file does not hold its digits");
    } else {
      Require(exists == present[k] && (!exists || now == content[k]), "a counter file changed without a raise");
    }
  }

  Initialize(0);
  Frame(session, 0.0f, session.location);
  RequireDisplays(session, expected, "the next start does not read the counters back");
  Dispose();
  LeaveFuzzFolder();
  return 0;
}
