// The harness's scenario player on the built library: frame timing, location integration,
// key holds and the configuration file written at initialize.
#include <cmath>
#include <string>
#include <vector>

#include "e2e_fixture.h"

static void Collect(const TraceRow& row, void* context) {
  static_cast<std::vector<TraceRow>*>(context)->push_back(row);
}

class ScenarioPlayer : public VelmoraHost {
 protected:
  // Parses and plays text on the fixture's library copy; the rows land in trace.
  bool Play(const std::string& text, const std::string& baseConfig = std::string()) {
    Scenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, "test.scn", &scenario, &error)) << error;
    if (scenario.events.empty()) return false;
    if (plugin.module == nullptr) {
      EXPECT_TRUE(LoadVelmoraLibrary(folder.libraryPath, &plugin, &error)) << error;
      if (plugin.module == nullptr) return false;
    }
    PlaySetup setup;
    setup.configPath = folder.configPath;
    setup.baseConfig = baseConfig;
    trace.clear();
    bool played = PlayScenario(plugin, scenario, setup, &host, Collect, &trace, &error);
    EXPECT_TRUE(played) << error;
    return played;
  }
  std::vector<TraceRow> trace;
};

TEST_F(ScenarioPlayer, run_spaces_frames_by_step_and_integrates_the_location) {
  ASSERT_TRUE(Play("spec 8 8 1 6 4\ninitialize\nframe 1000 0\nstep 100\nrun 1000 36\nrun 250 36 0\n"));
  ASSERT_EQ(trace.size(), 1u + 10u + 3u);
  EXPECT_EQ(trace[0].time, 1000);
  EXPECT_EQ(trace[1].time, 1100);
  EXPECT_EQ(trace[10].time, 2000);
  // 0 to 36 km/h over the first 100 ms (0.5 m), then 10 m/s for 900 ms.
  EXPECT_NEAR(trace[10].location, 9.5, 1e-9);
  EXPECT_FLOAT_EQ(trace[10].speed, 36.0f);
  // The ramp ends on its end speed at the end time, also between two steps.
  EXPECT_EQ(trace[11].time, 2100);
  EXPECT_FLOAT_EQ(trace[11].speed, 36.0f * 150.0f / 250.0f);
  EXPECT_EQ(trace[13].time, 2250);
  EXPECT_FLOAT_EQ(trace[13].speed, 0.0f);
}

TEST_F(ScenarioPlayer, key_with_hold_runs_frames_between_down_and_up) {
  ASSERT_TRUE(Play("initialize\nframe 0 20 500\nstep 40\nkey 7 100\nframe 200 20\n"));
  ASSERT_EQ(trace.size(), 5u);
  EXPECT_EQ(trace[1].time, 40);
  EXPECT_EQ(trace[2].time, 80);
  EXPECT_EQ(trace[3].time, 100);
  EXPECT_EQ(trace[4].time, 200);
  EXPECT_NEAR(trace[4].location, 500.0 + 20.0 * 200.0 / 3600.0, 1e-9);
}

TEST_F(ScenarioPlayer, config_lines_reach_the_library_through_its_cfg_at_initialize) {
  ASSERT_TRUE(Play("config reverserindex=12\nwatch panel 12\ninitialize\nframe 0 0\nreverser -1\nframe 50 0\n",
                   "; base file\r\nsifakey=20\r\n\r\n"));
  ASSERT_EQ(trace.size(), 2u);
  ASSERT_EQ(trace[1].watched.size(), 1u);
  EXPECT_EQ(trace[1].watched[0], 2);
  std::string written;
  ASSERT_TRUE(ReadWholeFile(folder.configPath, &written));
  EXPECT_EQ(written, "; base file\r\nsifakey=20\nreverserindex=12\n");
}

TEST_F(ScenarioPlayer, without_config_lines_no_cfg_is_written) {
  ASSERT_TRUE(Play("initialize\nframe 0 0\n"));
  EXPECT_FALSE(FileExists(folder.configPath));
}

TEST_F(ScenarioPlayer, absurd_speeds_reach_the_library_and_leave_the_location_alone) {
  ASSERT_TRUE(Play("initialize\nframe 0 10 100\nframe 50 nan\nframe 100 1e300\nframe 150 -inf\nframe 200 0\n"));
  ASSERT_EQ(trace.size(), 5u);
  EXPECT_TRUE(std::isnan(trace[1].speed));
  EXPECT_TRUE(std::isinf(trace[2].speed));
  EXPECT_GT(trace[2].speed, 0.0f);
  EXPECT_TRUE(std::isinf(trace[3].speed));
  EXPECT_DOUBLE_EQ(trace[4].location, 100.0);
}

class HarnessLoading : public VelmoraHost {};

TEST_F(HarnessLoading, names_the_library_that_cannot_be_loaded) {
  VelmoraLibrary other;
  std::string error;
  EXPECT_FALSE(LoadVelmoraLibrary(JoinPath(folder.pluginDir, "Missing.so"), &other, &error));
  EXPECT_NE(error.find("Missing.so"), std::string::npos) << error;
  EXPECT_EQ(other.module, nullptr);
}

TEST_F(HarnessLoading, names_the_first_missing_entry_point) {
  // A system library that exports none of the sixteen entry points.
#if defined(_WIN32)
  const char* system = "kernel32.dll";
#else
  const char* system = "libc.so.6";
#endif
  VelmoraLibrary other;
  std::string error;
  EXPECT_FALSE(LoadVelmoraLibrary(system, &other, &error));
  EXPECT_NE(error.find("entry point Load"), std::string::npos) << error;
  EXPECT_EQ(other.Load, nullptr);
  EXPECT_EQ(other.module, nullptr);
}

TEST_F(HarnessLoading, resolves_all_sixteen_entry_points_of_the_built_library) {
  std::string error;
  ASSERT_TRUE(LoadVelmoraLibrary(folder.libraryPath, &plugin, &error)) << error;
  const void* entries[] = {reinterpret_cast<void*>(plugin.Load), reinterpret_cast<void*>(plugin.Dispose),
                           reinterpret_cast<void*>(plugin.GetPluginVersion), reinterpret_cast<void*>(plugin.SetVehicleSpec),
                           reinterpret_cast<void*>(plugin.Initialize), reinterpret_cast<void*>(plugin.Elapse),
                           reinterpret_cast<void*>(plugin.SetPower), reinterpret_cast<void*>(plugin.SetBrake),
                           reinterpret_cast<void*>(plugin.SetReverser), reinterpret_cast<void*>(plugin.KeyDown),
                           reinterpret_cast<void*>(plugin.KeyUp), reinterpret_cast<void*>(plugin.HornBlow),
                           reinterpret_cast<void*>(plugin.DoorOpen), reinterpret_cast<void*>(plugin.DoorClose),
                           reinterpret_cast<void*>(plugin.SetSignal), reinterpret_cast<void*>(plugin.SetBeaconData)};
  for (const void* entry : entries) EXPECT_NE(entry, nullptr);
}
