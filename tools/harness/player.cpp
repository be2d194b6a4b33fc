// Playing a scenario through a loaded library the way the host does: Load, the events in time
// order with one Elapse per frame on the host's own arrays, Dispose; one trace row per frame.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "harness/harness.h"

// The host's side of the run: clock, motion and the arrays handed to Elapse.
struct HostRun {
  const VelmoraLibrary* library;
  const Scenario* scenario;
  const PlaySetup* setup;
  HostArrays* arrays;
  TraceSink sink;
  void* context;
  ExpectationReport* report;  // null when nobody asks
  int32_t time;        // ms of the last frame
  double speed;        // km/h of the last frame
  double location;     // m of the last frame
  TraceRow row;        // reused for every frame
  HostArrays seen;     // the host's arrays as the last frame left them, for expect lines
  bool keepArrays;     // the scenario has expect lines, so seen is kept
  std::string configLines;  // the scenario's config lines met so far, each with its line end
  std::string failure;      // what the last expect line found wrong; empty when it was met
  std::string error;        // why the play cannot go on
};

static bool Stopped(const HostRun* run) { return run->setup->stop != nullptr && *run->setup->stop != 0; }

// The host starts every sound that the frame asked to play once, and the element no longer asks.
static void StartPlayOnceSounds(HostArrays* arrays) {
  for (int& value : arrays->sound) {
    if (value == SOUND_PLAY) value = kSoundStarted;
  }
}

// One Elapse at time t with speed v; the location is integrated from the speeds unless given.
static void Frame(HostRun* run, int32_t t, double speed, bool hasLocation, double location) {
  if (hasLocation) {
    run->location = location;
  } else {
    // Trapezoid between the last frame and this one: km/h times ms gives metres over 3600.
    double moved = (run->speed + speed) / 2.0 * (static_cast<double>(t) - run->time) / 3600.0;
    if (std::isfinite(moved)) run->location += moved;
  }
  run->time = t;
  run->speed = speed;

  ATS_VEHICLESTATE state = {};
  state.Location = run->location;
  state.Speed = ToHostFloat(speed);
  state.Time = t;
  ATS_HANDLES handles = run->library->Elapse(state, run->arrays->panel, run->arrays->sound);

  TraceRow& row = run->row;
  row.time = t;
  row.speed = state.Speed;
  row.location = run->location;
  row.handles = handles;
  const std::vector<Watch>& watches = run->scenario->watches;
  row.watched.resize(watches.size());
  for (size_t i = 0; i < watches.size(); i++) {
    const int* array = watches[i].array == kWatchPanel ? run->arrays->panel : run->arrays->sound;
    row.watched[i] = array[watches[i].index];
  }
  if (run->keepArrays) memcpy(&run->seen, run->arrays, sizeof run->seen);
  if (run->sink != nullptr) run->sink(row, run->context);
  StartPlayOnceSounds(run->arrays);
}

// Frames every step ms for duration ms, the speed ramped linearly from `from` to `to`.
static void Run(HostRun* run, int32_t duration, int32_t step, double from, double to) {
  int64_t start = run->time;
  int64_t end = start + duration;
  for (int64_t t = start + step; duration > 0 && !Stopped(run); t += step) {
    if (t > end) t = end;
    double speed = from;
    if (to != from) speed = from + (to - from) * static_cast<double>(t - start) / duration;
    Frame(run, static_cast<int32_t>(t), speed, false, 0.0);
    if (t == end) break;
  }
}

// The configuration file at an initialize: the base text, then the scenario's lines so far.
static bool WriteConfiguration(const PlaySetup& setup, const std::string& lines, std::string* error) {
  if (setup.baseConfig.empty() && lines.empty()) return true;  // the library keeps its defaults
  std::string text = setup.baseConfig;
  // The scenario's lines start on a line of their own, however the base text ends.
  while (!text.empty() && (text[text.size() - 1] == '\n' || text[text.size() - 1] == '\r')) text.erase(text.size() - 1);
  if (!text.empty()) text += "\n";
  text += lines;
  if (!WriteWholeFile(setup.configPath, text)) {
    *error = "cannot write the configuration file " + setup.configPath;
    return false;
  }
  return true;
}

// One function per kind of event; false when the play cannot go on (error says why).

static bool PlaySpec(HostRun* run, const ScenarioEvent& event) {
  run->library->SetVehicleSpec(event.spec);
  return true;
}

static bool PlayConfig(HostRun* run, const ScenarioEvent& event) {
  run->configLines += event.text + "\n";
  return true;
}

static bool PlayInitialize(HostRun* run, const ScenarioEvent& event) {
  if (!WriteConfiguration(*run->setup, run->configLines, &run->error)) return false;
  run->library->Initialize(event.brakeMode);
  return true;
}

static bool PlayFrame(HostRun* run, const ScenarioEvent& event) {
  Frame(run, event.time, event.speed, event.hasLocation, event.location);
  return true;
}

static bool PlayRun(HostRun* run, const ScenarioEvent& event) {
  Run(run, event.duration, event.step, event.speed, event.endSpeed);
  return true;
}

static bool PlayKeyDown(HostRun* run, const ScenarioEvent& event) {
  run->library->KeyDown(event.key);
  return true;
}

static bool PlayKeyUp(HostRun* run, const ScenarioEvent& event) {
  run->library->KeyUp(event.key);
  return true;
}

// Down, frames at the current speed while it is held, up.
static bool PlayKey(HostRun* run, const ScenarioEvent& event) {
  run->library->KeyDown(event.key);
  Run(run, event.duration, event.step, run->speed, run->speed);
  run->library->KeyUp(event.key);
  return true;
}

static bool PlayPower(HostRun* run, const ScenarioEvent& event) {
  run->library->SetPower(event.value);
  return true;
}

static bool PlayBrake(HostRun* run, const ScenarioEvent& event) {
  run->library->SetBrake(event.value);
  return true;
}

static bool PlayReverser(HostRun* run, const ScenarioEvent& event) {
  run->library->SetReverser(event.value);
  return true;
}

static bool PlayHorn(HostRun* run, const ScenarioEvent& event) {
  run->library->HornBlow(event.value);
  return true;
}

static bool PlayBeacon(HostRun* run, const ScenarioEvent& event) {
  ATS_BEACONDATA beacon = {event.beaconType, event.beaconSignal, ToHostFloat(event.beaconDistance),
                           event.beaconOptional};
  run->library->SetBeaconData(beacon);
  return true;
}

static bool PlayDoorOpen(HostRun* run, const ScenarioEvent&) {
  run->library->DoorOpen();
  return true;
}

static bool PlayDoorClose(HostRun* run, const ScenarioEvent&) {
  run->library->DoorClose();
  return true;
}

static bool PlaySignal(HostRun* run, const ScenarioEvent& event) {
  run->library->SetSignal(event.value);
  return true;
}

// The reader lets an expect line stand only after a frame, so run->row and run->seen are that frame's.
static bool PlayExpect(HostRun* run, const ScenarioEvent& event) {
  run->failure = CheckExpectation(*run->scenario, run->scenario->expectations[event.expectation], run->row, run->seen);
  if (run->report != nullptr) {
    run->report->checked++;
    if (!run->failure.empty()) run->report->failures.push_back(run->failure);
  }
  return true;
}

static bool PlayEvent(HostRun* run, const ScenarioEvent& event) {
  switch (event.kind) {
    case kEventSpec: return PlaySpec(run, event);
    case kEventConfig: return PlayConfig(run, event);
    case kEventInitialize: return PlayInitialize(run, event);
    case kEventFrame: return PlayFrame(run, event);
    case kEventRun: return PlayRun(run, event);
    case kEventKeyDown: return PlayKeyDown(run, event);
    case kEventKeyUp: return PlayKeyUp(run, event);
    case kEventKey: return PlayKey(run, event);
    case kEventPower: return PlayPower(run, event);
    case kEventBrake: return PlayBrake(run, event);
    case kEventReverser: return PlayReverser(run, event);
    case kEventHorn: return PlayHorn(run, event);
    case kEventBeacon: return PlayBeacon(run, event);
    case kEventDoorOpen: return PlayDoorOpen(run, event);
    case kEventDoorClose: return PlayDoorClose(run, event);
    case kEventSignal: return PlaySignal(run, event);
    case kEventExpect: return PlayExpect(run, event);
  }
  return true;
}

bool PlayScenario(const VelmoraLibrary& library, const Scenario& scenario, const PlaySetup& setup,
                  HostArrays* arrays, TraceSink sink, void* context, std::string* error,
                  ExpectationReport* report) {
  for (int i = 0; i < 256; i++) {
    arrays->panel[i] = 0;
    arrays->sound[i] = SOUND_STOP;
  }
  library.Load();
  int version = library.GetPluginVersion();
  if (version != kPluginVersion) {
    library.Dispose();
    *error = "the library reports interface version " + std::to_string(version) + ", expected " +
             std::to_string(kPluginVersion);
    return false;
  }

  HostRun run{};
  run.library = &library;
  run.scenario = &scenario;
  run.setup = &setup;
  run.arrays = arrays;
  run.sink = sink;
  run.context = context;
  run.report = report;
  run.keepArrays = !scenario.expectations.empty();
  for (const ScenarioEvent& event : scenario.events) {
    if (Stopped(&run)) break;
    run.failure.clear();
    if (!PlayEvent(&run, event)) {
      library.Dispose();
      *error = run.error;
      return false;
    }
    if (setup.eventSink != nullptr) setup.eventSink(event, run.time, run.failure, setup.eventContext);
  }
  library.Dispose();
  if (Stopped(&run)) {
    *error = "interrupted";
    return false;
  }
  return true;
}

std::string TraceHeader(const Scenario& scenario) {
  std::string header = "time,speed,location,brake,power,reverser,constantspeed";
  for (const Watch& watch : scenario.watches) header += "," + watch.label;
  return header;
}

// A real number with two decimals; very large magnitudes in exponent form.
static std::string FormatReal(double value) {
  char text[64];
  if (std::isfinite(value) && std::fabs(value) >= 1e15) {
    snprintf(text, sizeof text, "%.6g", value);
  } else {
    snprintf(text, sizeof text, "%.2f", value);
  }
  return text;
}

std::string TraceLine(const TraceRow& row) {
  std::string line = std::to_string(row.time) + "," + FormatReal(row.speed) + "," + FormatReal(row.location) + "," +
                     std::to_string(row.handles.Brake) + "," + std::to_string(row.handles.Power) + "," +
                     std::to_string(row.handles.Reverser) + "," + std::to_string(row.handles.ConstantSpeed);
  for (int value : row.watched) line += "," + std::to_string(value);
  return line;
}
