#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "supervision/misc.h"
#include "supervision_support.h"
#include "supervision/misc_record.h"

namespace {

MiscRecord& misc = MiscForTesting();

// The cab with these option lines, doors open, no side released, every panel element at 7 so
// that a write of 0 shows.
void StartCab(const std::vector<std::string>& lines) {
  FreshCab();
  ConfigureLines(lines);
  for (int i = 0; i < kElementCount; i++) SetPanel(i, 7);
  misc.doorSide = 0;
  InitMiscellaneous(0);
}

void FrameAt(int32_t time) {
  gState.Time = time;
  RunMiscellaneous();
}

}  // namespace

// ---- Door lamps ----

TEST(DoorLamps, start_of_run_puts_both_lamps_out) {
  StartCab({"doorindicator=30,31"});
  EXPECT_TRUE(misc.doorOpen);
  EXPECT_EQ(GetPanel(30), 0);
  EXPECT_EQ(GetPanel(31), 0);
  EXPECT_EQ(GetPanel(32), 7);
}

TEST(DoorLamps, a_side_released_in_the_run_before_lights_no_lamp_at_the_start) {
  StartCab({"doorindicator=30,31"});
  MiscPlatformBeacon({kBeaconPlatformSide, 0, 0.0f, kPlatformRight});
  setDoorState(false);
  InitMiscellaneous(0);
  EXPECT_EQ(GetPanel(31), 0);
  FrameAt(5000);
  EXPECT_EQ(GetPanel(31), 0);
}

TEST(DoorLamps, released_sides_light_and_stay_lit_until_no_side_is_released) {
  StartCab({"doorindicator=30,31"});
  setDoorSide(2);
  EXPECT_EQ(GetPanel(30), 1);
  EXPECT_EQ(GetPanel(31), 1);
  setDoorSide(-1);
  EXPECT_EQ(misc.doorSide, -1);
  EXPECT_EQ(GetPanel(30), 1);
  EXPECT_EQ(GetPanel(31), 1);  // not switched off by releasing the other side alone
  setDoorSide(0);
  EXPECT_EQ(GetPanel(30), 0);
  EXPECT_EQ(GetPanel(31), 0);
  setDoorSide(1);
  EXPECT_EQ(GetPanel(30), 0);
  EXPECT_EQ(GetPanel(31), 1);
}

TEST(DoorLamps, closing_the_doors_puts_the_lamps_out) {
  StartCab({"doorindicator=30,31"});
  setDoorSide(2);
  setDoorState(false);
  EXPECT_FALSE(misc.doorOpen);
  EXPECT_EQ(GetPanel(30), 0);
  EXPECT_EQ(GetPanel(31), 0);
  setDoorState(true);
  EXPECT_EQ(GetPanel(30), 1);
  EXPECT_EQ(GetPanel(31), 1);
}

TEST(DoorLamps, side_chosen_on_the_move_is_stored_without_touching_the_lamps) {
  for (float speed : {10.0f, -0.5f, std::numeric_limits<float>::quiet_NaN()}) {
    StartCab({"doorindicator=30,31"});
    gState.Speed = speed;
    setDoorSide(2);
    EXPECT_EQ(misc.doorSide, 2) << speed;
    EXPECT_EQ(GetPanel(30), 0) << speed;
    EXPECT_EQ(GetPanel(31), 0) << speed;
  }
}

TEST(DoorLamps, side_outside_minus_1_to_2_is_ignored) {
  StartCab({"doorindicator=30,31"});
  setDoorSide(1);
  for (int8_t side : {int8_t{5}, int8_t{-2}, int8_t{3}, int8_t{-128}, int8_t{127}}) {
    setDoorSide(side);
    EXPECT_EQ(misc.doorSide, 1) << int(side);
    EXPECT_EQ(GetPanel(30), 0) << int(side);
    EXPECT_EQ(GetPanel(31), 1) << int(side);
  }
}

TEST(DoorLamps, second_lamp_is_written_only_when_configured) {
  StartCab({"doorindicator=30"});
  EXPECT_EQ(GetPanel(30), 0);
  EXPECT_EQ(GetPanel(31), 7);
  setDoorSide(1);
  EXPECT_EQ(GetPanel(30), 0);
  setDoorSide(2);
  EXPECT_EQ(GetPanel(30), 1);
  for (int i = 0; i < kElementCount; i++) {
    if (i != 30) {
      EXPECT_EQ(GetPanel(i), 7) << i;
    }
  }
}

TEST(DoorLamps, unwired_first_lamp_disables_both) {
  StartCab({"doorindicator=-1,31"});
  setDoorSide(2);
  EXPECT_EQ(GetPanel(31), 7);
  setDoorState(false);
  EXPECT_EQ(GetPanel(31), 7);
}

TEST(DoorLamps, lamp_indices_outside_the_panel_write_nothing) {
  StartCab({"doorindicator=256,-5"});
  setDoorSide(2);
  setDoorState(false);
  for (int i = 0; i < kElementCount; i++) EXPECT_EQ(GetPanel(i), 7) << i;
}

// ---- Horn lamp ----

TEST(HornLamp, type_0_and_type_1_light_the_lamp_for_their_own_times) {
  StartCab({"klaxonindicator=40,1500,3000"});
  gState.Time = 10000;
  hornSounded(0);
  EXPECT_EQ(GetPanel(40), 1);
  EXPECT_EQ(misc.hornDuration, 1500);
  FrameAt(11499);
  EXPECT_EQ(GetPanel(40), 1);
  FrameAt(11500);
  EXPECT_EQ(GetPanel(40), 0);

  gState.Time = 20000;
  hornSounded(1);
  EXPECT_EQ(GetPanel(40), 1);
  EXPECT_EQ(misc.hornDuration, 3000);
  FrameAt(22999);
  EXPECT_EQ(GetPanel(40), 1);
  FrameAt(23000);
  EXPECT_EQ(GetPanel(40), 0);
}

TEST(HornLamp, a_new_blast_restarts_the_lamp_time) {
  StartCab({"klaxonindicator=40,1500,3000"});
  gState.Time = 10000;
  hornSounded(0);
  gState.Time = 11000;
  hornSounded(0);
  FrameAt(12000);
  EXPECT_EQ(GetPanel(40), 1);
  FrameAt(12500);
  EXPECT_EQ(GetPanel(40), 0);
}

TEST(HornLamp, lamp_is_put_out_again_every_lamp_time_until_the_next_blast) {
  StartCab({"klaxonindicator=40,1500"});
  gState.Time = 10000;
  hornSounded(0);
  FrameAt(11500);
  ASSERT_EQ(GetPanel(40), 0);
  SetPanel(40, 1);  // another writer of the element
  FrameAt(12999);
  EXPECT_EQ(GetPanel(40), 1);
  FrameAt(13000);
  EXPECT_EQ(GetPanel(40), 0);
}

TEST(HornLamp, other_horn_types_and_missing_times_light_nothing) {
  StartCab({"klaxonindicator=40,1500,3000"});
  gState.Time = 10000;
  hornSounded(2);
  hornSounded(-1);
  EXPECT_EQ(GetPanel(40), 7);
  EXPECT_EQ(misc.hornLamp, kHornLampIdle);

  StartCab({"klaxonindicator=40,1500"});
  hornSounded(1);
  EXPECT_EQ(GetPanel(40), 7);
  EXPECT_EQ(misc.hornLamp, kHornLampIdle);

  StartCab({"klaxonindicator=40"});
  hornSounded(0);
  hornSounded(1);
  EXPECT_EQ(GetPanel(40), 7);
  FrameAt(100000);
  EXPECT_EQ(GetPanel(40), 7);
}

TEST(HornLamp, unwired_lamp_is_never_written) {
  StartCab({"klaxonindicator=-1,1500,3000"});
  gState.Time = 10000;
  hornSounded(0);
  EXPECT_EQ(misc.hornLamp, kHornLampIdle);
  misc.hornLamp = kHornLampTiming;  // even with a blast on record
  misc.hornTimer = 10000;
  misc.hornDuration = 100;
  FrameAt(20000);
  for (int i = 0; i < kElementCount; i++) EXPECT_EQ(GetPanel(i), 7) << i;
}

TEST(HornLamp, start_of_run_forgets_the_blast_but_leaves_the_lamp) {
  StartCab({"klaxonindicator=40,1500"});
  gState.Time = 10000;
  hornSounded(0);
  InitMiscellaneous(0);
  EXPECT_EQ(misc.hornLamp, kHornLampIdle);
  EXPECT_EQ(misc.hornDuration, 0);
  EXPECT_EQ(GetPanel(40), 1);
  FrameAt(50000);
  EXPECT_EQ(GetPanel(40), 1);
}

// ---- Custom indicators ----

TEST(CustomIndicators, each_key_toggles_its_own_element) {
  StartCab({"customindicators=10,50,11,51"});
  SetPanel(50, 0);
  SetPanel(51, 0);
  miscKeyPressed(10);
  EXPECT_EQ(GetPanel(50), 1);
  EXPECT_EQ(GetPanel(51), 0);
  miscKeyPressed(10);
  EXPECT_EQ(GetPanel(50), 0);
  miscKeyPressed(11);
  EXPECT_EQ(GetPanel(51), 1);
  SetPanel(50, 7);
  miscKeyPressed(10);  // anything but 0 counts as on
  EXPECT_EQ(GetPanel(50), 0);
}

TEST(CustomIndicators, keys_that_are_not_listed_and_element_numbers_are_not_keys) {
  StartCab({"customindicators=10,50,11,51"});
  miscKeyPressed(12);
  miscKeyPressed(50);  // an element number in the key's place does not count
  for (int i = 0; i < kElementCount; i++) EXPECT_EQ(GetPanel(i), 7) << i;
}

TEST(CustomIndicators, key_without_an_element_ends_the_list) {
  StartCab({"customindicators=10,50,11"});
  miscKeyPressed(11);
  for (int i = 0; i < kElementCount; i++) EXPECT_EQ(GetPanel(i), 7) << i;
  miscKeyPressed(10);
  EXPECT_EQ(GetPanel(50), 0);
}

TEST(CustomIndicators, every_pair_of_a_key_toggles) {
  StartCab({"customindicators=10,50,10,52"});
  SetPanel(52, 0);
  miscKeyPressed(10);
  EXPECT_EQ(GetPanel(50), 0);
  EXPECT_EQ(GetPanel(52), 1);
}

TEST(CustomIndicators, default_and_out_of_range_elements_write_nothing) {
  StartCab({});
  miscKeyPressed(-1);
  miscKeyPressed(0);
  StartCab({"customindicators=10,300,10,-1"});
  miscKeyPressed(10);
  for (int i = 0; i < kElementCount; i++) EXPECT_EQ(GetPanel(i), 7) << i;
}

// ---- Travel meter ----

TEST(TravelMeter, kilometre_elements_show_the_distance_and_its_tenth) {
  StartCab({"travelmetermode=0", "travelmeter100=60", "travelmeter10=61", "travelmeter1=62",
            "travelmeter01=63", "travelmeter001=64"});
  gState.Location = 12345.6;
  RunMiscellaneous();
  EXPECT_EQ(GetPanel(60), 7);  // the 100 element is left to the brake notch display
  EXPECT_EQ(GetPanel(61), 1234);
  EXPECT_EQ(GetPanel(62), 1234);
  EXPECT_EQ(GetPanel(63), 12345);
  EXPECT_EQ(GetPanel(64), 1234);
}

TEST(TravelMeter, mode_1_counts_miles) {
  StartCab({"travelmetermode=1", "travelmeter10=61", "travelmeter01=63"});
  gState.Location = 20000.0;  // 12430.1 in thousandths of a mile
  RunMiscellaneous();
  EXPECT_EQ(GetPanel(63), 12430);
  EXPECT_EQ(GetPanel(61), 1243);
}

TEST(TravelMeter, element_10_reads_the_same_without_the_100_element) {
  StartCab({"travelmetermode=2", "travelmeter10=61"});
  gState.Location = 987.0;
  RunMiscellaneous();
  EXPECT_EQ(GetPanel(61), 98);
}

TEST(TravelMeter, switched_off_meter_writes_nothing) {
  StartCab({"travelmeter100=60", "travelmeter10=61", "travelmeter1=62", "travelmeter01=63",
            "travelmeter001=64"});
  gState.Location = 5000.0;
  RunMiscellaneous();
  for (int i = 60; i <= 64; i++) EXPECT_EQ(GetPanel(i), 7) << i;
}

TEST(TravelMeter, readings_truncate_toward_zero_behind_the_start) {
  StartCab({"travelmetermode=0", "travelmeter10=61", "travelmeter01=63"});
  gState.Location = -123.9;
  RunMiscellaneous();
  EXPECT_EQ(GetPanel(63), -123);
  EXPECT_EQ(GetPanel(61), -12);
}

TEST(TravelMeter, absurd_positions_hold_at_the_ends_or_leave_the_meter_still) {
  StartCab({"travelmetermode=0", "travelmeter10=61", "travelmeter01=63"});
  gState.Location = std::numeric_limits<double>::infinity();
  RunMiscellaneous();
  EXPECT_EQ(GetPanel(63), INT32_MAX);
  EXPECT_EQ(GetPanel(61), INT32_MAX);
  gState.Location = -1.0e300;
  RunMiscellaneous();
  EXPECT_EQ(GetPanel(63), INT32_MIN);
  EXPECT_EQ(GetPanel(61), INT32_MIN);
  gState.Location = 2147483647.9;
  RunMiscellaneous();
  EXPECT_EQ(GetPanel(63), INT32_MAX);
  EXPECT_EQ(GetPanel(61), 214748364);
  gState.Location = -2147483648.5;  // just past the lower end, whose tenth lies well inside
  RunMiscellaneous();
  EXPECT_EQ(GetPanel(63), INT32_MIN);
  EXPECT_EQ(GetPanel(61), -214748364);
  gState.Location = 500.0;
  RunMiscellaneous();
  gState.Location = std::numeric_limits<double>::quiet_NaN();
  RunMiscellaneous();
  EXPECT_EQ(GetPanel(63), 500);  // a position that is not a number moves nothing
  EXPECT_EQ(GetPanel(61), 50);
}
