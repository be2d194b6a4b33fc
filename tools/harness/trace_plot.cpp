// Recording a played trace for its plot: every series keeps only the points where it changes,
// and the speed keeps only the ends of its straight ramps, so long runs stay small.
#include "harness/trace_plot.h"

#include <cmath>
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

void StartTracePlot(TracePlot* plot, const Scenario& scenario, const std::string& baseConfig) {
  *plot = TracePlot();
  plot->title = scenario.fileName;
  plot->brake.label = "brake notch";
  plot->power.label = "power notch";
  plot->reverser.label = "reverser";
  int pipe = WiredElement(baseConfig, scenario, kBrakePipeKey);
  int supply = WiredElement(baseConfig, scenario, kSupplyKey);
  for (const Watch& watch : scenario.watches) {
    PlotSeries series;
    series.label = watch.label;
    plot->watched.push_back(series);
    bool gauge = watch.array == kWatchPanel && (watch.index == pipe || watch.index == supply);
    plot->places.push_back(watch.array == kWatchSound ? kPlaceSound : gauge ? kPlacePressure : kPlaceLane);
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
    AddStep(&plot->watched[i], time, row.watched[i]);
  }
}
