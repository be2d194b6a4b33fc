// The brake pipe's 50 ms steps: venting and charging rates, the supply pressure dip, the air brake
// lifting, and the two gauges.
#include <gtest/gtest.h>

#include <vector>

#include "ubahn_cab_setup.h"

// A cab whose pipe stands at `pipe` kPa with the brake controller at `position`, forward chosen,
// the Sifa key held, and the step timer started at time 1000: the next step is due at 1050.
static void PipeAt(double pipe, int position) {
  StartCab();
  TestCab().master.fahrschalter = 3;
  TestCab().master.richtung = kRichtungVorwaerts;
  TestCab().master.SifaKey = true;
  TestCab().master.sifaAn = true;
  TestCab().brake.bremsschalter = position;
  TestCab().brake.bremsleitungsdruck = pipe;
  TestCab().brake.druck_hilfsvariable = pipe;
  TestCab().brake.fuellleitungsdruck = 500.0;
  TestCab().brake.fuellleitungsdruck_hilf = 500.0;
  TestCab().brake.luftbremstimer2 = 1000;
}

// One frame `ms` after the last one.
static void FrameAfter(int ms) {
  gState.Time += ms;
  bremsleitung(TestCab());
}

TEST(BrakePipe, vents_100_kpa_per_step_in_emergency_down_to_0) {
  PipeAt(300.0, 8);
  double expected[] = {200.0, 100.0, 0.0, 0.0};
  for (double e : expected) {
    FrameAfter(50);
    EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, e);
  }
}

TEST(BrakePipe, vents_3_kpa_per_step_in_position_7_and_stops_at_0) {
  PipeAt(10.0, 7);
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 7.0);
  PipeAt(0.0, 7);
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 0.0);
  PipeAt(1.0, 7);
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 0.0);  // limited, never negative
}

TEST(BrakePipe, steps_only_once_50_ms_have_passed_since_the_last_step) {
  PipeAt(300.0, 8);
  FrameAfter(49);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 300.0);
  FrameAfter(1);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 200.0);
}

TEST(BrakePipe, frames_20_ms_apart_step_every_third_frame) {
  PipeAt(500.0, 7);
  double last = TestCab().brake.bremsleitungsdruck;
  std::vector<int> stepFrames;
  for (int frame = 1; frame <= 9; frame++) {
    FrameAfter(20);
    if (TestCab().brake.bremsleitungsdruck != last) stepFrames.push_back(frame);
    last = TestCab().brake.bremsleitungsdruck;
  }
  EXPECT_EQ(stepFrames, (std::vector<int>{3, 6, 9}));
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 491.0);
}

TEST(BrakePipe, fast_charging_fills_by_15_less_a_share_of_the_pipe_and_draws_the_supply) {
  PipeAt(300.0, 2);
  gOpts[OPT_bremsleitungsdruck].value = kPanelPipe;
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 306.6);
  EXPECT_EQ(GetPanel(kPanelPipe), 306);
  EXPECT_DOUBLE_EQ(TestCab().brake.fuellleitungsdruck, 498.0);
  EXPECT_EQ(GetPanel(kPanelSupply), 498);
}

TEST(BrakePipe, supply_falls_2_kpa_per_step_to_its_target_then_follows_it_up) {
  PipeAt(300.0, 2);
  TestCab().brake.fuellleitungsdruck = 462.0;  // target at 300 kPa: 300 / 5 + 400 = 460
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.fuellleitungsdruck, 460.0);
  double pipeBefore = TestCab().brake.bremsleitungsdruck;
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.fuellleitungsdruck, pipeBefore / 5.0 + 400.0);
  FrameAfter(20);  // no step: the supply holds
  EXPECT_DOUBLE_EQ(TestCab().brake.fuellleitungsdruck, pipeBefore / 5.0 + 400.0);
}

TEST(BrakePipe, slow_charging_fills_by_4_less_a_share_of_the_pipe) {
  PipeAt(300.0, 1);
  TestCab().brake.fuellleitungsdruck = 480.0;  // target 300 / 20 + 475 = 490: the supply takes it
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 300.0 + 4.0 - 0.0074 * 300.0);
  EXPECT_DOUBLE_EQ(TestCab().brake.fuellleitungsdruck, 490.0);
}

TEST(BrakePipe, slow_charging_in_the_electric_positions_leaves_the_supply_at_500) {
  for (int position = 3; position <= 5; position++) {
    PipeAt(400.0, position);
    FrameAfter(50);
    EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 400.0 + 4.0 - 0.0074 * 400.0) << position;
    EXPECT_DOUBLE_EQ(TestCab().brake.fuellleitungsdruck, 500.0);
  }
  PipeAt(400.0, 6);  // position 6 does not charge
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 400.0);
}

TEST(BrakePipe, charging_needs_the_sifa_key_and_a_direction) {
  PipeAt(300.0, 2);
  TestCab().master.SifaKey = false;
  TestCab().brake.fuellleitungsdruck = 470.0;
  TestCab().brake.fuellleitungsdruck_hilf = 470.0;
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 300.0);
  EXPECT_DOUBLE_EQ(TestCab().brake.fuellleitungsdruck, 500.0);

  PipeAt(300.0, 2);
  TestCab().master.fahrschalter = 2;
  TestCab().brake.fuellleitungsdruck = 470.0;
  TestCab().brake.fuellleitungsdruck_hilf = 470.0;
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 300.0);
  EXPECT_DOUBLE_EQ(TestCab().brake.fuellleitungsdruck, 470.0);  // keeps its last value
}

TEST(BrakePipe, is_limited_to_500_when_a_step_would_overfill_it) {
  PipeAt(499.0, 2);
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 500.0);
  EXPECT_DOUBLE_EQ(TestCab().brake.druck_hilfsvariable, 500.0);
}

TEST(BrakePipe, holding_brake_vents_2_kpa_per_step_down_to_440) {
  PipeAt(441.0, 6);
  TestCab().brake.festhaltebremse = true;
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 439.0);
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 439.0);
}

TEST(BrakePipe, trip_valve_blocks_charging_and_vents_30_kpa_per_step) {
  PipeAt(400.0, 2);
  TestCab().tripStop.fahrsperre = kFahrsperreAusgeloest;
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 370.0);
}

TEST(BrakePipe, overspeed_valve_vents_10_kpa_per_step_down_to_400_and_blocks_charging) {
  PipeAt(405.0, 1);
  TestCab().sounds.deuta = kDeutaBremst;
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 395.0);
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 395.0);
}

TEST(BrakePipe, venting_rates_add_up_in_one_step) {
  PipeAt(300.0, 7);
  TestCab().master.SifaBremst = true;  // 50 in position 7 plus 30 for the Sifa
  TestCab().master.SifaKey = false;
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 220.0);

  PipeAt(299.0, 7);  // below 300 kPa position 7 vents only 3
  TestCab().master.SifaBremst = true;
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 266.0);

  PipeAt(460.0, 6);
  TestCab().brake.festhaltebremse = true;
  TestCab().master.SifaBremst = true;  // the holding brake vents 50 during forced braking, plus 30
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 380.0);
}

TEST(BrakePipe, sifa_venting_stops_with_the_controller_in_neutral) {
  PipeAt(400.0, 4);
  TestCab().master.SifaKey = false;
  TestCab().master.SifaBremst = true;
  TestCab().master.fahrschalter = 2;
  FrameAfter(50);
  EXPECT_DOUBLE_EQ(TestCab().brake.bremsleitungsdruck, 400.0);
}

TEST(BrakePipe, air_brake_lifts_above_490_in_released_positions_and_above_440_from_position_4) {
  PipeAt(489.0, 1);
  TestCab().brake.luftbremse = true;
  FrameAfter(50);  // 489 + 4 - 3.6186
  EXPECT_TRUE(TestCab().brake.luftbremse);
  FrameAfter(50);
  FrameAfter(50);
  EXPECT_GT(TestCab().brake.bremsleitungsdruck, 490.0);
  EXPECT_FALSE(TestCab().brake.luftbremse);

  PipeAt(441.0, 4);
  TestCab().brake.luftbremse = true;
  FrameAfter(10);  // no step needed: the pressure is already above 440
  EXPECT_FALSE(TestCab().brake.luftbremse);

  PipeAt(480.0, 3);  // position 3 never lifts it
  TestCab().brake.luftbremse = true;
  FrameAfter(50);
  EXPECT_TRUE(TestCab().brake.luftbremse);
}

TEST(BrakePipe, gauges_show_the_pressures_truncated) {
  PipeAt(300.0, 5);
  gOpts[OPT_bremsleitungsdruck].value = kPanelPipe;
  gOpts[OPT_fuellleitungsdruck].value = kPanelSupply;
  FrameAfter(50);  // 300 + 4 - 2.22 = 301.78
  EXPECT_EQ(GetPanel(kPanelPipe), 301);
  EXPECT_EQ(GetPanel(kPanelSupply), 500);
}
