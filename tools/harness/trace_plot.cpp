// Recording a played trace for its plot: every series keeps only the points where it changes,
// and the speed keeps only the ends of its straight ramps, so long runs stay small.
#include "harness/trace_plot.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

const char kBrakePipeKey[] = "bremsleitungsdruck=";  // the panel element of the brake-pipe gauge
const char kSupplyKey[] = "fuellleitungsdruck=";     // the panel element of the supply-pipe gauge
const double kRampTolerance = 0.005;                 // km/h a merged ramp point may lie off its line

// The first value of the last line that starts with key, or -1.
static int WiredElement(const std::string& baseConfig, const Scenario& scenario, const std::string& key) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < baseConfig.size()) {
    size_t end = baseConfig.find('\n', start);
    if (end == std::string::npos) end = baseConfig.size();
    lines.push_back(baseConfig.substr(start, end - start));
    start = end + 1;
  }
  for (const ScenarioEvent& event : scenario.events) {
    if (event.kind == kEventConfig) lines.push_back(event.text);
  }
  int element = -1;
  for (const std::string& line : lines) {
    if (line.compare(0, key.size(), key) != 0) continue;
    char* end = nullptr;
    long value = strtol(line.c_str() + key.size(), &end, 10);
    element = (end != line.c_str() + key.size() && value >= 0 && value <= 255) ? static_cast<int>(value) : -1;
  }
  return element;
}

// Where the configuration comes from: the file, the scenario's config lines, or neither.
static std::string ConfigurationWords(const Scenario& scenario, const std::string& configName) {
  int lines = 0;
  for (const ScenarioEvent& event : scenario.events) {
    if (event.kind == kEventConfig) lines++;
  }
  std::string count = std::to_string(lines) + (lines == 1 ? " config line" : " config lines");
  if (!configName.empty()) return "configuration: " + configName + (lines > 0 ? " and the scenario's " + count : "");
  if (lines > 0) return "configuration: the scenario's " + count + " (no configuration file given)";
  return "configuration: none, the library's defaults (no configuration file, no config lines)";
}

void StartTracePlot(TracePlot* plot, const Scenario& scenario, const std::string& baseConfig,
                    const std::string& configName) {
  *plot = TracePlot();
  plot->title = scenario.fileName;
  plot->configuration = ConfigurationWords(scenario, configName);
  plot->brake.label = "brake notch";
  plot->power.label = "power notch";
  plot->reverser.label = "reverser";
  plot->config = baseConfig + "\n";
  plot->running = CabSystemsRunningWith(plot->config);
  int pipe = WiredElement(baseConfig, scenario, kBrakePipeKey);
  int supply = WiredElement(baseConfig, scenario, kSupplyKey);
  for (const Watch& watch : scenario.watches) {
    PlotSeries series;
    series.label = watch.label;
    plot->watched.push_back(series);
    PlotPlace place = kPlaceLane;
    if (watch.array == kWatchSound) place = kPlaceSound;
    else if (watch.index == pipe) place = kPlaceBrakePipe;
    else if (watch.index == supply) place = kPlaceSupply;
    plot->places.push_back(place);
  }
}

// A step series gains a point only where its value changes.
static void AddStep(PlotSeries* series, int64_t time, double value) {
  if (!series->points.empty() && series->points.back().value == value) return;
  series->points.push_back({time, value});
}

// The speed gains every point, but a point on the straight line between its neighbours goes.
static void AddSpeed(std::vector<PlotPoint>* speed, int64_t time, double value) {
  size_t n = speed->size();
  if (n >= 2 && std::isfinite(value)) {
    const PlotPoint& a = (*speed)[n - 2];
    PlotPoint& b = (*speed)[n - 1];
    if (std::isfinite(a.value) && std::isfinite(b.value) && time > a.time) {
      double onLine = a.value + (value - a.value) * static_cast<double>(b.time - a.time) / static_cast<double>(time - a.time);
      if (std::fabs(onLine - b.value) <= kRampTolerance) {
        b = {time, value};
        return;
      }
    }
  }
  speed->push_back({time, value});
}

void AddTracePlotRow(TracePlot* plot, const TraceRow& row) {
  int64_t time = row.time + plot->offset;
  if (plot->frames > 0 && time < plot->lastTime) {
    // An initialize let the host's clock start anew: the plot's clock runs on from here.
    plot->offset += plot->lastTime - time;
    time = plot->lastTime;
    plot->restarts.push_back(time);
  }
  plot->lastTime = time;
  plot->frames++;
  AddSpeed(&plot->speed, time, row.speed);
  AddStep(&plot->brake, time, row.handles.Brake);
  AddStep(&plot->power, time, row.handles.Power);
  AddStep(&plot->reverser, time, row.handles.Reverser);
  for (size_t i = 0; i < plot->watched.size() && i < row.watched.size(); i++) {
    // Every start of a sound is a mark of its own, also a start in the frame after another.
    bool start = plot->places[i] == kPlaceSound && row.watched[i] == SOUND_PLAY;
    if (start) plot->watched[i].points.push_back({time, static_cast<double>(SOUND_PLAY)});
    else AddStep(&plot->watched[i], time, row.watched[i]);
  }
}

static void Mark(TracePlot* plot, int64_t time, PlotMarkKind kind, const std::string& label, const std::string& detail) {
  plot->marks.push_back({time, kind, label, detail});
}

void AddTracePlotEvent(TracePlot* plot, const Scenario& scenario, const ScenarioEvent& event, int32_t time,
                       const std::string& failure) {
  int64_t at = time + plot->offset;
  std::string line = "line " + std::to_string(event.line) + ": ";
  std::string value = std::to_string(event.value);
  switch (event.kind) {
    case kEventSpec:
      Mark(plot, at, kMarkHostCall, "spec",
           line + "spec " + std::to_string(event.spec.BrakeNotches) + " " + std::to_string(event.spec.PowerNotches) +
               " " + std::to_string(event.spec.AtsNotch) + " " + std::to_string(event.spec.B67Notch) + " " +
               std::to_string(event.spec.Cars));
      break;
    case kEventInitialize:
      plot->running = CabSystemsRunningWith(plot->config);
      Mark(plot, at, kMarkHostCall, "initialize", line + "initialize " + std::to_string(event.brakeMode));
      break;
    case kEventKeyDown:
      Mark(plot, at, kMarkKeyDown, std::to_string(event.key), line + "keydown " + std::to_string(event.key));
      break;
    case kEventKeyUp:
      Mark(plot, at, kMarkKeyUp, std::to_string(event.key), line + "keyup " + std::to_string(event.key));
      break;
    case kEventKey:
      Mark(plot, at - event.duration, kMarkKeyDown, std::to_string(event.key),
           line + "key " + std::to_string(event.key) + " pressed");
      Mark(plot, at, kMarkKeyUp, std::to_string(event.key),
           line + "key " + std::to_string(event.key) + " released after " + std::to_string(event.duration) + " ms");
      break;
    case kEventPower:
      Mark(plot, at, kMarkHostCall, "power " + value, line + "power " + value);
      break;
    case kEventBrake:
      Mark(plot, at, kMarkHostCall, "brake " + value, line + "brake " + value);
      break;
    case kEventReverser:
      Mark(plot, at, kMarkHostCall, "reverser " + value, line + "reverser " + value);
      break;
    case kEventHorn:
      Mark(plot, at, kMarkHostCall, "horn " + value, line + "horn " + value);
      break;
    case kEventSignal:
      Mark(plot, at, kMarkHostCall, "signal " + value, line + "signal " + value);
      break;
    case kEventDoorOpen:
      Mark(plot, at, kMarkHostCall, "dooropen", line + "dooropen");
      break;
    case kEventDoorClose:
      Mark(plot, at, kMarkHostCall, "doorclose", line + "doorclose");
      break;
    case kEventBeacon: {
      char distance[32];
      snprintf(distance, sizeof distance, "%g", event.beaconDistance);
      std::string meaning = BeaconMeaning(event.beaconType, event.beaconSignal, event.beaconOptional, plot->running);
      Mark(plot, at, kMarkBeacon, meaning,
           line + "beacon " + std::to_string(event.beaconType) + " " + std::to_string(event.beaconSignal) + " " +
               distance + " " + std::to_string(event.beaconOptional) + ": " + meaning);
      break;
    }
    case kEventExpect: {
      const Expectation& expectation = scenario.expectations[event.expectation];
      if (failure.empty()) {
        Mark(plot, at, kMarkExpectMet, std::to_string(event.line), line + "met: expect " + DescribeExpectation(expectation));
      } else {
        Mark(plot, at, kMarkExpectFailed, std::to_string(event.line), "FAILED " + failure);
      }
      break;
    }
    case kEventConfig:
      plot->config += event.text + "\n";
      break;
    case kEventFrame:
    case kEventRun:
      break;
  }
}
