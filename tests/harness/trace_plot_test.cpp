// The trace plot's page: a plot of many lanes fits a 1400x900 window with a time axis at its top
// and at its bottom, the title names the configuration, and the brake pipe is not hidden under
// the supply pipe where both stand at the same pressure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "harness/trace_plot.h"

// A scenario of 13 panel lanes (16 with the three handles), both pressure gauges and 2 sounds,
// played for 10 s with the two pipes at 500 kPa.
static std::string SixteenLanePlot(const std::string& configName) {
  std::string text = "config bremsleitungsdruck=40\nconfig fuellleitungsdruck=41\nwatch panel 40 pipe\nwatch panel 41 supply\n"
                     "watch sound 1\nwatch sound 2\n";
  for (int i = 0; i < 13; i++) text += "watch panel " + std::to_string(i) + "\n";
  Scenario scenario;
  std::string error;
  EXPECT_TRUE(ParseScenario(text, "many.scn", &scenario, &error)) << error;
  TracePlot plot;
  StartTracePlot(&plot, scenario, "sifakey=20\n", configName);
  for (int32_t t = 0; t <= 10000; t += 1000) {
    TraceRow row = {};
    row.time = t;
    row.speed = static_cast<float>(t) / 500.0f;
    row.watched.assign(scenario.watches.size(), t / 1000 % 2);
    row.watched[0] = row.watched[1] = 500;
    AddTracePlotRow(&plot, row);
  }
  return TracePlotSvg(plot);
}

// The number in the attribute name="..." of the first element that has it after from.
static double Attribute(const std::string& svg, const std::string& name, size_t from = 0) {
  size_t at = svg.find(" " + name + "=\"", from);
  return at == std::string::npos ? -1 : std::stod(svg.substr(at + name.size() + 3));
}

TEST(TracePlot, a_plot_of_sixteen_lanes_fits_a_1400_by_900_window_with_a_time_axis_at_top_and_bottom) {
  std::string svg = SixteenLanePlot("trains/Velmora.cfg");
  double width = Attribute(svg, "width"), height = Attribute(svg, "height");
  EXPECT_LE(width, 1400);
  EXPECT_LE(height, 900);
  // Both axes are labelled; the lower one's tick labels and name lie inside the picture.
  size_t top = svg.find(">time (s)<");
  size_t bottom = svg.rfind(">time (s)<");
  ASSERT_NE(top, std::string::npos);
  ASSERT_NE(top, bottom);
  double bottomY = Attribute(svg, "y", svg.rfind("<text", bottom));
  EXPECT_LT(bottomY, height - 10);
  double topY = Attribute(svg, "y", svg.rfind("<text", top));
  EXPECT_LT(topY, Attribute(svg, "y", svg.find(">speed<") - 40));  // above the first chart
}

TEST(TracePlot, the_title_names_the_configuration_file_and_the_config_lines) {
  EXPECT_NE(SixteenLanePlot("trains/Velmora.cfg").find(">configuration: trains/Velmora.cfg and the scenario's 2 config lines<"),
            std::string::npos);
  EXPECT_NE(SixteenLanePlot("").find(">configuration: the scenario's 2 config lines (no configuration file given)<"),
            std::string::npos);
}

TEST(TracePlot, the_brake_pipe_is_drawn_over_the_supply_pipe_and_the_supply_pipe_is_dashed) {
  std::string svg = SixteenLanePlot("");
  // Both pipes at 500 kPa draw the same path; the one drawn last, on top, is the brake pipe's.
  size_t supply = svg.find("stroke-dasharray=\"7 4\"");
  ASSERT_NE(supply, std::string::npos);
  size_t start = svg.rfind("<path d=\"", supply);
  std::string d = svg.substr(start, svg.find('"', start + 9) - start);
  size_t pipe = svg.find(d, supply);
  ASSERT_NE(pipe, std::string::npos) << "the brake pipe is not drawn after the supply pipe";
  std::string pipePath = svg.substr(pipe, svg.find("/>", pipe) - pipe);
  EXPECT_EQ(pipePath.find("stroke-dasharray"), std::string::npos) << pipePath;
}

// A plot of the given length (ms, one row every 50 ms) with these marks; every watch a sound.
static TracePlot PlotOf(int32_t length, const std::vector<PlotMark>& marks, int sounds = 0) {
  TracePlot plot;
  Scenario scenario;
  for (int i = 0; i < sounds; i++) scenario.watches.push_back({kWatchSound, i, "sound" + std::to_string(i)});
  StartTracePlot(&plot, scenario, "", "");
  for (int32_t t = 0; t <= length; t += 50) {
    TraceRow row = {};
    row.time = t;
    row.watched.assign(sounds, SOUND_STOP);
    AddTracePlotRow(&plot, row);
  }
  plot.marks = marks;
  return plot;
}

// A box on the picture, px.
struct Box {
  double left, top, right, bottom;
};

static bool Overlap(const Box& a, const Box& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The boxes of the events strip's marks (the shape after each title) and of its labels (the
// texts of 9 px, about 5.5 px a character).
static void StripBoxes(const std::string& svg, std::vector<Box>* marks, std::vector<Box>* labels) {
  for (size_t at = svg.find("</title>"); at != std::string::npos; at = svg.find("</title>", at + 1)) {
    std::string shape = svg.substr(at, svg.find("</g>", at) - at);
    Box box = {1e9, 1e9, -1e9, -1e9};
    auto take = [&](double x, double y) {
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y)};
    };
    if (shape.find("<circle") != std::string::npos) {
      double x = Attribute(shape, "cx"), y = Attribute(shape, "cy"), r = Attribute(shape, "r");
      take(x - r, y - r);
      take(x + r, y + r);
    } else if (shape.find("<rect") != std::string::npos) {
      double x = Attribute(shape, "x"), y = Attribute(shape, "y");
      take(x, y);
      take(x + Attribute(shape, "width"), y + Attribute(shape, "height"));
    } else {
      // A path of absolute moves (M) and relative lines (l).
      std::string d = shape.substr(shape.find("d=\"") + 3);
      d = d.substr(0, d.find('"'));
      double x = 0, y = 0;
      for (size_t i = 0; i < d.size(); i++) {
        if (d[i] != 'M' && d[i] != 'l') continue;
        char* end = nullptr;
        double dx = strtod(d.c_str() + i + 1, &end);
        double dy = strtod(end, &end);
        x = d[i] == 'M' ? dx : x + dx;
        y = d[i] == 'M' ? dy : y + dy;
        take(x, y);
      }
    }
    marks->push_back(box);
  }
  for (size_t at = svg.find("font-size=\"9\""); at != std::string::npos; at = svg.find("font-size=\"9\"", at + 1)) {
    size_t start = svg.rfind("<text", at);
    double x = Attribute(svg, "x", start), y = Attribute(svg, "y", start);
    size_t text = svg.find('>', at) + 1;
    double length = static_cast<double>(svg.find('<', text) - text);
    labels->push_back({x, y - 7, x + 5.5 * length, y + 2});
  }
}

TEST(TracePlot, labels_of_crowded_events_cover_neither_marks_nor_each_other) {
  std::vector<PlotMark> marks;
  const PlotMarkKind kinds[] = {kMarkKeyDown, kMarkKeyUp, kMarkBeacon, kMarkHostCall, kMarkExpectMet, kMarkExpectFailed};
  const char* labels[] = {"0", "12", "AWS caution", "power 4", "143", "1087"};
  // Events 100 to 700 ms apart over 20 s, 1000 px: 5 to 35 px, a label of 11 characters 60 px.
  int32_t t = 0;
  for (int i = 0; t < 20000; i++) {
    marks.push_back({t, kinds[i % 6], labels[(i * 5) % 6], "detail"});
    if (i % 3 == 0) marks.push_back({t, kinds[(i + 2) % 6], labels[(i + 1) % 6], "same time"});
    t += 100 * (1 + (i * 7) % 7);
  }
  std::vector<Box> markBoxes, labelBoxes;
  StripBoxes(TracePlotSvg(PlotOf(20000, marks)), &markBoxes, &labelBoxes);
  ASSERT_EQ(markBoxes.size(), marks.size());
  EXPECT_GE(labelBoxes.size(), 10u);  // crowded, yet labels stand where there is room
  for (size_t i = 0; i < labelBoxes.size(); i++) {
    for (const Box& mark : markBoxes) EXPECT_FALSE(Overlap(labelBoxes[i], mark)) << "label " << i << " covers a mark";
    for (size_t j = i + 1; j < labelBoxes.size(); j++) {
      EXPECT_FALSE(Overlap(labelBoxes[i], labelBoxes[j])) << "labels " << i << " and " << j;
    }
  }
}

TEST(TracePlot, beacons_are_labelled_with_their_meaning_to_the_systems_that_run) {
  struct Case {
    int32_t type, signal, optional;
    const char* config;  // the run switches
    const char* label;
  };
  const Case cases[] = {
      {49000, 2, 100, "runubahn=0\nrunpzb90=1\n", "PZB 1000 Hz"},
      {49000, 2, 0, "runubahn=0\nrunpzb90=1\n", "PZB 500 Hz"},
      {49000, 0, 0, "runubahn=0\nrunpzb90=1\n", "PZB 2000 Hz"},
      {49000, 4, 100, "runubahn=0\nrunpzb90=1\n", "PZB clear, ends 1000 Hz"},
      {44000, 2, 0, "runubahn=0\nrunawstpws=1\n", "AWS caution"},
      {44000, 4, 0, "runubahn=0\nrunawstpws=1\n", "AWS clear"},
      {44003, 0, 0, "runubahn=0\nrunawstpws=1\n", "TPWS train stop"},
      {44003, 0, 0, "", "trip point at stop"},
      {44003, 0, 0, "runawstpws=1\n", "trip point at stop / TPWS train stop"},
      {20, 0, 60, "runubahn=0\nrunpowergaps=1\n", "power gap 60 m"},
      {20, 0, 60, "", "power gap 60 m"},  // no system that runs reads it: what it would mean
      {21, 0, 80, "runwipers=1\n", "rain 80"},
      {22, 0, 1, "runtraction=1\n", "fuelling zone"},
      {99, 0, 0, "", "beacon 99"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BeaconMeaning(c.type, c.signal, c.optional, CabSystemsRunningWith(c.config)), c.label)
        << c.type << " " << c.config;
  }
  // On the plot: the label, and the scenario line with the meaning for the pointer.
  Scenario scenario;
  std::string error;
  ASSERT_TRUE(ParseScenario("config runpzb90=1\ninitialize\nframe 0 0\nbeacon 49000 2 0 100\n", "pzb.scn", &scenario,
                            &error))
      << error;
  TracePlot plot = PlotOf(1000, {});
  for (const ScenarioEvent& event : scenario.events) AddTracePlotEvent(&plot, scenario, event, 0, "");
  std::string svg = TracePlotSvg(plot);
  EXPECT_NE(svg.find(">PZB 1000 Hz</text>"), std::string::npos);
  EXPECT_NE(svg.find("<title>line 4: beacon 49000 2 0 100: PZB 1000 Hz</title>"), std::string::npos);
}

TEST(TracePlot, a_sound_of_one_frame_shows_as_a_mark_however_long_the_run) {
  struct Case {
    const char* what;
    std::vector<std::pair<int32_t, int>> changes;  // from this time on, this value
    const char* mark;                              // what the lane must show
  };
  // 600 s on 1000 px: one frame of 50 ms is a twelfth of a pixel.
  const Case cases[] = {
      {"a loop of one frame", {{300000, SOUND_LOOP}, {300050, SOUND_STOP}}, "<rect"},
      {"a start of one frame", {{300000, SOUND_PLAY}, {300050, SOUND_STOP}}, "fill=\"#2e8b57\""},
      {"a start right after a stop", {{300000, SOUND_LOOP}, {300100, SOUND_STOP}, {300150, SOUND_PLAY}}, "fill=\"#2e8b57\""},
  };
  for (const Case& c : cases) {
    TracePlot plot;
    Scenario scenario;
    scenario.watches.push_back({kWatchSound, 7, "beep"});
    StartTracePlot(&plot, scenario, "", "");
    int value = SOUND_STOP;
    size_t next = 0;
    for (int32_t t = 0; t <= 600000; t += 50) {
      if (next < c.changes.size() && c.changes[next].first == t) value = c.changes[next++].second;
      TraceRow row = {};
      row.time = t;
      row.watched = {value};
      AddTracePlotRow(&plot, row);
      if (value == SOUND_PLAY) value = kSoundStarted;
    }
    std::string svg = TracePlotSvg(plot);
    size_t lane = svg.find(">beep<");
    ASSERT_NE(lane, std::string::npos);
    std::string marks = svg.substr(lane, svg.find("</g>", lane) - lane);
    size_t mark = marks.find(c.mark);
    ASSERT_NE(mark, std::string::npos) << c.what << ":\n" << marks;
    if (std::string(c.mark) == "<rect") {
      EXPECT_GE(Attribute(marks, "width", mark), 5) << c.what;
    }
  }
}
