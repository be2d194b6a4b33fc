// The trace plot's page: a plot of many lanes fits a 1400x900 window with a time axis at its top
// and at its bottom, the title names the configuration, and the brake pipe is not hidden under
// the supply pipe where both stand at the same pressure.
#include <gtest/gtest.h>

#include <string>

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
