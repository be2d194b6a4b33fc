// The scenario reader of the host harness: every event, and every way a scenario can be wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "harness/harness.h"

// Parses text that must be accepted.
static Scenario Accept(const std::string& text) {
  Scenario scenario;
  std::string error;
  EXPECT_TRUE(ParseScenario(text, "ok.scn", &scenario, &error)) << error;
  return scenario;
}

// Parses text that must be refused; returns the message and checks nothing is left to run.
static std::string Refuse(const std::string& text) {
  Scenario scenario;
  std::string error;
  EXPECT_FALSE(ParseScenario(text, "bad.scn", &scenario, &error)) << "accepted: " << text.substr(0, 80);
  EXPECT_TRUE(scenario.events.empty());
  EXPECT_TRUE(scenario.watches.empty());
  EXPECT_EQ(scenario.frameCount, 0);
  return error;
}

TEST(ScenarioReader, reads_every_event_with_its_arguments) {
  Scenario s = Accept(
      "# a departure\n"
      "spec 8 8 1 6 4\n"
      "config sifakey=20   # the Sifa key\n"
      "watch panel 10 fahrschalter\n"
      "watch sound 75\n"
      "initialize 2\n"
      "frame 0 0\n"
      "frame 100 -3.5 250.25\n"
      "step 20\n"
      "run 100 0 10\n"
      "keydown 20\n"
      "keyup 21\n"
      "key 5 40\n"
      "power 3\n"
      "brake -1\n"
      "reverser -1\n"
      "horn 1\n"
      "beacon 30 2 12.5 -7\n");
  ASSERT_EQ(s.events.size(), 14u);  // step and watch lines are no events
  EXPECT_EQ(s.events[0].kind, kEventSpec);
  EXPECT_EQ(s.events[0].spec.BrakeNotches, 8);
  EXPECT_EQ(s.events[0].spec.Cars, 4);
  EXPECT_EQ(s.events[0].line, 2);
  EXPECT_EQ(s.events[1].kind, kEventConfig);
  EXPECT_EQ(s.events[1].text, "sifakey=20");
  EXPECT_EQ(s.events[2].kind, kEventInitialize);
  EXPECT_EQ(s.events[2].brakeMode, 2);
  EXPECT_EQ(s.events[3].kind, kEventFrame);
  EXPECT_FALSE(s.events[3].hasLocation);
  EXPECT_EQ(s.events[4].time, 100);
  EXPECT_DOUBLE_EQ(s.events[4].speed, -3.5);
  EXPECT_TRUE(s.events[4].hasLocation);
  EXPECT_DOUBLE_EQ(s.events[4].location, 250.25);
  EXPECT_EQ(s.events[5].kind, kEventRun);
  EXPECT_EQ(s.events[5].duration, 100);
  EXPECT_EQ(s.events[5].step, 20);  // the step in force
  EXPECT_DOUBLE_EQ(s.events[5].speed, 0.0);
  EXPECT_DOUBLE_EQ(s.events[5].endSpeed, 10.0);
  EXPECT_EQ(s.events[6].kind, kEventKeyDown);
  EXPECT_EQ(s.events[7].kind, kEventKeyUp);
  EXPECT_EQ(s.events[7].key, 21);
  EXPECT_EQ(s.events[8].kind, kEventKey);
  EXPECT_EQ(s.events[8].duration, 40);
  EXPECT_EQ(s.events[8].step, 20);
  EXPECT_EQ(s.events[9].kind, kEventPower);
  EXPECT_EQ(s.events[10].kind, kEventBrake);
  EXPECT_EQ(s.events[10].value, -1);
  EXPECT_EQ(s.events[11].kind, kEventReverser);
  EXPECT_EQ(s.events[12].kind, kEventHorn);
  EXPECT_EQ(s.events[13].kind, kEventBeacon);
  EXPECT_EQ(s.events[13].beaconType, 30);
  EXPECT_EQ(s.events[13].beaconSignal, 2);
  EXPECT_FLOAT_EQ(static_cast<float>(s.events[13].beaconDistance), 12.5f);
  EXPECT_EQ(s.events[13].beaconOptional, -7);
  ASSERT_EQ(s.watches.size(), 2u);
  EXPECT_EQ(s.watches[0].array, kWatchPanel);
  EXPECT_EQ(s.watches[0].index, 10);
  EXPECT_EQ(s.watches[0].label, "fahrschalter");
  EXPECT_EQ(s.watches[1].array, kWatchSound);
  EXPECT_EQ(s.watches[1].label, "sound[75]");
  // 2 frames, 5 of the run (every 20 ms), 2 of the key hold.
  EXPECT_EQ(s.frameCount, 9);
}

TEST(ScenarioReader, defaults_initialize_to_brake_mode_0_and_key_to_no_hold) {
  Scenario s = Accept("initialize\nkey 9\n");
  ASSERT_EQ(s.events.size(), 2u);
  EXPECT_EQ(s.events[0].brakeMode, 0);
  EXPECT_EQ(s.events[1].duration, 0);
  EXPECT_EQ(s.frameCount, 0);
}

TEST(ScenarioReader, skips_comments_blank_lines_and_crlf_line_ends) {
  Scenario s = Accept("\r\n   \t\n# only a comment\r\nframe 0 0 # trailing comment\r\n\n  frame\t50   1.5\r\n");
  ASSERT_EQ(s.events.size(), 2u);
  EXPECT_EQ(s.events[1].line, 6);
  EXPECT_DOUBLE_EQ(s.events[1].speed, 1.5);
}

TEST(ScenarioReader, accepts_nan_and_infinite_speeds_for_robustness_runs) {
  Scenario s = Accept("frame 0 nan\nframe 1 inf\nframe 2 -inf\nframe 3 1e300\n");
  ASSERT_EQ(s.events.size(), 4u);
  EXPECT_TRUE(std::isnan(s.events[0].speed));
  EXPECT_TRUE(std::isinf(s.events[2].speed));
  EXPECT_TRUE(std::isinf(ToHostFloat(s.events[3].speed)));
  EXPECT_TRUE(std::isnan(ToHostFloat(NAN)));
  EXPECT_EQ(ToHostFloat(-1e300), -INFINITY);
  EXPECT_EQ(ToHostFloat(39.9), 39.9f);
}

TEST(ScenarioReader, message_names_file_line_and_what_was_expected) {
  std::string error = Refuse("spec 8 8 1 6 4\ninitialize\nframe 0\n");
  EXPECT_EQ(error, "bad.scn:3: expected the speed in km/h after '0'");
  error = Refuse("frame 0 fast\n");
  EXPECT_EQ(error, "bad.scn:1: expected the speed in km/h (a number such as 12.5, nan or inf), found 'fast'");
  error = Refuse("\n\nfly 3\n");
  EXPECT_EQ(error.rfind("bad.scn:3: expected an event (spec, config", 0), 0u) << error;
  EXPECT_NE(error.find("found 'fly'"), std::string::npos) << error;
}

TEST(ScenarioReader, refuses_missing_arguments_of_every_event) {
  const char* incomplete[] = {"spec 8 8 1 6", "config", "config   # only a comment", "watch", "watch panel",
                              "watch lamp 3", "frame", "run", "run 100", "step", "keydown", "keyup", "key",
                              "power", "brake", "reverser", "horn", "beacon 30 0 0"};
  for (const char* line : incomplete) {
    std::string error = Refuse(std::string("initialize\n") + line + "\n");
    EXPECT_EQ(error.rfind("bad.scn:2: expected", 0), 0u) << line << " -> " << error;
  }
}

TEST(ScenarioReader, refuses_words_after_the_last_argument) {
  const char* overfull[] = {"spec 1 2 3 4 5 6", "initialize 0 1", "frame 0 0 0 0", "run 10 1 2 3", "step 5 5",
                            "keydown 1 2", "key 1 2 3", "power 1 1", "beacon 1 2 3 4 5", "watch sound 1 a b"};
  for (const char* line : overfull) {
    std::string error = Refuse(line);
    EXPECT_NE(error.find("unexpected"), std::string::npos) << line << " -> " << error;
  }
}

TEST(ScenarioReader, refuses_numbers_beyond_their_range) {
  EXPECT_NE(Refuse("keydown 2147483648\n").find("-2147483648 to 2147483647"), std::string::npos);
  EXPECT_NE(Refuse("power -2147483649\n").find("found '-2147483649'"), std::string::npos);
  Refuse("frame 99999999999999999999999999999 0\n");
  Refuse("frame 0 1e999\n");       // beyond a double
  Refuse("frame 0 0 -1e400\n");
  Refuse("run -1 0\n");
  Refuse("step 0\n");
  Refuse("step -50\n");
  Refuse("key 1 -5\n");
  Refuse("watch panel 256\n");
  Refuse("watch sound -1\n");
  Refuse("beacon 1 2 1e999 4\n");
  Accept("keydown -2147483648\nkeyup 2147483647\nbeacon 44002 0 1e300 0\nwatch sound 255\n");
}

TEST(ScenarioReader, refuses_numbers_with_trailing_garbage) {
  Refuse("power 3x\n");
  Refuse("frame 0 12,5\n");
  Refuse("frame 0x10 0\n");
  Refuse("horn 1.0\n");
  Refuse("frame 0 --1\n");
}

TEST(ScenarioReader, keeps_the_clock_moving_forward_until_an_initialize) {
  EXPECT_NE(Refuse("frame 1000 0\nframe 999 0\n").find("lies before"), std::string::npos);
  Refuse("frame 0 0\nrun 500 0\nframe 400 0\n");
  Accept("frame 1000 0\nframe 1000 0\ninitialize\nframe 0 0\n");
}

TEST(ScenarioReader, refuses_runs_past_the_end_of_the_clock) {
  Refuse("frame 2147483000 0\nrun 1000 0\n");
  Refuse("frame 2147483000 0\nkey 5 1000\n");
  Accept("frame 2147483000 0\nrun 647 0\n");
}

TEST(ScenarioReader, refuses_scenarios_with_too_many_frames) {
  std::string error = Refuse("step 1\nrun 2000000000 0\n");
  EXPECT_NE(error.find("more than"), std::string::npos) << error;
  Accept("step 200\nrun 2000000000 0\n");
}

TEST(ScenarioReader, watch_labels_are_single_words_without_commas_or_quotes) {
  Refuse("watch panel 3 a,b\n");
  Refuse("watch panel 3 \"x\"\n");
  Scenario s = Accept("watch panel 3 brake_lamp\n");
  ASSERT_EQ(s.watches.size(), 1u);
  EXPECT_EQ(s.watches[0].label, "brake_lamp");
}

TEST(ScenarioReader, config_keeps_the_whole_line_after_the_keyword) {
  Scenario s = Accept("config powerpickuppoints=100,250,-30\nconfig \t speedselectorspeeds=40, 60 \r\n");
  ASSERT_EQ(s.events.size(), 2u);
  EXPECT_EQ(s.events[0].text, "powerpickuppoints=100,250,-30");
  EXPECT_EQ(s.events[1].text, "speedselectorspeeds=40, 60");
}

TEST(ScenarioReader, any_fault_leaves_nothing_to_run) {
  Refuse("spec 8 8 1 6 4\ninitialize\nframe 0 0\nrun 1000 10\nwatch panel 1\nbogus\n");
}

TEST(ScenarioReader, garbage_and_very_long_lines_get_short_messages) {
  std::string longLine(1000000, 'k');
  std::string error = Refuse(longLine + "\n");
  EXPECT_LT(error.size(), 300u);
  error = Refuse("frame 0 " + std::string(100000, '7') + "x\n");
  EXPECT_LT(error.size(), 300u);
  std::string binary;
  for (int i = 1; i < 256; i++) binary += static_cast<char>(i);
  error = Refuse(binary);
  EXPECT_LT(error.size(), 600u);  // two faulty lines, one message each
  for (char c : error) EXPECT_TRUE((c >= 32 && c < 127) || c == '\n') << "unprintable byte in the message";
  error = Refuse(std::string("frame\0 0", 8) + "\n");
  EXPECT_NE(error.find("bad.scn:1:"), std::string::npos);
}

TEST(ScenarioReader, survives_arbitrary_bytes) {
  // A fixed pseudo-random sequence: thousands of scenarios of random words and bytes.
  uint32_t seed = 12345;
  const char* words[] = {"spec", "frame", "run", "key", "step", "watch", "panel", "sound", "config", "initialize",
                         "beacon", "0", "-1", "1e999", "nan", "99999999999", "\n", "#", " ", "\t", "\r", "2147483647"};
  for (int round = 0; round < 3000; round++) {
    std::string text;
    int count = static_cast<int>(seed % 40);
    for (int i = 0; i < count; i++) {
      seed = seed * 1103515245u + 12345u;
      if ((seed >> 16) % 3 == 0) {
        text += static_cast<char>((seed >> 8) & 0xff);
      } else {
        text += words[(seed >> 16) % (sizeof words / sizeof words[0])];
        text += ' ';
      }
    }
    Scenario scenario;
    std::string error;
    bool accepted = ParseScenario(text, "fuzz.scn", &scenario, &error);
    if (accepted) {
      EXPECT_LE(scenario.frameCount, kMaxFrames);
    } else {
      EXPECT_EQ(error.rfind("fuzz.scn:", 0), 0u) << error;
      EXPECT_TRUE(scenario.events.empty());
    }
  }
}

TEST(ScenarioReader, reports_an_unreadable_file_by_its_path) {
  Scenario scenario;
  std::string error;
  EXPECT_FALSE(ReadScenarioFile("/nonexistent/folder/none.scn", &scenario, &error));
  EXPECT_NE(error.find("/nonexistent/folder/none.scn"), std::string::npos) << error;
}

TEST(TraceFormat, header_lists_the_handles_then_the_watches) {
  Scenario s = Accept("watch panel 10 fahrschalter\nwatch sound 75\n");
  EXPECT_EQ(TraceHeader(s), "time,speed,location,brake,power,reverser,constantspeed,fahrschalter,sound[75]");
}

TEST(TraceFormat, row_shows_two_decimals_and_the_watched_values) {
  TraceRow row;
  row.time = 1500;
  row.speed = 12.345f;
  row.location = 1e18;
  row.handles = {3, 4, -1, 0};
  row.watched = {2, -10000};
  EXPECT_EQ(TraceLine(row), "1500,12.35,1e+18,3,4,-1,0,2,-10000");
  row.location = -0.5;
  row.watched.clear();
  EXPECT_EQ(TraceLine(row), "1500,12.35,-0.50,3,4,-1,0");
}

TEST(ScenarioReader, reads_expect_lines_by_index_by_watch_name_and_for_the_handles) {
  Scenario s = Accept(
      "watch sound 75 starting\n"
      "frame 0 0\n"
      "expect panel 13 = 500\n"
      "expect sound starting = play   # a sound by its meaning\n"
      "expect brake=-1\n"
      "expect power =4\n"
      "expect reverser= 1\n"
      "expect panel lamp = 1\n"
      "dooropen\ndoorclose\nsignal 3\n"
      "watch panel 15 lamp   # watches may follow the expect lines that name them\n");
  const struct {
    ExpectTarget target;
    int index, value;
  } wanted[] = {{kExpectPanel, 13, 500}, {kExpectSound, 75, SOUND_PLAY}, {kExpectBrake, 0, -1},
                {kExpectPower, 0, 4},    {kExpectReverser, 0, 1},       {kExpectPanel, 15, 1}};
  ASSERT_EQ(s.expectations.size(), 6u);
  for (int i = 0; i < 6; i++) {
    EXPECT_EQ(s.expectations[i].target, wanted[i].target) << i;
    EXPECT_EQ(s.expectations[i].index, wanted[i].index) << i;
    EXPECT_EQ(s.expectations[i].value, wanted[i].value) << i;
    EXPECT_EQ(s.expectations[i].line, i + 3);
    EXPECT_EQ(s.events[i + 1].kind, kEventExpect);
    EXPECT_EQ(s.events[i + 1].expectation, static_cast<size_t>(i));
  }
  ASSERT_EQ(s.events.size(), 10u);
  EXPECT_EQ(s.events[7].kind, kEventDoorOpen);
  EXPECT_EQ(s.events[8].kind, kEventDoorClose);
  EXPECT_EQ(s.events[9].kind, kEventSignal);
  EXPECT_EQ(s.events[9].value, 3);
}

TEST(ScenarioReader, refuses_expect_lines_it_cannot_check) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"expect brake = 1\n", "bad.scn:1: an expect line needs a frame before it"},
      {"frame 0 0\nexpect panel lamp = 1\n", "bad.scn:2: no watch panel line is labelled 'lamp'"},
      {"watch sound 4 lamp\nframe 0 0\nexpect panel lamp = 1\n", "(it labels a sound element)"},
      {"frame 0 0\nexpect panel 256 = 1\n", "from 0 to 255"},
      {"frame 0 0\nexpect panel 3 1\n", "expected '='"},
      {"frame 0 0\nexpect speed = 3\n", "found 'speed'"},
      {"frame 0 0\nexpect brake 3 = 3\n", "unexpected '3' before '='"},
      {"frame 0 0\nexpect panel 3 = play\n", "expected the value"},
      {"frame 0 0\nexpect power = 1 2\n", "unexpected '2' after the value"},
      {"frame 0 0\nexpect power =\n", "expected the value after '='"},
      {"frame 0 0\ndooropen now\n", "unexpected 'now'"},
      {"signal\n", "expected the signal"},
  };
  for (const Case& c : cases) {
    std::string error = Refuse(c.text);
    EXPECT_NE(error.find(c.message), std::string::npos) << c.text << " -> " << error;
  }
}

TEST(ScenarioReader, warns_of_config_lines_that_never_reach_the_library) {
  Scenario none = Accept("config sifakey=20\nframe 0 0\n");
  ASSERT_EQ(none.warnings.size(), 1u);
  EXPECT_EQ(none.warnings[0].rfind("ok.scn: warning: no initialize line", 0), 0u) << none.warnings[0];
  Scenario late =
      Accept("spec 8 8 1 6 4\nconfig a=1\ninitialize\nconfig b=2\ninitialize\nconfig c=3\nframe 0 0\nconfig d=4\n");
  ASSERT_EQ(late.warnings.size(), 2u);
  EXPECT_EQ(late.warnings[0].rfind("ok.scn:6: warning: config line after the last initialize (line 5)", 0), 0u)
      << late.warnings[0];
  EXPECT_EQ(late.warnings[1].rfind("ok.scn:8: warning:", 0), 0u);
  EXPECT_TRUE(Accept("spec 8 8 1 6 4\nconfig a=1\ninitialize\nframe 0 0\n").warnings.empty());
}

TEST(ScenarioReader, refuses_a_watch_label_used_twice) {
  EXPECT_EQ(Refuse("watch panel 3 lamp\n\nwatch sound 3 lamp\n"),
            "bad.scn:3: the label 'lamp' is already used by the watch on line 1; give this watch a label of its own");
  Refuse("watch panel 3\nwatch panel 3\n");  // the same default label
  Accept("watch panel 3\nwatch sound 3\n");
}

TEST(ScenarioReader, tells_why_a_scenario_file_cannot_be_read) {
  Scenario scenario;
  std::string error;
  EXPECT_FALSE(ReadScenarioFile("/nonexistent/none.scn", &scenario, &error));
  EXPECT_EQ(error, "/nonexistent/none.scn: cannot read the scenario file: there is no such file");
  std::string folder = DirectoryOf(ExecutablePath());
  EXPECT_FALSE(ReadScenarioFile(folder, &scenario, &error));
  EXPECT_EQ(error, folder + ": cannot read the scenario file: it is a folder, not a file");
}

TEST(ScenarioReader, lists_every_faulty_line_at_once_in_line_order) {
  // A watch name no watch carries is found only at the end, yet it is listed at its own line.
  std::string error = Refuse("frame 0 0\nexpect panel lamp = 1\nspec 8 8\nframe x 0\nexpect brake = 0\nfly\n");
  std::vector<std::string> lines;
  for (size_t start = 0; start <= error.size();) {
    size_t end = error.find('\n', start);
    if (end == std::string::npos) end = error.size();
    lines.push_back(error.substr(start, end - start));
    start = end + 1;
  }
  ASSERT_EQ(lines.size(), 4u) << error;  // the expect after the faulty frame is not faulted for it
  const char* starts[] = {"bad.scn:2: no watch panel line", "bad.scn:3: expected AtsNotch",
                          "bad.scn:4: expected the time in ms", "bad.scn:6: expected an event"};
  for (size_t i = 0; i < 4; i++) EXPECT_EQ(lines[i].rfind(starts[i], 0), 0u) << lines[i];
  std::string many;
  for (int i = 0; i < kMaxFaults + 5; i++) many += "fly\n";
  error = Refuse(many);
  EXPECT_EQ(error.substr(error.rfind('\n') + 1), "bad.scn: 5 more faults not shown");
}

TEST(ScenarioReader, warns_when_the_vehicle_has_fewer_notches_than_the_ubahn_cab_drives) {
  struct Case {
    const char* text;
    const char* baseConfig;             // as from --config
    std::vector<std::string> warnings;  // how each warning starts
  };
  const Case cases[] = {
      {"spec 8 8 1 6 4\ninitialize\n", "", {}},
      {"spec 9 12 1 6 4\ninitialize\n", "", {}},
      {"initialize\nspec 8 8 1 6 4\ninitialize\n", "", {"ok.scn:1: warning: initialize without a spec line before it"}},
      {"frame 0 0\n\nspec 4 5 1 6 4\ninitialize\n", "",
       {"ok.scn:3: warning: the vehicle has 4 brake notches, fewer than the 8 the U-Bahn cab drives: its brake "
        "demands above notch 4 are lost",
        "ok.scn:3: warning: the vehicle has 5 power notches, fewer than the 8 the U-Bahn cab drives: master "
        "controller positions that ask for a power notch above 5 give power 0"}},
      {"spec 8 -3 1 6 4\ninitialize\ninitialize\n", "", {"ok.scn:1: warning: the vehicle has -3 power notches"}},
      // A cab without the U-Bahn drives no U-Bahn notches, whether the file or the scenario says so.
      {"config runubahn=0\nspec 4 5 1 6 4\ninitialize\n", "", {}},
      {"initialize\n", "sifakey=20\nrunubahn=0\n", {"ok.scn:1: warning: initialize without a spec line before it"}},
      {"config runubahn=1\nspec 4 8 1 6 4\ninitialize\n", "runubahn=0\n",
       {"ok.scn:2: warning: the vehicle has 4 brake notches"}},
      // Without a vehicle, whatever runs: the protection brakes give notch 1 and say so.
      {"config runubahn=0\nconfig runpzb90=1\nconfig runvigilance=1\ninitialize\n", "",
       {"ok.scn:4: warning: initialize without a spec line before it: the vehicle has 0 brake and 0 power notches, so "
        "the power handle gives no power and no brake goes above notch 1; the emergency brake (vigilance device, "
        "PZB90) gives notch 1"}},
      {"initialize\n", "runubahn=0\nrunoverspeed=1\n",
       {"ok.scn:1: warning: initialize without a spec line before it: the vehicle has 0 brake and 0 power notches, so "
        "the power handle gives no power and no brake goes above notch 1; the service brake (overspeed control) gives notch 0"}},
      // A running system's demands against the vehicle's notches, judged again where a restart
      // starts another system, each said once.
      {"spec 7 4 1 5 3\ninitialize\n", "runubahn=0\nrunawstpws=1\nrunoverspeed=1\n", {}},
      {"spec 0 4 1 5 3\ninitialize\nconfig runoverspeed=1\ninitialize\ninitialize\n", "runubahn=0\n",
       {"ok.scn:1: warning: the vehicle has 0 brake notches, fewer than the 1 overspeed control needs"}},
      {"spec -1 4 1 5 3\ninitialize\n", "runubahn=0\nrunawstpws=1\n",
       {"ok.scn:1: warning: the vehicle has -1 brake notches, fewer than the 0 British AWS/TPWS needs"}},
  };
  for (const Case& c : cases) {
    Scenario s = Accept(c.text);
    WarnOfTooFewNotches(&s, c.baseConfig);
    ASSERT_EQ(s.warnings.size(), c.warnings.size()) << c.text;
    for (size_t i = 0; i < c.warnings.size(); i++) EXPECT_EQ(s.warnings[i].rfind(c.warnings[i], 0), 0u) << s.warnings[i];
  }
}
