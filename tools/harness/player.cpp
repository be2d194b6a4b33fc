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
  HostArrays* arrays;
  TraceSink sink;
  void* context;
  int32_t time;        // ms of the last frame
  double speed;        // km/h of the last frame
  double location;     // m of the last frame
  TraceRow row;        // reused for every frame
  HostArrays seen;     // the host's arrays as the last frame left them, for expect lines
  bool keepArrays;     // the scenario has expect lines, so seen is kept
  const volatile std::sig_atomic_t* stop;  // set from outside to end the play early
};

static bool Stopped(const HostRun* run) { return run->stop != nullptr && *run->stop != 0; }

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
  run.arrays = arrays;
  run.sink = sink;
  run.context = context;
  run.time = 0;
  run.speed = 0.0;
  run.location = 0.0;
  run.row.time = 0;
  run.keepArrays = !scenario.expectations.empty();
  run.stop = setup.stop;
  std::string configLines;  // the scenario's config lines met so far, each with its line end

  for (const ScenarioEvent& event : scenario.events) {
    if (Stopped(&run)) {
      library.Dispose();
      *error = "interrupted";
      return false;
    }
    switch (event.kind) {
      case kEventSpec: {
        ATS_VEHICLESPEC spec = {event.numbers[0], event.numbers[1], event.numbers[2], event.numbers[3],
                                event.numbers[4]};
        library.SetVehicleSpec(spec);
        break;
      }
      case kEventConfig:
        configLines += event.text + "\n";
        break;
      case kEventInitialize:
        if (!WriteConfiguration(setup, configLines, error)) {
          library.Dispose();
          return false;
        }
        library.Initialize(event.numbers[0]);
        break;
      case kEventFrame:
        Frame(&run, event.numbers[0], event.reals[0], event.hasLocation, event.reals[1]);
        break;
      case kEventRun:
        Run(&run, event.numbers[0], event.numbers[1], event.reals[0], event.reals[1]);
        break;
      case kEventKeyDown:
        library.KeyDown(event.numbers[0]);
        break;
      case kEventKeyUp:
        library.KeyUp(event.numbers[0]);
        break;
      case kEventKey:
        library.KeyDown(event.numbers[0]);
        Run(&run, event.numbers[1], event.numbers[2], run.speed, run.speed);
        library.KeyUp(event.numbers[0]);
        break;
      case kEventPower:
        library.SetPower(event.numbers[0]);
        break;
      case kEventBrake:
        library.SetBrake(event.numbers[0]);
        break;
      case kEventReverser:
        library.SetReverser(event.numbers[0]);
        break;
      case kEventHorn:
        library.HornBlow(event.numbers[0]);
        break;
      case kEventBeacon: {
        ATS_BEACONDATA beacon = {event.numbers[0], event.numbers[1], ToHostFloat(event.reals[0]), event.numbers[2]};
        library.SetBeaconData(beacon);
        break;
      }
      case kEventDoorOpen:
        library.DoorOpen();
        break;
      case kEventDoorClose:
        library.DoorClose();
        break;
      case kEventSignal:
        library.SetSignal(event.numbers[0]);
        break;
      case kEventExpect: {
        // The reader lets an expect line stand only after a frame, so run.row and run.seen are that frame's.
        std::string failure = CheckExpectation(scenario, scenario.expectations[event.numbers[0]], run.row, run.seen);
        if (report != nullptr) {
          report->checked++;
          if (!failure.empty()) report->failures.push_back(failure);
        }
        break;
      }
    }
  }
  if (Stopped(&run)) {
    library.Dispose();
    *error = "interrupted";
    return false;
  }
  library.Dispose();
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
