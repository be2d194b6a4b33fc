// The trace of a played scenario as one SVG timeline: speed, the watched brake-pipe and supply
// pressures, the returned handles, a step lane per watched panel element and marks where the
// watched sound elements change. A plain SVG: no script, nothing fetched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "harness/harness.h"

// A value from the given time on.
struct PlotPoint {
  int64_t time;  // ms on the plot's clock (never going backwards, see TracePlot::restarts)
  double value;
};

// One line or lane of the plot: its points where the value changes.
struct PlotSeries {
  std::string label;
  std::vector<PlotPoint> points;
};

// Where a watch's values go on the plot.
enum PlotPlace { kPlaceLane, kPlacePressure, kPlaceSound };

struct TracePlot {
  std::string title;                  // the scenario's file name
  std::vector<PlotPoint> speed;       // km/h; ramps kept as their end points
  PlotSeries brake, power, reverser;  // the returned handles
  std::vector<PlotSeries> watched;    // one per watch, in the scenario's order
  std::vector<PlotPlace> places;      // one per watch
  std::vector<int64_t> restarts;      // plot times at which an initialize restarted the clock backwards
  int64_t offset = 0;                 // added to the host's time so that the plot's clock runs on
  int64_t lastTime = 0;               // plot time of the last row
  int64_t frames = 0;                 // rows seen
};

// Prepares the plot of a scenario; the brake-pipe and supply gauges are the panel elements that
// baseConfig and the scenario's config lines wire as bremsleitungsdruck and fuellleitungsdruck.
void StartTracePlot(TracePlot* plot, const Scenario& scenario, const std::string& baseConfig);
// Adds one frame of the trace.
void AddTracePlotRow(TracePlot* plot, const TraceRow& row);
// The whole picture as SVG text.
std::string TracePlotSvg(const TracePlot& plot);
