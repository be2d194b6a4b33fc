// The trace of a played scenario as one SVG timeline: speed, the watched brake-pipe and supply
// pressures, the returned handles, a step lane per watched panel element, marks where the
// watched sound elements change, and marks for the scenario's keys, beacons, other host calls
// and expect lines. A plain SVG: no script, nothing fetched.
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
enum PlotPlace { kPlaceLane, kPlaceBrakePipe, kPlaceSupply, kPlaceSound };

// What a mark on the events strip stands for; each kind has a row of its own.
enum PlotMarkKind { kMarkKeyDown, kMarkKeyUp, kMarkBeacon, kMarkHostCall, kMarkExpectMet, kMarkExpectFailed };

// One scenario event at its time.
struct PlotMark {
  int64_t time;        // ms on the plot's clock
  PlotMarkKind kind;
  std::string label;   // short, written beside the mark where there is room ("21", "power 3")
  std::string detail;  // the whole story, shown when the pointer rests on the mark
};

struct TracePlot {
  std::string title;                  // the scenario's file name
  std::string configuration;          // where the configuration came from, in words
  std::vector<PlotPoint> speed;       // km/h; ramps kept as their end points
  PlotSeries brake, power, reverser;  // the returned handles
  std::vector<PlotSeries> watched;    // one per watch, in the scenario's order
  std::vector<PlotPlace> places;      // one per watch
  std::vector<PlotMark> marks;        // the scenario's events, in the order they were played
  std::vector<int64_t> restarts;      // plot times at which an initialize restarted the clock backwards
  int64_t offset = 0;                 // added to the host's time so that the plot's clock runs on
  int64_t lastTime = 0;               // plot time of the last row
  int64_t frames = 0;                 // rows seen
  std::string config;                 // the configuration text so far: the base and the config lines played
  std::vector<bool> running;          // the cab systems the last initialize started (by CabSystem)
};

// Prepares the plot of a scenario; the brake-pipe and supply gauges are the panel elements that
// baseConfig (the file configName, or none when it is empty) and the scenario's config lines
// wire as bremsleitungsdruck and fuellleitungsdruck.
void StartTracePlot(TracePlot* plot, const Scenario& scenario, const std::string& baseConfig,
                    const std::string& configName);
// Adds one frame of the trace. A sound started in two frames in a row keeps both starts.
void AddTracePlotRow(TracePlot* plot, const TraceRow& row);
// Adds the marks of an event once it has been played (see EventSink): keys, beacons (labelled
// with their meaning to the systems the last initialize started), other host calls, expect
// lines met or not (failure is empty when met). Frames, runs and config lines leave no mark.
void AddTracePlotEvent(TracePlot* plot, const Scenario& scenario, const ScenarioEvent& event, int32_t time,
                       const std::string& failure);
// What a beacon means to the cab systems that read its type, in a few words ("PZB 1000 Hz",
// "AWS caution", "TPWS train stop", "power gap 60 m"): to those of running (indexed by CabSystem)
// that read it, or else to every system that does; "beacon <type>" for a type no system reads.
std::string BeaconMeaning(int32_t type, int32_t signal, int32_t optional, const std::vector<bool>& running);
// The whole picture as SVG text.
std::string TracePlotSvg(const TracePlot& plot);
