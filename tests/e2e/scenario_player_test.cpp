// The harness's scenario player on the built library: frame timing, location integration,
// key holds, the configuration file written at initialize, expect lines, and what loading tells
// about a file that is no playable library.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "e2e_fixture.h"
#include "harness/trace_plot.h"

static void Collect(const TraceRow& row, void* context) {
  static_cast<std::vector<TraceRow>*>(context)->push_back(row);
}

class ScenarioPlayer : public VelmoraHost {
 protected:
  // Parses and plays text on the fixture's library copy; the rows land in trace.
  bool Play(const std::string& text, const std::string& baseConfig = std::string(),
            ExpectationReport* report = nullptr) {
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
    bool played = PlayScenario(plugin, scenario, setup, &host, Collect, &trace, &error, report);
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

TEST_F(ScenarioPlayer, expect_lines_see_the_frame_before_them_and_every_failure_is_listed) {
  ExpectationReport report;
  ASSERT_TRUE(Play("config reverserindex=12\n"
                   "watch panel 12 rev\n"
                   "initialize\n"
                   "frame 0 0\n"
                   "reverser -1\n"
                   "expect panel rev = 0     # the frame before the handle moved\n"
                   "frame 50 0\n"
                   "expect panel rev = 2\n"
                   "signal 5\n"
                   "dooropen\n"
                   "expect panel 12 = 1\n"
                   "expect reverser = 1\n"
                   "doorclose\n"
                   "frame 100 0\n"
                   "expect sound 12 = loop\n",
                   std::string(), &report));
  EXPECT_EQ(trace.size(), 3u);
  EXPECT_EQ(report.checked, 5);
  ASSERT_EQ(report.failures.size(), 3u);
  EXPECT_EQ(report.failures[0], "test.scn:11: expected panel 12 = 1 at t=50 ms, saw 2");
  EXPECT_EQ(report.failures[1], "test.scn:12: expected reverser = 1 at t=50 ms, saw 0");
  EXPECT_EQ(report.failures[2], "test.scn:15: expected sound 12 = loop (0) at t=100 ms, saw stop (-10000)");
}

TEST_F(ScenarioPlayer, library_copy_keeps_the_users_file_name_and_the_plugin_reads_its_configuration) {
#if defined(_WIN32)
  const std::string name = "Cab.v2.dll", config = "Cab.v2.cfg";
#else
  const std::string name = "Velmora.so.1", config = "Velmora.so.cfg";
#endif
  std::string error;
  ASSERT_TRUE(InstallLibraryFile(&folder, VELMORA_LIBRARY_PATH, name, &error)) << error;
  EXPECT_EQ(FileNameOf(folder.libraryPath), name);
  EXPECT_EQ(folder.configPath, JoinPath(folder.pluginDir, config));
  ASSERT_TRUE(Play("config reverserindex=12\nwatch panel 12\ninitialize\nframe 0 0\nreverser -1\nframe 50 0\n"));
  EXPECT_EQ(trace[1].watched[0], 2);
}

// Program file headers: an ELF library and a PE library of the given machine.
static std::string ElfHeader(int machine) {
  std::string bytes(64, '\0');
  bytes.replace(0, 4, "\x7f" "ELF");
  bytes[4] = 2;   // 64-bit
  bytes[5] = 1;   // little-endian
  bytes[16] = 3;  // a shared object
  bytes[18] = static_cast<char>(machine);
  return bytes;
}

static std::string PeHeader(int machine) {
  std::string bytes(512, '\0');
  bytes.replace(0, 2, "MZ");
  bytes[0x3c] = 0x40;
  bytes.replace(0x40, 4, std::string("PE\0\0", 4));
  bytes[0x44] = static_cast<char>(machine & 0xff);
  bytes[0x45] = static_cast<char>(machine >> 8);
  bytes[0x40 + 23] = 0x20;  // a DLL
  return bytes;
}

TEST_F(HarnessLoading, load_errors_name_the_users_file_and_say_in_words_what_is_wrong) {
#if defined(_WIN32)
  const std::string own = "this player loads only Windows 32-bit x86 DLLs";
  const std::string ownKind = PeHeader(0x14c);
#else
  const std::string own = "this player loads only Linux x86-64 libraries (.so)";
  const std::string ownKind = ElfHeader(62);
#endif
  struct Case {
    const char* name;
    std::string bytes;
    std::string words;  // what the message says after "cannot load the library builder/<name>: "
  };
  const Case cases[] = {
      {"Linux.so", ElfHeader(62), "it is a Linux x86-64 library (ELF), and " + own},
      {"Win32.dll", PeHeader(0x14c), "it is a Windows 32-bit x86 DLL, and " + own},
      {"Win64.dll", PeHeader(0x8664), "it is a Windows 64-bit x64 DLL, and " + own},
      {"notes.txt", "sifakey=20\n", "it is not a program library (it starts with neither the Linux ELF nor the "
                                    "Windows header), and " + own},
  };
  for (const Case& c : cases) {
    WritePluginFile(c.name, c.bytes);
    VelmoraLibrary other;
    std::string error;
    EXPECT_FALSE(LoadVelmoraLibrary(JoinPath(folder.pluginDir, c.name), &other, &error, std::string("builder/") + c.name));
    std::string start = std::string("cannot load the library builder/") + c.name + ": ";
    EXPECT_EQ(error.rfind(start, 0), 0u) << error;
    if (c.bytes == ownKind) {  // this player's own kind, cut short: the system's reason, in words
      EXPECT_GT(error.size(), start.size() + 10) << error;
      EXPECT_EQ(error.find(folder.root), std::string::npos) << "names the copy: " << error;
    } else {
      EXPECT_EQ(error, start + c.words);
    }
    EXPECT_EQ(other.module, nullptr);
  }
}

TEST_F(ScenarioPlayer, a_play_once_sound_reads_play_only_in_the_frame_that_started_it) {
  ExpectationReport report;
  ASSERT_TRUE(Play("config sifakey=20\nconfig sifasound=31\nwatch sound 31 sifa_sound\ninitialize\nframe 0 0\n"
                   "keydown 20\nframe 50 0\nexpect sound sifa_sound = play\n"
                   "frame 100 0\nexpect sound sifa_sound = started\n"
                   "keyup 20\nframe 150 0\nexpect sound sifa_sound = play   # the release starts it again\n"
                   "run 36000 0\nexpect sound sifa_sound = play\n",
                   std::string(), &report));
  std::vector<int> values;
  for (size_t i = 0; i < 5 && i < trace.size(); i++) values.push_back(trace[i].watched[0]);
  EXPECT_EQ(values, (std::vector<int>{SOUND_STOP, SOUND_PLAY, kSoundStarted, SOUND_PLAY, kSoundStarted}));
  EXPECT_EQ(report.checked, 4);
  ASSERT_EQ(report.failures.size(), 1u);
  EXPECT_EQ(report.failures[0], "test.scn:15: expected sound sifa_sound = play (1) at t=36150 ms, saw started (2)");
}

// Whatever the host leaves in its sound array between calls (a started sound, a start it has not
// taken up, anything), the plug-in drives the panel and the handles the same: it never reads a
// sound element back, so the player's taking up of play-once sounds changes nothing it does.
TEST_F(ScenarioPlayer, what_the_host_leaves_in_the_sound_array_changes_nothing_the_plugin_does) {
  const int kLeft[] = {kSoundStarted, SOUND_PLAY, SOUND_STOP, SOUND_LOOP, 12345};
  std::vector<std::vector<int>> seen[2];
  for (int pass = 0; pass < 2; pass++) {
    FreePlugin();
    for (int n = 1; n <= 3; n++) RemoveFile(CounterFilePath(folder, n));
    WriteConfig("sifakey=20\nspeedselectorkey=21\nfahrtastersound=30\nsifasound=31\nbremsleitungsdruck=13\n"
                "fahrschalterstellung=10\nbremsschalter1=11\nsifa=16\nfesthaltebremse=19\n");
    Start();
    int frames = 0;
    auto leave = [&] {
      if (pass == 1) {
        for (int& value : host.sound) value = kLeft[frames % 5];
      }
    };
    auto drive = [&](int duration, float from, float to) {
      for (int t = 50; t <= duration; t += 50) {
        leave();
        Frame(now + 50, from + (to - from) * static_cast<float>(t) / static_cast<float>(duration));
        frames++;
        std::vector<int> row(host.panel, host.panel + 256);
        row.insert(row.end(), {handles.Brake, handles.Power, handles.Reverser});
        seen[pass].push_back(row);
      }
    };
    auto key = [&](int number, bool down, bool up) {
      leave();
      if (down) KeyDown(number);
      if (up) KeyUp(number);
    };
    Frame(0, 0.0f);
    drive(1000, 0, 0);
    key(20, true, false);  // Sifa key held
    key(5, true, true);    // master controller forward
    key(15, true, true);   // brake controller to the driving position
    drive(12000, 0, 0);
    key(21, true, false);  // drive button
    drive(9000, 0, 16);
    key(21, false, true);
    for (int i = 0; i < 5; i++) key(15, true, true);  // towards the holding-brake position
    drive(8000, 16, 0);
    key(13, true, false);
    drive(500, 0, 0);
    key(13, false, true);
    key(20, false, true);
    drive(2000, 0, 0);
  }
  ASSERT_EQ(seen[0].size(), seen[1].size());
  int topPower = 0;
  for (const std::vector<int>& row : seen[0]) topPower = std::max(topPower, row[257]);
  EXPECT_EQ(topPower, 4) << "the drive never took power";
  for (size_t i = 0; i < seen[0].size(); i++) ASSERT_EQ(seen[0][i], seen[1][i]) << "frame " << i;
}

static void MarkOnPlot(const ScenarioEvent& event, int32_t time, const std::string& failure, void* context) {
  std::pair<TracePlot*, const Scenario*>* plot = static_cast<std::pair<TracePlot*, const Scenario*>*>(context);
  AddTracePlotEvent(plot->first, *plot->second, event, time, failure);
}

static void RowOnPlot(const TraceRow& row, void* context) { AddTracePlotRow(static_cast<TracePlot*>(context), row); }

TEST_F(ScenarioPlayer, the_plot_marks_keys_beacons_host_calls_every_expect_line_and_every_sound_start) {
  Scenario scenario;
  std::string error;
  ASSERT_TRUE(ParseScenario("config sifakey=20\nconfig sifasound=31\nwatch sound 31 sifa_sound\nspec 8 8 1 6 4\n"
                            "initialize\nframe 0 0\nstep 100\nkey 20 300\nbeacon 44002 0 0 0\nframe 500 0\n"
                            "expect sound sifa_sound = play\nexpect brake = 99\n",
                            "test.scn", &scenario, &error))
      << error;
  std::string loadError;
  ASSERT_TRUE(LoadVelmoraLibrary(folder.libraryPath, &plugin, &loadError)) << loadError;
  TracePlot plot;
  StartTracePlot(&plot, scenario, std::string(), std::string());
  std::pair<TracePlot*, const Scenario*> context(&plot, &scenario);
  PlaySetup setup;
  setup.configPath = folder.configPath;
  setup.eventSink = MarkOnPlot;
  setup.eventContext = &context;
  ASSERT_TRUE(PlayScenario(plugin, scenario, setup, &host, RowOnPlot, &plot, &error)) << error;

  struct Wanted {
    int64_t time;
    PlotMarkKind kind;
    const char* detail;
  };
  const Wanted wanted[] = {
      {0, kMarkHostCall, "line 4: spec 8 8 1 6 4"},
      {0, kMarkHostCall, "line 5: initialize 0"},
      {0, kMarkKeyDown, "line 8: key 20 pressed"},
      {300, kMarkKeyUp, "line 8: key 20 released after 300 ms"},
      {300, kMarkBeacon, "line 9: beacon 44002 0 0 0: trip point at stop"},
      {500, kMarkExpectMet, "line 11: met: expect sound sifa_sound = play (1)"},
      {500, kMarkExpectFailed, "FAILED test.scn:12: expected brake = 99 at t=500 ms, saw 8"},
  };
  ASSERT_EQ(plot.marks.size(), sizeof wanted / sizeof wanted[0]);
  for (size_t i = 0; i < plot.marks.size(); i++) {
    EXPECT_EQ(plot.marks[i].time, wanted[i].time) << i;
    EXPECT_EQ(plot.marks[i].kind, wanted[i].kind) << i;
    EXPECT_EQ(plot.marks[i].detail, wanted[i].detail) << i;
  }
  // The press and the release each start the Sifa sound: two starts on its lane.
  std::vector<int64_t> starts;
  for (const PlotPoint& point : plot.watched[0].points) {
    if (point.value == SOUND_PLAY) starts.push_back(point.time);
  }
  EXPECT_EQ(starts, (std::vector<int64_t>{100, 500}));
  std::string svg = TracePlotSvg(plot);
  EXPECT_NE(svg.find("<title>FAILED test.scn:12: expected brake = 99 at t=500 ms, saw 8</title>"), std::string::npos);
}
