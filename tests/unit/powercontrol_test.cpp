#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "power/powercontrol.h"
#include "cab/handles_testing.h"
#include "supervision_support.h"
#include "power/powercontrol_record.h"

namespace {

PowerControlRecord& power = PowerControlForTesting();

const int kLamp = 30;          // line-voltage lamp
const int kReminderLamp = 31;  // reminder switch lamp
const int kReminderKey = 17;
const int kTopNotch = 4;

// A train with 4 power notches and the driver's handle at full power, standing at `location`;
// gaps handled by `behaviour`, collectors at the given distances (file text, e.g. "0,40,80").
void StartTrain(int behaviour, const char* pickups = "0", double location = 1000.0) {
  FreshCab();
  std::string behaviourLine = "powergapbehaviour=" + std::to_string(behaviour);
  std::string pickupLine = std::string("powerpickuppoints=") + pickups;
  ConfigureLines({behaviourLine.c_str(), pickupLine.c_str(), "powerindicator=30",
                  "reminderindicator=31", "reminderkey=17"});
  StartArbitration(8, kTopNotch);
  SetPowerHandle(kTopNotch);
  gState.Location = location;
  DestroyPowerControl();
  InitPowerControl(0);
}

void Announce(int length, float speed = 50.0f) {
  gState.Speed = speed;
  PowerBeacon(ATS_BEACONDATA{kBeaconPowerGap, 0, 0.0f, length});
}

void RunTo(double location, float speed = 50.0f) {
  gState.Location = location;
  gState.Speed = speed;
  PowerControl();
}

std::vector<double> Starts() {
  std::vector<double> starts;
  for (const Gap* gap = power.gaplist; gap != nullptr; gap = gap->next) starts.push_back(gap->start);
  return starts;
}

// The power demand counts of every notch, to compare before and after a run.
std::vector<int32_t> PowerCounts() {
  std::vector<int32_t> counts;
  for (int notch = 0; notch <= kTopNotch; notch++) counts.push_back(PowerDemandCount(notch));
  return counts;
}

}  // namespace

TEST(PowerGaps, start_counts_the_collectors_and_lights_the_line_lamp) {
  StartTrain(1, "0,40,80");
  EXPECT_EQ(power.pickupPoints, 3);
  EXPECT_EQ(power.gappedPickups, 0);
  EXPECT_EQ(power.gaplist, nullptr);
  EXPECT_EQ(GetPanel(kLamp), 1);
  StartTrain(1);
  EXPECT_EQ(power.pickupPoints, 1);
}

TEST(PowerGaps, destroy_frees_every_record) {
  StartTrain(2, "0,40,80");
  Announce(30);
  Announce(30);
  EXPECT_EQ(power.gapRecords, 6);
  DestroyPowerControl();
  EXPECT_EQ(power.gaplist, nullptr);
  EXPECT_EQ(power.gapRecords, 0);
}

TEST(PowerGaps, single_collector_enters_beyond_start_and_leaves_beyond_end) {
  StartTrain(2);
  Announce(30);
  ASSERT_EQ(Starts(), std::vector<double>{1000.0});
  RunTo(1000.0);
  EXPECT_EQ(gHandles.Power, kTopNotch);
  RunTo(1000.5);
  EXPECT_TRUE(power.gaplist->gapped);
  EXPECT_EQ(gHandles.Power, 0);
  EXPECT_EQ(GetPanel(kLamp), 0);
  RunTo(1030.0);
  EXPECT_EQ(gHandles.Power, 0);
  RunTo(1030.5);
  EXPECT_EQ(gHandles.Power, kTopNotch);
  EXPECT_EQ(GetPanel(kLamp), 1);
  EXPECT_EQ(power.gaplist, nullptr);
}

TEST(PowerGaps, records_start_at_each_collector_in_option_order) {
  StartTrain(2, "0,40,-15");
  Announce(30);
  EXPECT_EQ(Starts(), (std::vector<double>{1000.0, 1040.0, 985.0}));
  gState.Location = 2000.0;
  Announce(10);
  EXPECT_EQ(Starts(), (std::vector<double>{1000.0, 1040.0, 985.0, 2000.0, 2040.0, 1985.0}));
}

TEST(PowerGaps, beacons_that_announce_no_gap_create_nothing) {
  StartTrain(2);
  Announce(0);
  Announce(30, 0.0f);
  Announce(30, -10.0f);
  Announce(30, std::numeric_limits<float>::quiet_NaN());
  gState.Speed = 50.0f;
  PowerBeacon(ATS_BEACONDATA{21, 0, 0.0f, 30});
  EXPECT_EQ(power.gaplist, nullptr);
  StartTrain(0);
  Announce(30);
  EXPECT_EQ(power.gaplist, nullptr);
}

TEST(PowerGaps, ignored_gaps_and_standstill_leave_the_power_alone) {
  StartTrain(2);
  Announce(30);
  RunTo(1010.0, 0.0f);
  EXPECT_FALSE(power.gaplist->gapped);
  gOpts[OPT_powergapbehaviour].value = 0;
  RunTo(1010.0);
  EXPECT_FALSE(power.gaplist->gapped);
  EXPECT_EQ(gHandles.Power, kTopNotch);
}

TEST(PowerGaps, proportional_behaviour_takes_off_the_share_of_dead_collectors) {
  StartTrain(1, "0,40,80");
  Announce(200);
  RunTo(1001.0);  // first collector in
  EXPECT_EQ(gHandles.Power, 3);
  EXPECT_EQ(GetPanel(kLamp), 1);
  RunTo(1041.0);  // second
  EXPECT_EQ(gHandles.Power, 1);
  EXPECT_EQ(GetPanel(kLamp), 1);
  RunTo(1081.0);  // all three
  EXPECT_EQ(gHandles.Power, 0);
  EXPECT_EQ(GetPanel(kLamp), 0);
  RunTo(1201.0);
  EXPECT_EQ(gHandles.Power, 1);
  EXPECT_EQ(GetPanel(kLamp), 1);
  RunTo(1241.0);
  EXPECT_EQ(gHandles.Power, 3);
  RunTo(1281.0);
  EXPECT_EQ(gHandles.Power, kTopNotch);
  EXPECT_EQ(power.gappedPickups, 0);
  EXPECT_EQ(power.gaplist, nullptr);
}

TEST(PowerGaps, any_dead_collector_cuts_power_until_every_one_has_left) {
  StartTrain(2, "0,40");
  std::vector<int32_t> before = PowerCounts();
  Announce(100);
  RunTo(1001.0);
  EXPECT_EQ(gHandles.Power, 0);
  EXPECT_EQ(GetPanel(kLamp), 0);
  RunTo(1041.0);
  EXPECT_EQ(PowerDemandCount(0), before[0] + 2);
  RunTo(1101.0);  // first out, second still in
  EXPECT_EQ(gHandles.Power, 0);
  EXPECT_EQ(PowerDemandCount(0), before[0] + 1);
  RunTo(1141.0);
  EXPECT_EQ(gHandles.Power, kTopNotch);
  EXPECT_EQ(PowerCounts(), before);
}

TEST(PowerGaps, all_collectors_dead_cuts_power_until_all_are_live_again) {
  StartTrain(3, "0,40");
  Announce(100);
  RunTo(1001.0);
  EXPECT_EQ(gHandles.Power, kTopNotch);
  EXPECT_EQ(GetPanel(kLamp), 1);
  RunTo(1041.0);
  EXPECT_EQ(gHandles.Power, 0);
  EXPECT_EQ(GetPanel(kLamp), 0);
  RunTo(1101.0);
  EXPECT_EQ(gHandles.Power, 0);
  EXPECT_EQ(GetPanel(kLamp), 0);
  RunTo(1141.0);
  EXPECT_EQ(gHandles.Power, kTopNotch);
  EXPECT_EQ(GetPanel(kLamp), 1);
  EXPECT_EQ(power.gappedPickups, 0);
}

// Collectors 40 m apart pass a 10 m gap one at a time: the count rises to 1 and falls back to 0
// each time, which must not lift a cut that was never placed (and so cancel someone else's).
TEST(PowerGaps, collector_passing_a_gap_alone_lifts_no_cut_that_was_never_placed) {
  StartTrain(3, "0,40");
  std::vector<int32_t> before = PowerCounts();
  Announce(10);
  for (double at = 1001.0; at < 1060.0; at += 1.0) RunTo(at);
  EXPECT_EQ(power.gaplist, nullptr);
  EXPECT_EQ(PowerCounts(), before);
  EXPECT_EQ(gHandles.Power, kTopNotch);
  PowerControlKeyPressed(kReminderKey);
  EXPECT_EQ(gHandles.Power, 0);
}

// A frame that carries a collector from before a gap to beyond its end must give back what the
// entry took: the limit and the dead-collector count.
TEST(PowerGaps, gap_crossed_within_one_frame_releases_its_limit) {
  for (int behaviour : {1, 2, 3}) {
    SCOPED_TRACE(behaviour);
    StartTrain(behaviour);
    std::vector<int32_t> before = PowerCounts();
    Announce(10);
    RunTo(1020.0);
    EXPECT_EQ(power.gaplist, nullptr);
    EXPECT_EQ(PowerCounts(), before);
    EXPECT_EQ(power.gappedPickups, 0);
    EXPECT_EQ(gHandles.Power, kTopNotch);
    EXPECT_EQ(GetPanel(kLamp), 1);
  }
}

TEST(PowerGaps, backing_out_of_a_gap_keeps_the_record_for_the_next_run_forward) {
  StartTrain(2);
  Announce(30);
  RunTo(1010.0);
  EXPECT_EQ(gHandles.Power, 0);
  RunTo(1005.0, -5.0f);  // still inside
  EXPECT_EQ(gHandles.Power, 0);
  RunTo(999.0, -5.0f);
  EXPECT_EQ(gHandles.Power, kTopNotch);
  EXPECT_EQ(GetPanel(kLamp), 1);
  ASSERT_NE(power.gaplist, nullptr);
  EXPECT_FALSE(power.gaplist->gapped);
  RunTo(1001.0);
  EXPECT_EQ(gHandles.Power, 0);
  RunTo(1031.0);
  EXPECT_EQ(gHandles.Power, kTopNotch);
  EXPECT_EQ(power.gaplist, nullptr);
}

TEST(PowerGaps, negative_length_is_a_gap_that_never_ends) {
  StartTrain(2);
  Announce(-1);
  RunTo(1001.0);
  RunTo(1.0e9);
  EXPECT_EQ(gHandles.Power, 0);
  ASSERT_NE(power.gaplist, nullptr);
  EXPECT_TRUE(power.gaplist->gapped);
}

TEST(PowerGaps, reminder_switch_toggles_a_cut_at_notch_zero) {
  StartTrain(0);
  PowerControlKeyPressed(kReminderKey);
  EXPECT_TRUE(power.reminder);
  EXPECT_EQ(gHandles.Power, 0);
  EXPECT_EQ(GetPanel(kReminderLamp), 1);
  PowerControlKeyPressed(kReminderKey + 1);
  EXPECT_TRUE(power.reminder);
  PowerControlKeyPressed(kReminderKey);
  EXPECT_FALSE(power.reminder);
  EXPECT_EQ(gHandles.Power, kTopNotch);
  EXPECT_EQ(GetPanel(kReminderLamp), 0);
}

TEST(PowerGaps, unconfigured_reminder_key_matches_no_key) {
  StartTrain(0);
  gOpts[OPT_reminderkey].value = -1;
  PowerControlKeyPressed(-1);
  EXPECT_FALSE(power.reminder);
  EXPECT_EQ(gHandles.Power, kTopNotch);
}

TEST(PowerGaps, absurd_positions_make_no_records_that_cannot_be_passed) {
  StartTrain(2, "-2147483648,2147483647");
  Announce(10);
  EXPECT_EQ(Starts(), (std::vector<double>{1000.0 - 2147483648.0, 1000.0 + 2147483647.0}));
  DestroyPowerControl();
  InitPowerControl(0);
  gState.Location = std::numeric_limits<double>::quiet_NaN();
  Announce(10);
  gState.Location = std::numeric_limits<double>::infinity();
  Announce(10);
  EXPECT_EQ(power.gaplist, nullptr);
  RunTo(std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(gHandles.Power, kTopNotch);
}

TEST(PowerGaps, a_flood_of_beacons_keeps_a_bounded_list) {
  StartTrain(2, "0,40,80");
  for (int i = 0; i < 5000; i++) Announce(10);
  EXPECT_LE(power.gapRecords, kMaxGapRecords);
  int walked = 0;
  for (const Gap* gap = power.gaplist; gap != nullptr; gap = gap->next) walked++;
  EXPECT_EQ(walked, power.gapRecords);
  RunTo(1001.0);
  EXPECT_EQ(gHandles.Power, 0);
  RunTo(1100.0);
  EXPECT_EQ(power.gaplist, nullptr);
  EXPECT_EQ(gHandles.Power, kTopNotch);
}

// Random gaps, overlapping ones, standstill and reversing: once the train has run clear of every
// gap each behaviour has given back every limit it placed.
TEST(PowerGaps, every_limit_is_given_back_after_a_random_run) {
  for (int behaviour : {1, 2, 3}) {
    SCOPED_TRACE(behaviour);
    StartTrain(behaviour, "0,25,60", 0.0);
    std::vector<int32_t> before = PowerCounts();
    std::mt19937 random(behaviour);
    double location = 0.0;
    for (int frame = 0; frame < 20000; frame++) {
      float speed = static_cast<float>(static_cast<int>(random() % 41) - 10);
      location += speed * 0.05;
      gState.Location = location;
      if (random() % 50 == 0) Announce(1 + static_cast<int>(random() % 120), speed);
      RunTo(location, speed);
      ASSERT_GE(power.gappedPickups, 0);
    }
    RunTo(location + 1000.0);
    EXPECT_EQ(power.gaplist, nullptr);
    EXPECT_EQ(power.gappedPickups, 0);
    EXPECT_EQ(PowerCounts(), before);
    EXPECT_EQ(gHandles.Power, kTopNotch);
    EXPECT_EQ(GetPanel(kLamp), 1);
  }
}

TEST(PowerGaps, host_key_reaches_the_reminder_switch) {
  StartTrain(0);
  KeyDown(kReminderKey);
  EXPECT_TRUE(power.reminder);
  EXPECT_EQ(GetPanel(kReminderLamp), 1);
}
